#pragma once
// The skinned progress bar: the style's bar picture stretched over the filled part, the rest in
// the bar's colour, a one-pixel frame, and the percentage as a caption. It is 12 pixels thick;
// a resize across that thickness is refused.

#include "skin/SUIThemes.h"

#include <QImage>
#include <QObject>
#include <QWidget>
#include <cstdint>

namespace pestrel {

namespace barenums {
Q_NAMESPACE
enum class TsuiProgressBarOrientation : std::uint8_t { suiHorizontal, suiVertical };
Q_ENUM_NS(TsuiProgressBarOrientation)
} // namespace barenums
using barenums::TsuiProgressBarOrientation;

// (Position - Min) x 100 div (Max - Min), not clamped; 0 when Min = Max. Wide enough for any
// three integers.
std::int64_t ProgressPercent(int min, int max, int position);
// How much of `length` is filled: none when Min >= Max or Position <= Min, all of it past Max,
// else length x (Position - Min) div (Max - Min) without overflow.
int ProgressFilledLength(int length, int min, int max, int position);

class TsuiProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(pestrel::TColor CaptionColor READ CaptionColor WRITE setCaptionColor)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE setShowCaption)
    Q_PROPERTY(bool SmartShowCaption READ SmartShowCaption WRITE setSmartShowCaption)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(pestrel::barenums::TsuiProgressBarOrientation Orientation READ Orientation WRITE
                   setOrientation)
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)
    Q_PROPERTY(QImage Picture READ Picture WRITE setPicture)
    Q_PROPERTY(QString Caption READ Caption)

public:
    static constexpr int Thickness = 12;

    // 150 x 12 at 50 %, in the style of the skinned form of the window `parent` belongs to.
    explicit TsuiProgressBar(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Except for Custom: the style's bar picture, colour and border colour.
    void setUIStyle(TsuiUIStyle style);
    TColor CaptionColor() const { return captionColor_; }
    void setCaptionColor(TColor color);
    // Turning the bar vertical turns this off.
    bool ShowCaption() const { return showCaption_; }
    void setShowCaption(bool show);
    // Hides the caption while Position equals Min.
    bool SmartShowCaption() const { return smartShowCaption_; }
    void setSmartShowCaption(bool smart);
    int Max() const { return max_; }
    void setMax(int max);
    int Min() const { return min_; }
    void setMin(int min);
    int Position() const { return position_; }
    void setPosition(int position);
    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    // Reapplies the style and turns the bar so that its length is the larger side.
    void setOrientation(TsuiProgressBarOrientation orientation);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& picture);
    // The percentage followed by "%".
    QString Caption() const { return caption_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyUIStyle();
    void updateCaption();
    // Fixes the thickness across the orientation and frees the length.
    void fixThickness();
    void prepareVerticalPicture();
    void paintHorizontal(QPainter& canvas) const;
    void paintVertical(QPainter& canvas) const;

    int max_ = 100;
    int min_ = 0;
    int position_ = 50;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    TsuiProgressBarOrientation orientation_ = TsuiProgressBarOrientation::suiHorizontal;
    TColor borderColor_ = clBlack;
    TColor color_ = clBtnFace;
    QImage picture_;
    QImage verticalPicture_; // picture_ upside down while the bar is vertical
    bool showCaption_ = true;
    TColor captionColor_ = clBlack;
    bool smartShowCaption_ = false;
    QString caption_ = QStringLiteral("50%");
};

} // namespace pestrel
