#pragma once
// The skinned main menu. Its top-level items (each with its drop-down) are shown by the menu bar
// of the window's TsuiForm; the menu itself never pops up. Every drop-down below it stays a real
// QMenu (keyboard, accelerators, submenus, shortcuts, triggered) whose items the menu's own style
// measures and paints. The menu knows no form: made with an owner, it announces itself to the
// owner with a TsuiMainMenuReadyEvent, and it announces its changes by signals.

#include "skin/SUIThemes.h"
#include "toolkit/ImageList.h"

#include <QEvent>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QStyleOptionMenuItem>
#include <memory>
#include <vector>

namespace pestrel {

class TsuiMainMenu;

// Sent to its owner by a skinned main menu once it is made: the owner's skinned frame, if it has
// one, takes the menu as its Menu.
class TsuiMainMenuReadyEvent : public QEvent {
public:
    static QEvent::Type eventType();
    explicit TsuiMainMenuReadyEvent(TsuiMainMenu* menu) : QEvent(eventType()), menu_(menu) {}
    TsuiMainMenu* menu() const { return menu_; }

private:
    TsuiMainMenu* menu_;
};

// The menu font of the system, in the menu text colour.
void LoadSystemMenuFont(QFont& font, TColor& color);

// The size of one item: separators (also an item captioned "-") are SeparatorHeight high, others
// MenuItemHeight; the width is caption + shortcut + BarWidth + 40.
QSize MeasureMenuItem(const TsuiMainMenu& menu, const QFontMetrics& metrics, const QString& caption,
                      const QString& shortcut, bool separator);
// Paints one item of `menu` into option.rect: background, check mark or image, caption and
// shortcut, by the item's kind and state.
void DrawMenuItem(const TsuiMainMenu& menu, QPainter& canvas, const QStyleOptionMenuItem& option);
// The flat outline round a drop-down of outer rectangle `w`.
void DrawFlatMenuBorder(QPainter& canvas, const QRect& w, TColor borderColor, TColor faceColor);

class TsuiMainMenu : public QMenu {
    Q_OBJECT
    Q_PROPERTY(bool OwnerDraw READ OwnerDraw WRITE setOwnerDraw)
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(int MenuItemHeight READ MenuItemHeight WRITE setMenuItemHeight)
    Q_PROPERTY(int SeparatorHeight READ SeparatorHeight WRITE setSeparatorHeight)
    Q_PROPERTY(int BarWidth READ BarWidth WRITE setBarWidth)
    Q_PROPERTY(pestrel::TColor BarColor READ BarColor WRITE setBarColor)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)
    Q_PROPERTY(pestrel::TColor SeparatorColor READ SeparatorColor WRITE setSeparatorColor)
    Q_PROPERTY(
        pestrel::TColor SelectedBorderColor READ SelectedBorderColor WRITE setSelectedBorderColor)
    Q_PROPERTY(pestrel::TColor SelectedColor READ SelectedColor WRITE setSelectedColor)
    Q_PROPERTY(pestrel::TColor SelectedFontColor READ SelectedFontColor WRITE setSelectedFontColor)
    Q_PROPERTY(pestrel::TColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(bool FlatMenu READ FlatMenu WRITE setFlatMenu)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(int FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(int FontCharset READ FontCharset WRITE setFontCharset)
    Q_PROPERTY(bool UseSystemFont READ UseSystemFont WRITE setUseSystemFont)

public:
    // Takes the style of `owner`'s TsuiForm and announces itself to `owner`.
    explicit TsuiMainMenu(QWidget* owner = nullptr);
    ~TsuiMainMenu() override;

    bool OwnerDraw() const { return true; }
    void setOwnerDraw(bool) {}
    TsuiUIStyle UIStyle() const { return style_; }
    // Except for Custom, heights, bar width and colours come from the style's theme row. Every
    // drop-down is measured again.
    void setUIStyle(TsuiUIStyle value);
    int MenuItemHeight() const { return itemHeight_; }
    // Both heights are fixed while the style is MacOS. Every drop-down is measured again.
    void setMenuItemHeight(int value);
    int SeparatorHeight() const { return separatorHeight_; }
    void setSeparatorHeight(int value);
    int BarWidth() const { return barWidth_; }
    void setBarWidth(int value);
    TColor BarColor() const { return barColor_; }
    void setBarColor(TColor value) { barColor_ = value; }
    TColor Color() const { return color_; }
    void setColor(TColor value) { color_ = value; }
    TColor SeparatorColor() const { return separatorColor_; }
    void setSeparatorColor(TColor value) { separatorColor_ = value; }
    TColor SelectedBorderColor() const { return selectedBorderColor_; }
    void setSelectedBorderColor(TColor value) { selectedBorderColor_ = value; }
    TColor SelectedColor() const { return selectedColor_; }
    void setSelectedColor(TColor value) { selectedColor_ = value; }
    TColor SelectedFontColor() const { return selectedFontColor_; }
    void setSelectedFontColor(TColor value) { selectedFontColor_ = value; }
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor value) { borderColor_ = value; }
    bool FlatMenu() const { return flatMenu_; }
    void setFlatMenu(bool value) { flatMenu_ = value; }
    QString FontName() const { return fontName_; }
    void setFontName(const QString& value);
    int FontSize() const { return fontSize_; }
    void setFontSize(int value);
    int FontCharset() const { return fontCharset_; }
    void setFontCharset(int value) { fontCharset_ = value; }
    bool UseSystemFont() const { return useSystemFont_; }
    void setUseSystemFont(bool value);

    // The font items are drawn in: the system menu font or FontName at FontSize points.
    const QFont& itemFont() const { return itemFont_; }
    const TImageList& CheckImages() const { return checkImages_; }

signals:
    // Top-level items were added or removed.
    void itemsChanged();
    // What a menu bar shows of the menu changed: its style, its font settings or FontColor.
    void appearanceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void adoptSubmenus(QMenu* menu);
    // The drop-downs lay out their items anew with the current measures.
    void remeasure();
    void fontSettingsChanged();
    QFont loadItemFont() const;

    std::unique_ptr<QStyle> itemStyle_;
    std::vector<QPointer<QMenu>> adopted_;
    QFont itemFont_;
    TImageList checkImages_;
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
    int itemHeight_ = 21;
    int separatorHeight_ = 21;
    int barWidth_ = 0;
    TColor barColor_ = clBtnFace;
    TColor color_ = clWhite;
    TColor separatorColor_ = clGray;
    TColor selectedBorderColor_ = clHighlight;
    TColor selectedColor_ = clHighlight;
    TColor selectedFontColor_ = clWhite;
    TColor fontColor_ = clWhite;
    TColor borderColor_ = clBlack;
    bool flatMenu_ = false;
    QString fontName_ = QStringLiteral("MS Sans Serif");
    int fontSize_ = 8;
    int fontCharset_ = 1;
    bool useSystemFont_ = true;
};

} // namespace pestrel
