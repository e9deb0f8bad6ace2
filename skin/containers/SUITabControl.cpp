#include "skin/containers/SUITabControl.h"

#include "skin/SUIPublic.h"
#include "skin/SkinAccessible.h"
#include "skin/SkinBitmaps.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pestrel {
namespace {

constexpr int EmptyCaptionTabWidth = 80;
constexpr int CaptionPadding = 20;

} // namespace

// --- TsuiTabControlTopPanel
// -----------------------------------------------------------------------

TsuiTabControlTopPanel::TsuiTabControlTopPanel(TsuiTab* owner)
    : QWidget(owner), owner_(owner), tabs_{QStringLiteral("Tab1")} {
    tabWidths_.fill(-1);
    tabVisibleFlags_.fill(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reached with Tab, as a tab bar is; a click selects a tab and leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    InstallSkinAccessibility();
}

void TsuiTabControlTopPanel::setUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_)
        return;
    uiStyle_ = style;
    activeTabResName_ = GetThemeString(style, tiTabActive);
    inactiveTabResName_ = GetThemeString(style, tiTabInactive);
    lineResName_ = GetThemeString(style, tiTabLine);
    resize(width(), GetThemeInteger(style, tiTabHeight));
    owner_->realign();
    update();
}

void TsuiTabControlTopPanel::setTabs(const QStringList& tabs) {
    if (tabs == tabs_)
        return;
    tabs_ = tabs;
    update();
}

void TsuiTabControlTopPanel::setTabIndex(int index) {
    if (tabs_.isEmpty()) {
        tabIndex_ = -1;
        update();
        return;
    }
    update();
    if (index < -1 || index >= tabs_.size())
        return;
    tabIndex_ = index;
    owner_->TabActive(index);
}

void TsuiTabControlTopPanel::setLeftMargin(int margin) {
    if (margin == leftMargin_)
        return;
    leftMargin_ = margin;
    update();
}

void TsuiTabControlTopPanel::setColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    update();
}

int TsuiTabControlTopPanel::TabWidth(int index) const {
    return index >= 0 && index < TabTableSize ? tabWidths_[index] : -1;
}

bool TsuiTabControlTopPanel::TabVisible(int index) const {
    return index < 0 || index >= TabTableSize || tabVisibleFlags_[index];
}

void TsuiTabControlTopPanel::setTabVisible(int index, bool visible) {
    if (index < 0 || index >= TabTableSize || tabVisibleFlags_[index] == visible)
        return;
    tabVisibleFlags_[index] = visible;
    update();
}

void TsuiTabControlTopPanel::paintEvent(QPaintEvent*) {
    PaintOffscreen(this, ColorToQColor(color_), [this](QPainter& canvas) {
        DrawParentBackground(canvas, owner_);

        const QImage active = SkinBitmap(activeTabResName_);
        const QImage inactive = SkinBitmap(inactiveTabResName_);
        const QImage line = SkinBitmap(lineResName_);
        const int lineHeight = line.isNull() ? 0 : line.height();
        const int inactiveHeight = inactive.isNull() ? height() - lineHeight : inactive.height();
        tabHeight_ = active.isNull() ? height() : active.height();

        if (!line.isNull() && width() > 2)
            canvas.drawImage(QRect(1, inactiveHeight, width() - 2, lineHeight), line);
        const QColor border = ColorToQColor(owner_->BorderColor());
        canvas.fillRect(0, inactiveHeight, 1, lineHeight, border);
        canvas.fillRect(width() - 1, inactiveHeight, 1, lineHeight, border);

        canvas.setFont(owner_->TabFont());
        canvas.setPen(owner_->palette().color(QPalette::Active, QPalette::WindowText));
        const QFontMetrics metrics(owner_->TabFont());
        int x = leftMargin_;
        for (int i = 0; i < tabs_.size(); ++i) {
            if (!TabVisible(i)) {
                tabWidths_[i] = 0;
                continue;
            }
            const QString& caption = tabs_[i];
            const int w = caption.isEmpty() ? EmptyCaptionTabWidth
                                            : metrics.horizontalAdvance(caption) + CaptionPadding;
            if (i < TabSelectableCount)
                tabWidths_[i] = w;
            const bool selected = i == tabIndex_;
            const TRect tab = selected ? TRect{x, 1, x + w, inactiveHeight + 1}
                                       : TRect{x, 0, x + w, inactiveHeight};
            DrawThreePartHorizontal(selected ? active : inactive, canvas, tab, true);
            x += w;
            canvas.drawText(tab.toQRect(), Qt::TextSingleLine | Qt::AlignCenter, caption);
            if (selected && hasFocus())
                DrawFocusRect(canvas, {tab.Left + 3, tab.Top + 3, tab.Right - 3, tab.Bottom - 1});
        }
        // Tabs that no longer exist can no longer be hit.
        for (int i = static_cast<int>(tabs_.size()); i < TabSelectableCount; ++i)
            tabWidths_[i] = -1;
    });
}

// Left and Right select the visible tab before and after the selected one.
void TsuiTabControlTopPanel::keyPressEvent(QKeyEvent* event) {
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    for (int i = tabIndex_ + step; i >= 0 && i < tabs_.size(); i += step) {
        if (TabVisible(i)) {
            setTabIndex(i);
            update();
            break;
        }
    }
}

void TsuiTabControlTopPanel::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TsuiTabControlTopPanel::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TsuiTabControlTopPanel::mousePressEvent(QMouseEvent* event) {
    update();
    const QPoint at = event->position().toPoint();
    int left = leftMargin_;
    for (int i = 0; i < TabTableSize && tabWidths_[i] != -1; ++i) {
        const int right = left + tabWidths_[i];
        if (left < at.x() && at.x() < right && 0 < at.y() && at.y() < tabHeight_) {
            setTabIndex(i);
            return;
        }
        left = right;
    }
}

// --- TsuiTab
// --------------------------------------------------------------------------------------

TsuiTab::TsuiTab(QWidget* parent, TopPanelFactory CreateTopPanel)
    : QWidget(parent), topPanel_(CreateTopPanel(this)), tabFont_(font()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 80);
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
}

void TsuiTab::setUIStyle(TsuiUIStyle style) {
    if (style == TsuiUIStyle::Custom || style == uiStyle_)
        return;
    uiStyle_ = style;
    topPanel_->setColor(GetThemeColor(style, tiControlColor));
    borderColor_ = GetThemeColor(style, tiControlBorderColor);
    topPanel_->setUIStyle(style);
    setColor(style == TsuiUIStyle::WinXP ? clWhite : GetThemeColor(style, tiControlColor));
    ApplyUIStyleToChildren(style);
    update();
}

int TsuiTab::LeftMargin() const {
    return topPanel_->LeftMargin();
}

void TsuiTab::setLeftMargin(int margin) {
    topPanel_->setLeftMargin(margin);
}

void TsuiTab::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    BorderColorChanged();
    update();
    topPanel_->update();
}

void TsuiTab::setColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    QPalette colors = palette();
    colors.setColor(QPalette::Window, ColorToQColor(color));
    setPalette(colors);
    colorChanged();
    update();
}

void TsuiTab::setTabFont(const QFont& font) {
    if (font == tabFont_)
        return;
    tabFont_ = font;
    topPanel_->update();
}

int TsuiTab::TabIndex() const {
    return topPanel_->TabIndex();
}

void TsuiTab::setTabIndex(int index) {
    topPanel_->setTabIndex(index);
}

void TsuiTab::TabActive(int index) {
    if (!loading_)
        emit OnTabActive(index);
}

void TsuiTab::ApplyUIStyleToChildren(TsuiUIStyle style) {
    ContainerApplyUIStyle(this, style);
}

void TsuiTab::realign() {
    topPanel_->setGeometry(0, 0, width(), topPanel_->height());
}

void TsuiTab::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    const int top = topPanel_->height();
    canvas.fillRect(0, top, width(), height() - top, ColorToQColor(color_));
    DrawOpenTopBorder(canvas, {0, top, width(), height()}, 1, ColorToQColor(borderColor_));
}

void TsuiTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    realign();
}

// --- TsuiTabControl
// -------------------------------------------------------------------------------

TsuiTabControl::TsuiTabControl(QWidget* parent)
    : TsuiTab(parent, [](TsuiTab* owner) { return new TsuiTabControlTopPanel(owner); }) {}

static const bool tabControlsStyled = RegisterStyleRule(srTabControl, ApplyStyle<TsuiTabControl>) &&
                                      RegisterStyledContainer(IsInstanceOf<TsuiTabControl>);

} // namespace pestrel
