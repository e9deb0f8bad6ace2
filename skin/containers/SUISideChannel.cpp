#include "skin/containers/SUISideChannel.h"

#include "skin/SUIThemes.h"
#include "skin/SkinBitmaps.h"
#include "skin/buttons/SUIButton.h"

#include <QCursor>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>
#include <algorithm>
#include <utility>

namespace pestrel {

namespace {

constexpr int TitleHeight = 16;
constexpr QSize PinSize(20, 16);
constexpr int InitialSideBarWidth = 10;
// Time between two slide steps: short enough to look continuous, long enough to be seen.
constexpr int SlideInterval = 10;

void SetBackground(QWidget* widget, TColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColorToQColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QIcon PinGlyph(bool pressed) {
    return QIcon(
        QPixmap::fromImage(SkinBitmap(pressed ? QStringLiteral("SIDECHANNEL_BTN_ONTOP")
                                              : QStringLiteral("SIDECHANNEL_BTN_NOONTOP"))));
}

void EnableTimer(QTimer& timer, bool enabled) {
    if (!enabled)
        timer.stop();
    else if (!timer.isActive())
        timer.start();
}

} // namespace

TsuiSideChannel::TsuiSideChannel(QWidget* owner)
    : QWidget(owner), sideBar_(new QWidget(this)), titlePanel_(new QLabel(this)),
      pinButton_(new QToolButton(titlePanel_)), barButton_(new TsuiButton(sideBar_)),
      fullWidth_(width()), color_(FindFormColor(owner ? owner->window() : nullptr)),
      sideBarColor_(color_) {
    sideBar_->setGeometry(0, 0, InitialSideBarWidth, height());
    titlePanel_->setAlignment(Qt::AlignCenter);
    pinButton_->setCheckable(true);
    pinButton_->setAutoRaise(true);
    pinButton_->setFixedSize(PinSize);
    pinButton_->setIcon(PinGlyph(false));
    pinButton_->hide();
    barButton_->setPicNormalResName(QStringLiteral("SIDECHANNEL_BAR_NORMAL"));
    barButton_->setPicMouseOnResName(QStringLiteral("SIDECHANNEL_BAR_MOUSEON"));
    barButton_->setPicMouseDownResName(QStringLiteral("SIDECHANNEL_BAR_MOUSEON"));
    barButton_->setAutoSize(true);
    barButton_->setTabStop(false);
    barButton_->move(0, 0);

    SetBackground(this, color_);
    setSideBarColor(sideBarColor_);
    hideTimer_.setInterval(HideInterval);
    slideTimer_.setInterval(SlideInterval);
    connect(&hideTimer_, &QTimer::timeout, this, [this] { hideTimerTick(QCursor::pos()); });
    connect(&slideTimer_, &QTimer::timeout, this, &TsuiSideChannel::slideStep);
    connect(pinButton_, &QToolButton::clicked, this, &TsuiSideChannel::pinButtonClick);
    connect(barButton_, &QAbstractButton::clicked, this, &TsuiSideChannel::barClicked);
    for (QWidget* part :
         {sideBar_, static_cast<QWidget*>(titlePanel_), static_cast<QWidget*>(barButton_)}) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
    }
    if (owner)
        owner->installEventFilter(this);
    pushIn(true);
}

void TsuiSideChannel::setFullWidth(int width) {
    fullWidth_ = width;
}

void TsuiSideChannel::setSideBarColor(TColor color) {
    sideBarColor_ = color;
    SetBackground(sideBar_, color);
    SetBackground(titlePanel_, color);
}

int TsuiSideChannel::SideBarWidth() const {
    return sideBar_->width();
}

void TsuiSideChannel::setSideBarWidth(int width) {
    sideBar_->resize(width, sideBar_->height());
    pushIn(true);
}

void TsuiSideChannel::setCaption(const QString& caption) {
    caption_ = caption;
    // The bar and the title stand for the channel; the pin keeps it out.
    barButton_->setAccessibleName(caption);
    titlePanel_->setAccessibleName(caption);
    pinButton_->setAccessibleName(tr("Keep %1 open").arg(caption));
    if (!pinButton_->isHidden() && !busy_)
        titlePanel_->setText(caption);
}

Qt::Alignment TsuiSideChannel::Alignment() const {
    return titlePanel_->alignment();
}

void TsuiSideChannel::setAlignment(Qt::Alignment alignment) {
    titlePanel_->setAlignment(alignment);
}

void TsuiSideChannel::setAlign(TsuiSideChannelAlign align) {
    align_ = align;
    dock(width());
}

void TsuiSideChannel::setStayOn(bool stayOn) {
    // The pin's handler comes back here with the same value: that round ends at once.
    if (stayOn == stayOn_)
        return;
    stayOn_ = stayOn;
    if (stayOn) {
        popOut(quickMove_);
        pinButton_->setChecked(true);
    } else {
        pinButton_->setChecked(false);
        pushIn(true);
    }
    pinButtonClick();
    emit stayOnChanged(stayOn);
}

void TsuiSideChannel::setColor(TColor color) {
    color_ = color;
    SetBackground(this, color);
}

void TsuiSideChannel::popOut(bool quick) {
    startSlide(Slide::Out, quick);
}

void TsuiSideChannel::pushIn(bool quick) {
    startSlide(Slide::In, quick);
}

void TsuiSideChannel::startSlide(Slide direction, bool quick) {
    if (slide_ == direction && !quick)
        return;
    // Already resting where the slide would end: nothing moves and nothing is announced.
    const bool out = !pinButton_->isHidden();
    if (!busy_ && (direction == Slide::Out ? out && width() == fullWidth_
                                           : !out && width() == SideBarWidth()))
        return;
    slide_ = direction;
    busy_ = true;
    if (direction == Slide::Out)
        pinButton_->show();
    else
        hideTimer_.stop();
    if (quick)
        finishSlide();
    else
        slideTimer_.start();
}

void TsuiSideChannel::slideStep() {
    const int w = width();
    if (slide_ == Slide::Out && w + SlideStepWidth < fullWidth_)
        dock(w + SlideStepWidth);
    else if (slide_ == Slide::In && SideBarWidth() < w - SlideStepWidth)
        dock(w - SlideStepWidth);
    else
        finishSlide();
}

void TsuiSideChannel::finishSlide() {
    slideTimer_.stop();
    const Slide done = std::exchange(slide_, Slide::None);
    if (done == Slide::Out) {
        dock(fullWidth_);
        EnableTimer(hideTimer_, !pinButton_->isChecked());
        busy_ = false;
        titlePanel_->setText(caption_);
        emit poppedOut();
    } else if (done == Slide::In) {
        dock(SideBarWidth());
        pinButton_->hide();
        titlePanel_->clear();
        busy_ = false;
        emit pushedIn();
    }
}

void TsuiSideChannel::hideTimerTick(QPoint globalPointer) {
    if (!parentWidget()) {
        pushIn(false);
        return;
    }
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const bool inside = globalPointer.x() > origin.x() &&
                        globalPointer.x() < origin.x() + width() &&
                        globalPointer.y() > origin.y() && globalPointer.y() < origin.y() + height();
    if (!inside)
        pushIn(quickMove_);
}

void TsuiSideChannel::pinButtonClick() {
    const bool pressed = pinButton_->isChecked();
    EnableTimer(hideTimer_, !pressed && !isIn());
    pinButton_->setIcon(PinGlyph(pressed));
    setStayOn(pressed);
}

void TsuiSideChannel::barHovered() {
    if (isIn() && popupMode_ == suiMouseOn)
        popOut(quickMove_);
}

void TsuiSideChannel::barClicked() {
    if (isIn() && popupMode_ == suiMouseClick)
        popOut(quickMove_);
}

void TsuiSideChannel::dock(int width) {
    QWidget* parent = parentWidget();
    if (!parent) {
        resize(width, height());
        return;
    }
    const int x = align_ == suiRight ? parent->width() - width : 0;
    setGeometry(x, 0, width, parent->height());
}

void TsuiSideChannel::layOutParts() {
    const int bar = SideBarWidth();
    sideBar_->setGeometry(0, 0, bar, height());
    titlePanel_->setGeometry(bar, 0, std::max(0, width() - bar), TitleHeight);
    pinButton_->move(titlePanel_->width() - PinSize.width(), 0);
}

bool TsuiSideChannel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            dock(width());
        return false;
    }
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        barHovered();
        break;
    case QEvent::MouseButtonPress:
        if (watched == sideBar_)
            barClicked();
        break;
    default:
        break;
    }
    return false;
}

void TsuiSideChannel::resizeEvent(QResizeEvent* event) {
    const int oldWidth = event->oldSize().width();
    const bool out = !pinButton_->isHidden();
    if (!busy_ && out && width() < MinimumOutWidth && oldWidth >= MinimumOutWidth) {
        dock(oldWidth);
        return;
    }
    layOutParts();
    if (QWidget* parent = parentWidget(); parent && align_ == suiRight)
        move(parent->width() - width(), y());
    if (!busy_ && SideBarWidth() < width())
        fullWidth_ = width();
    emit resized();
}

static const bool styled = RegisterStyleRule(srSideChannel, [](QObject* child, TsuiUIStyle style) {
    if (auto* channel = dynamic_cast<TsuiSideChannel*>(child)) {
        channel->setColor(GetThemeColor(style, tiControlColor));
        channel->setSideBarColor(GetThemeColor(style, tiControlColor));
    }
});

} // namespace pestrel
