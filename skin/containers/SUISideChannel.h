#pragma once
// A panel docked to the left or right edge of its parent that shows only a thin bar until it
// slides out, on mouse-over or on a click of the bar. While out it shows a title strip with its
// caption and a pin; a timer slides it back once the pointer has left, unless it is pinned.
// Whatever is placed on it shows in its expanded area.

#include "toolkit/Color.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>

class QLabel;
class QToolButton;

namespace pestrel {

class TsuiButton;

class TsuiSideChannel : public QWidget {
    Q_OBJECT
    // The expanded width; the control's width is the bar's width while it is in.
    Q_PROPERTY(int FullWidth READ FullWidth WRITE setFullWidth)
    Q_PROPERTY(pestrel::TColor SideBarColor READ SideBarColor WRITE setSideBarColor)
    Q_PROPERTY(int SideBarWidth READ SideBarWidth WRITE setSideBarWidth)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(TsuiSideChannelAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(bool StayOn READ StayOn WRITE setStayOn NOTIFY stayOnChanged)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)
    Q_PROPERTY(TsuiSideChannelPopupMode PopupMode READ PopupMode WRITE setPopupMode)
    Q_PROPERTY(bool QuickMove READ QuickMove WRITE setQuickMove)

public:
    enum TsuiSideChannelAlign { suiLeft, suiRight };
    Q_ENUM(TsuiSideChannelAlign)
    enum TsuiSideChannelPopupMode { suiMouseOn, suiMouseClick };
    Q_ENUM(TsuiSideChannelPopupMode)

    static constexpr int SlideStepWidth = 15;
    static constexpr int MinimumOutWidth = 50;
    static constexpr int HideInterval = 500;

    // Starts as a bar; its expanded width is the width it had when created.
    explicit TsuiSideChannel(QWidget* owner = nullptr);

    int FullWidth() const { return fullWidth_; }
    void setFullWidth(int width);
    TColor SideBarColor() const { return sideBarColor_; }
    void setSideBarColor(TColor color);
    int SideBarWidth() const;
    // Also pushes the channel in at once.
    void setSideBarWidth(int width);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    Qt::Alignment Alignment() const;
    void setAlignment(Qt::Alignment alignment);
    TsuiSideChannelAlign Align() const { return align_; }
    void setAlign(TsuiSideChannelAlign align);
    bool StayOn() const { return stayOn_; }
    // True pops out (at once with QuickMove) and presses the pin; false releases it and pushes in
    // at once.
    void setStayOn(bool stayOn);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    TsuiSideChannelPopupMode PopupMode() const { return popupMode_; }
    void setPopupMode(TsuiSideChannelPopupMode mode) { popupMode_ = mode; }
    bool QuickMove() const { return quickMove_; }
    void setQuickMove(bool quick) { quickMove_ = quick; }

    // In: no wider than its bar. Busy: a slide is under way.
    bool isIn() const { return SideBarWidth() >= width(); }
    bool Busy() const { return busy_; }
    QWidget* SideBar() const { return sideBar_; }
    QLabel* TitlePanel() const { return titlePanel_; }
    QToolButton* PinButton() const { return pinButton_; }
    TsuiButton* BarButton() const { return barButton_; }
    QTimer* HideTimer() { return &hideTimer_; }
    QTimer* slideTimer() { return &slideTimer_; }

    // Slides out to FullWidth, or jumps there when `quick`. A slide under way in the same
    // direction goes on; one in the other direction turns round from where it is. A channel
    // already at rest where the slide would end stays as it is and announces nothing.
    void popOut(bool quick);
    // Slides in to the bar's width, or jumps there when `quick`.
    void pushIn(bool quick);
    // One step of the slide under way: the slide timer's tick.
    void slideStep();
    // The hide timer's tick with the pointer at `globalPointer`: pushes in (at once with
    // QuickMove) unless the pointer is strictly inside the channel.
    void hideTimerTick(QPoint globalPointer);

signals:
    void poppedOut();
    void pushedIn();
    void stayOnChanged(bool stayOn);
    // A resize that was kept (a width under 50 while out is undone).
    void resized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Slide { None, Out, In };
    void startSlide(Slide direction, bool quick);
    void finishSlide();
    void pinButtonClick();
    void barHovered();
    void barClicked();
    // Sets the width and keeps the channel on its edge, over the parent's full height.
    void dock(int width);
    void layOutParts();

    QWidget* sideBar_;
    QLabel* titlePanel_;
    QToolButton* pinButton_;
    TsuiButton* barButton_;
    QTimer hideTimer_;
    QTimer slideTimer_;
    Slide slide_ = Slide::None;
    int fullWidth_;
    bool busy_ = false;
    bool stayOn_ = false;
    bool quickMove_ = false;
    QString caption_;
    TColor color_;
    TColor sideBarColor_;
    TsuiSideChannelAlign align_ = suiLeft;
    TsuiSideChannelPopupMode popupMode_ = suiMouseOn;
};

} // namespace pestrel
