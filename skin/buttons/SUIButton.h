#pragma once
// The skinned push button: the style's three state pictures stretched to its size (or, in the
// Custom style, pictures named by its own properties, unscaled), an optional glyph beside the
// caption and a focus mark.

#include "skin/buttons/SUICustomButton.h"
#include "toolkit/ImageList.h"

#include <QImage>
#include <QPoint>
#include <QSize>

namespace pestrel {

// Where a glyph and the caption beside it go, before the press offset.
struct TGlyphPlacement {
    QPoint glyph;
    QPoint text;
};

class TsuiButton : public TsuiCustomButton {
    Q_OBJECT
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)
    // Where the glyph sits beside the caption; no relation to QWidget::layout().
    Q_PROPERTY(TButtonLayout Layout READ glyphLayout WRITE setGlyphLayout)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(QPoint TextOrigin READ TextOrigin)

public:
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)

    explicit TsuiButton(QWidget* parent = nullptr);

    const QImage& Glyph() const { return glyph_; }
    void setGlyph(const QImage& glyph);
    TButtonLayout glyphLayout() const { return layout_; }
    void setGlyphLayout(TButtonLayout layout);
    int Spacing() const { return spacing_; }
    void setSpacing(int spacing);
    // The caption's top-left corner beside a glyph, as last painted.
    QPoint TextOrigin() const { return textOrigin_; }

    // Glyph and caption positions in a W x H button for a caption of TW x TH and a glyph frame of
    // GW x GH, S pixels apart.
    static TGlyphPlacement placeGlyph(TButtonLayout layout, QSize button, QSize text, QSize glyph,
                                      int spacing);

    // Assigning a picture name makes the button Custom; styled buttons read the names as empty.
    QString PicNormalResName() const override;
    void setPicNormalResName(const QString& name) override;
    QString PicMouseOnResName() const override;
    void setPicMouseOnResName(const QString& name) override;
    QString PicMouseDownResName() const override;
    void setPicMouseDownResName(const QString& name) override;

    QSize sizeHint() const override;

protected:
    void UIStyleChanged() override;
    void DrawPicture(QPainter& canvas, const QImage& picture) override;
    void DrawCaption(QPainter& canvas, const QString& caption) override;
    void DrawFocus(QPainter& canvas) override;
    void ApplyUIStyle(TsuiUIStyle& style) override;

private:
    bool hasGlyph() const { return !glyph_.isNull() && glyph_.width() > 0 && glyph_.height() > 0; }
    void drawGlyph(QPainter& canvas);

    QImage glyph_;
    // The glyph cut into its frames once, when it is set: a strip of two (normal, disabled) when
    // twice as wide as high, else one; its top-left pixel's colour is transparent.
    TImageList glyphFrames_{0, 0};
    TButtonLayout layout_ = blGlyphLeft;
    QPoint textOrigin_;
    int spacing_ = 4;
};

} // namespace pestrel
