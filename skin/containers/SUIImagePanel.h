#pragma once
// Panels that show a picture (as is, stretched or tiled), optionally over their parent's
// background, with a one-line caption. The image panel hands a restyle on to its own skinned
// children.

#include "toolkit/Color.h"

#include <QImage>
#include <QObject>
#include <QPainter>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace pestrel {

namespace panelenums {
Q_NAMESPACE
enum class TsuiDrawStyle : std::uint8_t { suiNormal, suiStretch, suiTile };
Q_ENUM_NS(TsuiDrawStyle)
enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)
enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)
} // namespace panelenums
using panelenums::TAlign;
using panelenums::TAlignment;
using panelenums::TsuiDrawStyle;

// The size an auto-sized panel takes for a picture of `picture`: the width follows the picture
// unless the panel is aligned to the top, the bottom or the whole client area, the height unless
// it is aligned to the left, the right or the whole client area.
QSize AutoSizedPanel(QSize panel, QSize picture, TAlign align);

class TsuiCustomPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QImage Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(pestrel::panelenums::TsuiDrawStyle DrawStyle READ DrawStyle WRITE setDrawStyle)
    Q_PROPERTY(pestrel::panelenums::TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(pestrel::panelenums::TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)

public:
    explicit TsuiCustomPanel(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& picture);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    TsuiDrawStyle DrawStyle() const { return drawStyle_; }
    void setDrawStyle(TsuiDrawStyle style);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    // Except alNone, the panel keeps to that side of its parent (or fills it) as the parent
    // resizes.
    TAlign Align() const { return align_; }
    void setAlign(TAlign align);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    TColor Color() const { return color_; }
    void setColor(TColor color);

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void PictureChanged();
    void DrawPicture(QPainter& canvas, const QImage& picture) const;
    QImage composedFace();
    void fitToPicture();
    void applyAlign();
    void watchParent();

    QImage picture_;
    QImage keyedPicture_; // the picture with its bottom-left colour see-through, when transparent
    QImage face_;         // colour and picture of an opaque panel, at its size
    bool transparent_ = false;
    bool autoSize_ = false;
    TsuiDrawStyle drawStyle_ = TsuiDrawStyle::suiNormal;
    TAlignment alignment_ = TAlignment::taCenter;
    TAlign align_ = TAlign::alNone;
    QString caption_;
    TColor color_ = clBtnFace;
    QWidget* watchedParent_ = nullptr;
};

class TsuiImagePanel : public TsuiCustomPanel {
    Q_OBJECT

public:
    using TsuiCustomPanel::TsuiCustomPanel;
};

} // namespace pestrel
