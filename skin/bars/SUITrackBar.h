#pragma once
// The skinned track bar: a track drawn from the style's bar picture and a thumb (an image panel
// showing the style's slider picture) that the user drags, or that jumps to a clicked point.

#include "skin/SUIThemes.h"
#include "skin/bars/SUIProgressBar.h"

#include <QImage>
#include <QWidget>

namespace pestrel {

class TsuiImagePanel;

// Offset of the thumb's leading edge on a track of length L for a thumb of length S:
// (Position - Min) x (L - S) div (Max - Min), kept within 0 .. L - S; 0 when Max = Min or the
// track is no longer than the thumb.
int TrackThumbOffset(int trackLength, int thumbLength, int min, int max, int position);
// The value at coordinate c along the track: Min + (c - S div 2) x (Max - Min) div (L - S), kept
// between Min and Max; Min when the track is no longer than the thumb.
int TrackValueAt(int c, int trackLength, int thumbLength, int min, int max);

class TsuiTrackBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::barenums::TsuiProgressBarOrientation Orientation READ Orientation WRITE
                   setOrientation)
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(QImage BarImage READ BarImage WRITE setBarImage)
    Q_PROPERTY(QImage SliderImage READ SliderImage WRITE setSliderImage)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)

public:
    // In the style of the skinned form of the window `parent` belongs to.
    explicit TsuiTrackBar(QWidget* parent = nullptr);

    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void setOrientation(TsuiProgressBarOrientation orientation);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Except for Custom: the style's colour, bar and thumb pictures.
    void setUIStyle(TsuiUIStyle style);
    const QImage& BarImage() const { return barImage_; }
    void setBarImage(const QImage& image);
    const QImage& SliderImage() const;
    void setSliderImage(const QImage& image);
    int Max() const { return max_; }
    void setMax(int max);
    int Min() const { return min_; }
    void setMin(int min);
    int Position() const { return position_; }
    // Moves the thumb and fires OnChange.
    void setPosition(int position);
    TColor Color() const { return color_; }
    void setColor(TColor color);

    TsuiImagePanel* Slider() const { return slider_; }
    bool Dragging() const { return dragging_; }

signals:
    // Fired whenever the thumb is placed or dragged. Placed, Position already holds the new value;
    // dragged, it still holds the old one.
    void OnChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool horizontal() const;
    int trackLength() const;
    int thumbLength() const;
    // The pointer's coordinate along the track.
    int alongTrack(const QPoint& point) const;
    void refresh();
    // The style's bar and thumb pictures; loaded when the style or the orientation changes.
    void loadPictures();
    void placeThumb();
    void prepareBar();
    void fitThickness();
    void setPositionFromPoint(const QPoint& point);
    void drag(const QPoint& point);

    QImage barImage_;
    TsuiImagePanel* slider_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    TsuiProgressBarOrientation orientation_ = TsuiProgressBarOrientation::suiHorizontal;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    TColor color_ = clBtnFace;
    bool dragging_ = false;
    int dragOffset_ = 0;
    QImage barBitmap_;
    QImage face_; // what paint copies: the colour and the track
};

} // namespace pestrel
