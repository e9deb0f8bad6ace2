#pragma once
// The painted caption of a skinned window: a strip of picture sections, a row of picture buttons,
// an optional control box or program icon and the caption text. Pressing on the empty bar drags
// the window, double-clicking maximises or restores it, the buttons act on it.

#include "skin/SUIThemes.h"
#include "toolkit/Picture.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pestrel {

// A refused property value is reported through one handler; the standard one shows a box
// titled with the application name with one OK button. Returns the handler it replaces.
using TsuiInformationHandler = std::function<void(const QString& text)>;
TsuiInformationHandler SetSkinInformationHandler(TsuiInformationHandler handler);
void ShowSkinInformation(const QString& text);

enum class TsuiTitleBarBtnType : std::uint8_t {
    suiMax,
    suiMin,
    suiClose,
    suiHelp,
    suiControlBox,
    suiCustom
};
enum class TsuiTitleBarAlign : std::uint8_t { suiLeft, suiRight, suiClient };

class TsuiTitleBar;

// The items of a collection repaint their title bar whenever one of them changes.
template <class Item> class TsuiTitleBarCollection {
public:
    explicit TsuiTitleBarCollection(TsuiTitleBar* owner) : owner_(owner) {}
    TsuiTitleBarCollection(const TsuiTitleBarCollection&) = delete;
    TsuiTitleBarCollection& operator=(const TsuiTitleBarCollection&) = delete;

    TsuiTitleBar* owner() const { return owner_; }
    int count() const { return static_cast<int>(items_.size()); }
    Item& operator[](int index) const { return *items_.at(index); }
    int indexOf(const Item* item) const;
    Item& add();
    void clear();
    // Replaces the items with copies of `other`'s, values taken as they are.
    void assign(const TsuiTitleBarCollection& other);
    void changed() const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    TsuiTitleBar* owner_;
    std::vector<std::unique_ptr<Item>> items_;
};

class TsuiTitleBarSection;
class TsuiTitleBarButton;
using TsuiTitleBarSections = TsuiTitleBarCollection<TsuiTitleBarSection>;
using TsuiTitleBarButtons = TsuiTitleBarCollection<TsuiTitleBarButton>;

class TsuiTitleBarSection {
public:
    explicit TsuiTitleBarSection(const TsuiTitleBarSections* collection)
        : collection_(collection) {}
    void assign(const TsuiTitleBarSection& other);

    bool AutoSize() const { return autoSize_; }
    // Whenever the picture holds a graphic, Width becomes the picture's width.
    void setAutoSize(bool value);
    int Width() const { return width_; }
    void setWidth(int value);
    TsuiTitleBarAlign Align() const { return align_; }
    // A second suiClient section is refused with a message; suiClient forces Stretch.
    void setAlign(TsuiTitleBarAlign value);
    const TPicture& Picture() const { return picture_; }
    void setPicture(const TPicture& value);
    bool Stretch() const { return stretch_; }
    // A suiClient section stays stretched.
    void setStretch(bool value);

    // The picture resized to `size` without smoothing; kept until the size or picture changes.
    const QImage& stretchedTo(const QSize& size) const;

private:
    const TsuiTitleBarSections* collection_;
    bool autoSize_ = false;
    int width_ = 10;
    TsuiTitleBarAlign align_ = TsuiTitleBarAlign::suiLeft;
    TPicture picture_;
    bool stretch_ = false;
    mutable QImage stretched_;
};

class TsuiTitleBarButton {
public:
    explicit TsuiTitleBarButton(const TsuiTitleBarButtons* collection) : collection_(collection) {}
    void assign(const TsuiTitleBarButton& other);

    TsuiTitleBarBtnType ButtonType() const { return type_; }
    // A second suiControlBox button is refused with a message.
    void setButtonType(TsuiTitleBarBtnType value);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool value);
    int Top() const { return top_; }
    void setTop(int value);
    TsuiUIStyle UIStyle() const { return style_; }
    void setUIStyle(TsuiUIStyle value);
    QMenu* ControlBoxMenu() const { return controlBoxMenu_; }
    void setControlBoxMenu(QMenu* value);

    const TPicture& PicNormal() const { return pictures_[Normal]; }
    const TPicture& PicMouseOn() const { return pictures_[MouseOn]; }
    const TPicture& PicMouseDown() const { return pictures_[MouseDown]; }
    // Only suiCustom and suiControlBox buttons take pictures; others refuse with a message.
    void setPicNormal(const TPicture& value) { setPicture(Normal, value); }
    void setPicMouseOn(const TPicture& value) { setPicture(MouseOn, value); }
    void setPicMouseDown(const TPicture& value) { setPicture(MouseDown, value); }

    // Loads the style's pictures, Transparent and Top for the button's type (not for Custom).
    void UpdateStylePictures();
    // A maximise button shows the restore pictures while its window is maximised.
    void UpdateMaxRestorePictures();

    enum State { Normal, MouseOn, MouseDown };
    // The picture as painted: with Transparent, its bottom-left colour keyed out.
    const QImage& drawnPicture(State state) const { return drawn_[state]; }

private:
    void setPicture(State state, const TPicture& value);
    void loadPictures(int firstThemeIndex);
    void picturesChanged();

    const TsuiTitleBarButtons* collection_;
    TsuiTitleBarBtnType type_ = TsuiTitleBarBtnType::suiCustom;
    bool transparent_ = false;
    int top_ = 2;
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
    QPointer<QMenu> controlBoxMenu_;
    TPicture pictures_[3];
    QImage drawn_[3];
};

class TsuiTitleBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(int ButtonInterval READ ButtonInterval WRITE setButtonInterval)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(pestrel::TColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(bool FormActive READ FormActive WRITE setFormActive)
    Q_PROPERTY(int LeftBtnXOffset READ LeftBtnXOffset WRITE setLeftBtnXOffset)
    Q_PROPERTY(int RightBtnXOffset READ RightBtnXOffset WRITE setRightBtnXOffset)
    Q_PROPERTY(bool DrawAppIcon READ DrawAppIcon WRITE setDrawAppIcon)

public:
    // Sits at the top of `parent` across its width; starts in the style of the parent's form.
    explicit TsuiTitleBar(QWidget* parent = nullptr);
    ~TsuiTitleBar() override;

    bool AutoSize() const { return autoSize_; }
    // With sections, the bar takes the height of the first section's picture.
    void setAutoSize(bool value);
    TsuiUIStyle UIStyle() const { return style_; }
    // Rebuilds sections, offsets, button pictures, the window's minimum width and outline.
    void setUIStyle(TsuiUIStyle value);
    TsuiTitleBarSections& Sections() { return sections_; }
    void setSections(const TsuiTitleBarSections& value);
    TsuiTitleBarButtons& Buttons() { return buttons_; }
    void setButtons(const TsuiTitleBarButtons& value);
    int ButtonInterval() const { return buttonInterval_; }
    void setButtonInterval(int value);
    QString Caption() const { return caption_; }
    void setCaption(const QString& value);
    // The caption's colour; the caption's font is the widget's font.
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value);
    bool FormActive() const { return formActive_; }
    void setFormActive(bool value);
    int LeftBtnXOffset() const { return leftBtnXOffset_; }
    void setLeftBtnXOffset(int value);
    int RightBtnXOffset() const { return rightBtnXOffset_; }
    void setRightBtnXOffset(int value);
    bool DrawAppIcon() const { return drawAppIcon_; }
    void setDrawAppIcon(bool value);

    int CornerSize() const { return cornerSize_; }
    int HotButtonIndex() const { return hotButtonIndex_; }
    bool MouseIsDown() const { return mouseIsDown_; }
    // On a skinned form: the window's outline with its top corners rounded by `cornerSize`.
    void ApplyWindowRegion(int cornerSize);
    // What a click on `button` does to the window that holds the bar.
    void PerformButtonAction(TsuiTitleBarButton& button);

    // Where each button is drawn at the bar's current width, in collection order; an empty
    // rectangle for a control box that is not drawn.
    std::vector<QRect> ButtonRects() const;
    // Where the caption starts and how it reads at the bar's current width.
    QPoint CaptionPosition() const;
    QString CaptionText() const;

signals:
    void OnCustomBtnsClick(pestrel::TsuiTitleBar* sender, int buttonIndex);
    void OnHelpBtnClick(pestrel::TsuiTitleBar* sender, int buttonIndex);

protected:
    virtual void DrawSections(QPainter& canvas, const QSize& size);
    virtual void DrawButtons(QPainter& canvas, const QSize& size);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Layout {
        std::vector<QRect> rects; // per button
        int captionLeft = 0;
        int captionRight = 0; // x of the leftmost right-side button
    };
    Layout ComputeLayout() const;
    struct PlacedCaption {
        QPoint position; // top-left of the text
        QString text;
    };
    PlacedCaption PlaceCaption(const Layout& layout) const;
    void UpdateHotButton(const Layout& layout);
    bool IsOnSkinnedForm() const;
    QWidget* Form() const;
    void FollowParentWidth();

    TsuiTitleBarSections sections_{this};
    TsuiTitleBarButtons buttons_{this};
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
    bool autoSize_ = false;
    int buttonInterval_ = 0;
    QString caption_;
    TColor fontColor_ = clWhite;
    bool formActive_ = true;
    int leftBtnXOffset_ = 0;
    int rightBtnXOffset_ = 0;
    bool drawAppIcon_ = false;
    int cornerSize_ = 0;

    int hotButtonIndex_ = -1;
    bool mouseIsDown_ = false;
    std::optional<QPoint> cursor_; // last known pointer position over the bar
    QRect normalGeometry_;         // the window's bounds before the maximise button maximised it

    // A press on the empty bar: the window follows the pointer once it moves.
    struct Drag {
        QPoint startGlobal;
        QPoint startWindowPos;
        bool manual = false;
    };
    std::optional<Drag> drag_;
};

} // namespace pestrel
