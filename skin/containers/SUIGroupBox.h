#pragma once
// The skinned group box: a flat one-colour frame with the caption set into its top line, over the
// box's own colour or, when transparent, over what lies behind it. A change of the box's own
// Enabled gives every control inside it the same state, also one that was disabled on its own;
// setting the value it already has, or a change that comes down from the box's parent, leaves
// the controls inside with their own.

#include "skin/SUIThemes.h"
#include "toolkit/Color.h"
#include "toolkit/Rect.h"

#include <QWidget>

namespace pestrel {

class TsuiCustomGroupBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)

public:
    explicit TsuiCustomGroupBox(QWidget* parent = nullptr);

    // The box's own state, handed to every control inside it when it changes. Only this setter
    // hands it on: QWidget::setEnabled, called through a QWidget, is Qt's alone.
    void setEnabled(bool value);

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);
    // The face colour; setting it ends ParentColor.
    TColor Color() const { return color_; }
    void setColor(TColor color);
    // The parent's face colour shows instead of Color. Check boxes inside take the box's face
    // colour and caption colour as their own.
    bool ParentColor() const { return parentColor_; }
    void setParentColor(bool parentColor);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor color);

    // Where children belong: inside the frame and below the caption.
    TRect childrenArea() const;

signals:
    // A left-button click on the box itself.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyPalette();
    void updateMargins();

    QString caption_;
    TColor borderColor_ = 0;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    bool transparent_ = true;
    TColor fontColor_ = 0;
};

class TsuiGroupBox : public TsuiCustomGroupBox {
    Q_OBJECT
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)

public:
    using TsuiCustomGroupBox::TsuiCustomGroupBox;
};

} // namespace pestrel
