#include "skin/menus/SUIMainMenu.h"

#include "skin/InterfaceFont.h"
#include "skin/SkinBitmaps.h"
#include "skin/menus/MenuItemStyle.h"

#include <QActionEvent>
#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <qdrawutil.h>

namespace pestrel {
namespace {

constexpr QRgb DisabledItemGrey = 0xFF808080;

bool IsSeparator(const QStyleOptionMenuItem& option) {
    return option.menuItemType == QStyleOptionMenuItem::Separator || option.text == "-";
}

// Stretches the top `rows` rows of a MacOS menu picture over `r`.
void DrawMenuPicture(QPainter& canvas, const QRect& r, const char* name, int rows) {
    const QImage picture = SkinBitmap(QString::fromLatin1(name));
    canvas.drawImage(r, picture, QRect(0, 0, picture.width(), std::min(rows, picture.height())));
}

// The side bar in BarColor and the rest in Color.
void FillItemFace(const TsuiMainMenu& menu, QPainter& canvas, const QRect& r) {
    const int bar = std::max(menu.BarWidth(), 0);
    if (bar > 0)
        canvas.fillRect(r.x(), r.y(), bar, r.height(), ColorToQColor(menu.BarColor()));
    canvas.fillRect(r.x() + bar, r.y(), r.width() - bar, r.height(), ColorToQColor(menu.Color()));
}

// Measures and paints the drop-downs of one TsuiMainMenu.
class TsuiMenuItemStyle : public MenuItemStyle {
public:
    explicit TsuiMenuItemStyle(const TsuiMainMenu& menu)
        : MenuItemStyle({CT_MenuItem, CE_MenuItem, CE_MenuEmptyArea},
                        {{PM_MenuPanelWidth, 2}, {PM_MenuHMargin, 0}, {PM_MenuVMargin, 0}}),
          menu_(menu) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelMenu) {
            FillItemFace(menu_, *painter, option->rect);
        } else if (element == PE_FrameMenu) {
            if (menu_.FlatMenu())
                DrawFlatMenuBorder(*painter, option->rect, menu_.BorderColor(),
                                   GetThemeColor(menu_.UIStyle(), tiFormColor));
            else
                qDrawWinPanel(painter, option->rect, option->palette, false);
        } else {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    }

private:
    QSize itemSize(const QStyleOptionMenuItem& item) const override {
        // The drop-downs carry the item font: their metrics come with the option. The menu adds
        // the width of its widest shortcut to every item itself.
        return MeasureMenuItem(menu_, item.fontMetrics, item.text.section('\t', 0, 0), {},
                               IsSeparator(item));
    }
    void drawItem(QPainter& canvas, const QStyleOptionMenuItem& item) const override {
        DrawMenuItem(menu_, canvas, item);
    }
    void drawEmptyArea(QPainter& canvas, const QRect& rect) const override {
        FillItemFace(menu_, canvas, rect);
    }

    const TsuiMainMenu& menu_;
};

} // namespace

void LoadSystemMenuFont(QFont& font, TColor& color) {
    font = QApplication::font("QMenu");
    color = clMenuText;
}

QSize MeasureMenuItem(const TsuiMainMenu& menu, const QFontMetrics& metrics, const QString& caption,
                      const QString& shortcut, bool separator) {
    const int width = metrics.horizontalAdvance(QString(caption).remove('&')) +
                      metrics.horizontalAdvance(shortcut) + menu.BarWidth() + 40;
    return {width, separator ? menu.SeparatorHeight() : menu.MenuItemHeight()};
}

void DrawMenuItem(const TsuiMainMenu& menu, QPainter& canvas, const QStyleOptionMenuItem& option) {
    const QRect r = option.rect;
    const bool macOS = menu.UIStyle() == TsuiUIStyle::MacOS;
    const bool enabled = option.state & QStyle::State_Enabled;
    const bool selected = option.state & QStyle::State_Selected;
    const int bar = menu.BarWidth();
    canvas.save();
    if (IsSeparator(option)) {
        if (macOS) {
            DrawMenuPicture(canvas, r, "MACOS_MENU_BAR", 12);
        } else {
            FillItemFace(menu, canvas, r);
            canvas.setPen(ColorToQColor(menu.SeparatorColor()));
            canvas.drawLine(r.x() + bar + 4, r.y() + 2, r.x() + r.width() - 3, r.y() + 2);
        }
        canvas.restore();
        return;
    }
    if (selected && enabled && macOS) {
        DrawMenuPicture(canvas, r, "MACOS_MENU_SELECT", 20);
    } else if (selected && enabled) {
        canvas.fillRect(r, ColorToQColor(menu.SelectedColor()));
        canvas.setPen(ColorToQColor(menu.SelectedBorderColor()));
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
    } else if (macOS) {
        DrawMenuPicture(canvas, r, "MACOS_MENU_BAR", 20);
    } else {
        FillItemFace(menu, canvas, r);
    }

    QFont font = menu.itemFont();
    if (option.menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    canvas.setFont(font);
    const QColor textColor = !enabled   ? QColor::fromRgb(DisabledItemGrey)
                             : selected ? ColorToQColor(menu.SelectedFontColor())
                                        : ColorToQColor(menu.FontColor());
    canvas.setPen(textColor);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QString caption = option.text.section('\t', 0, 0);
    const QString shortcut = option.text.section('\t', 1);
    const int right = r.x() + r.width(), bottom = r.y() + r.height();
    DrawInterfaceText(canvas,
                      QRect(QPoint(r.x() + bar + 4, r.y() + 4), QPoint(right - 1, bottom - 1)),
                      flags, caption);
    if (!shortcut.isEmpty()) {
        const int x =
            right - QFontMetrics(InterfaceTextFont(font)).horizontalAdvance(shortcut) - 16;
        DrawInterfaceText(canvas, QRect(QPoint(x, r.y() + 4), QPoint(right - 1, bottom - 1)), flags,
                          shortcut);
    }
    if (option.menuItemType == QStyleOptionMenuItem::SubMenu) {
        const int cy = r.y() + r.height() / 2;
        const QPoint arrow[] = {{right - 10, cy - 4}, {right - 6, cy}, {right - 10, cy + 4}};
        canvas.setBrush(textColor);
        canvas.drawPolygon(arrow, 3);
    }

    const bool hasImage = !option.icon.isNull();
    const bool checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
    if (checked && hasImage) {
        canvas.fillRect(r.x() + 2, r.y() + 1, 19, 19, Qt::black);
        canvas.fillRect(r.x() + 3, r.y() + 2, 17, 17, ColorToQColor(menu.SelectedColor()));
    } else if (checked) {
        menu.CheckImages().draw(canvas, r.x() + 4, r.y() + 3, 0, enabled);
    }
    if (hasImage)
        canvas.drawPixmap(r.x() + 4, r.y() + 3,
                          option.icon.pixmap(16, 16, enabled ? QIcon::Normal : QIcon::Disabled));
    canvas.restore();
}

void DrawFlatMenuBorder(QPainter& canvas, const QRect& w, TColor borderColor, TColor faceColor) {
    const int l = w.x(), t = w.y(), r = w.x() + w.width(), b = w.y() + w.height();
    canvas.save();
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(ColorToQColor(borderColor));
    canvas.drawRect(l, t + 1, r - l - 2, b - t - 3);
    canvas.setPen(Qt::white);
    canvas.drawRect(l + 1, t + 2, r - l - 4, b - t - 5);
    canvas.setPen(ColorToQColor(faceColor));
    canvas.drawLine(l, b - 1, r - 2, b - 1);
    canvas.drawLine(r - 1, b - 1, r - 1, t + 1);
    canvas.drawLine(l + 1, t, r - 1, t);
    canvas.restore();
}

TsuiMainMenu::TsuiMainMenu(QWidget* owner)
    : QMenu(owner), itemStyle_(std::make_unique<TsuiMenuItemStyle>(*this)), checkImages_([] {
          const QImage mark = ThemeBitmap(TsuiUIStyle::MacOS, tiMenuChecked);
          return TImageList(std::max(mark.width(), 1), std::max(mark.height(), 1));
      }()) {
    checkImages_.addMasked(ThemeBitmap(TsuiUIStyle::MacOS, tiMenuChecked), clWhite);
    itemFont_ = loadItemFont();
    adoptSubmenus(this);
    setUIStyle(FindFormUIStyle(owner));
    if (owner) {
        TsuiMainMenuReadyEvent ready(this);
        QCoreApplication::sendEvent(owner, &ready);
    }
}

TsuiMainMenu::~TsuiMainMenu() {
    // Drop-downs that outlive the menu go back to the application's style.
    for (const QPointer<QMenu>& menu : adopted_) {
        if (menu) {
            menu->removeEventFilter(this);
            menu->setStyle(nullptr);
        }
    }
}

void TsuiMainMenu::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    if (value == TsuiUIStyle::Custom)
        return;
    // The heights are set directly: their setters refuse changes under MacOS, which has heights
    // of its own.
    itemHeight_ = GetThemeInteger(value, tiMenuItemHeight);
    separatorHeight_ = GetThemeInteger(value, tiMenuSeparatorHeight);
    barColor_ = GetThemeColor(value, tiMenuBarColor);
    barWidth_ = GetThemeInteger(value, tiMenuBarWidth);
    color_ = GetThemeColor(value, tiMenuColor);
    separatorColor_ = GetThemeColor(value, tiMenuSeparatorColor);
    selectedBorderColor_ = GetThemeColor(value, tiMenuSelectedBorderColor);
    selectedColor_ = GetThemeColor(value, tiMenuSelectedColor);
    selectedFontColor_ = GetThemeColor(value, tiMenuSelectedFontColor);
    fontColor_ = GetThemeColor(value, tiMenuFontColor);
    borderColor_ = GetThemeColor(value, tiFormBorderColor);
    remeasure();
    emit appearanceChanged();
}

void TsuiMainMenu::setMenuItemHeight(int value) {
    if (style_ == TsuiUIStyle::MacOS)
        return;
    itemHeight_ = value;
    remeasure();
}

void TsuiMainMenu::setSeparatorHeight(int value) {
    if (style_ == TsuiUIStyle::MacOS)
        return;
    separatorHeight_ = value;
    remeasure();
}

void TsuiMainMenu::setBarWidth(int value) {
    barWidth_ = value;
    remeasure();
}

void TsuiMainMenu::setFontColor(TColor value) {
    fontColor_ = value;
    emit appearanceChanged();
}

void TsuiMainMenu::setFontName(const QString& value) {
    fontName_ = value;
    fontSettingsChanged();
}

void TsuiMainMenu::setFontSize(int value) {
    fontSize_ = value;
    fontSettingsChanged();
}

void TsuiMainMenu::setUseSystemFont(bool value) {
    useSystemFont_ = value;
    fontSettingsChanged();
}

QFont TsuiMainMenu::loadItemFont() const {
    if (useSystemFont_) {
        QFont font;
        TColor color = clMenuText;
        LoadSystemMenuFont(font, color);
        return font;
    }
    QFont font(fontName_);
    font.setPointSize(std::max(fontSize_, 1));
    return font;
}

void TsuiMainMenu::fontSettingsChanged() {
    itemFont_ = loadItemFont();
    for (const QPointer<QMenu>& menu : adopted_) {
        if (menu)
            menu->setFont(itemFont_);
    }
    emit appearanceChanged();
}

// A drop-down keeps the item sizes it measured until its style changes.
void TsuiMainMenu::remeasure() {
    for (const QPointer<QMenu>& menu : adopted_) {
        if (menu) {
            QEvent restyled(QEvent::StyleChange);
            QCoreApplication::sendEvent(menu, &restyled);
        }
    }
}

// Every drop-down below the menu, also those added later, measures and paints with the item
// style and reports its changes here.
void TsuiMainMenu::adoptSubmenus(QMenu* menu) {
    if (std::find(adopted_.begin(), adopted_.end(), menu) == adopted_.end()) {
        adopted_.emplace_back(menu);
        menu->setStyle(itemStyle_.get());
        menu->setFont(itemFont_);
        menu->installEventFilter(this);
    }
    for (QAction* action : menu->actions()) {
        if (QMenu* submenu = action->menu())
            adoptSubmenus(submenu);
    }
}

// Captions need no announcement: a menu bar shows the menu's own actions, which tell it of their
// changes themselves.
bool TsuiMainMenu::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ActionAdded || type == QEvent::ActionChanged ||
        type == QEvent::ActionRemoved) {
        if (QMenu* submenu = static_cast<QActionEvent*>(event)->action()->menu();
            submenu && type != QEvent::ActionRemoved)
            adoptSubmenus(submenu);
        if (watched == this && type != QEvent::ActionChanged)
            emit itemsChanged();
    }
    return false;
}

QEvent::Type TsuiMainMenuReadyEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace pestrel
