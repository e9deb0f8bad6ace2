#pragma once
// The painted caption of a skinned window: a strip of picture sections, a row of picture buttons,
// an optional control box or program icon and the caption text. The bar paints, tells which
// button lies under a point and reports clicks; the window frame it sits on acts on them.

#include "skin/SUIThemes.h"
#include "skin/window/SUITitleBarItems.h"

#include <QWidget>
#include <optional>
#include <vector>

namespace pestrel {

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
    // Sits at the top of `parent` across its width, also when the parent is resized; starts in
    // the style of the parent's form.
    explicit TsuiTitleBar(QWidget* parent = nullptr);
    ~TsuiTitleBar() override;

    bool AutoSize() const { return autoSize_; }
    // With sections, the bar takes the height of the first section's picture.
    void setAutoSize(bool value);
    TsuiUIStyle UIStyle() const { return style_; }
    // Rebuilds sections, offsets and button pictures, then reports the style to the frame.
    // Setting the same style rebuilds too: it undoes what was changed since.
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

    int HotButtonIndex() const { return hotButtonIndex_; }
    bool MouseIsDown() const { return mouseIsDown_; }

    // The index of the button under `point` (bar coordinates, edges included), -1 for none; the
    // control box wins where it overlaps another button.
    int buttonAt(const QPoint& point) const;
    // Where each button is drawn at the bar's current width, in collection order; an empty
    // rectangle for a control box that is not drawn.
    std::vector<QRect> buttonRects() const;
    // Where the caption starts and how it reads at the bar's current width.
    QPoint captionPosition() const;
    QString captionText() const;
    // Clicks button `index` as a mouse release on it does (a screen reader's press); nothing for
    // an index out of range.
    void clickButton(int index);

signals:
    void OnCustomBtnsClick(pestrel::TsuiTitleBar* sender, int buttonIndex);
    void OnHelpBtnClick(pestrel::TsuiTitleBar* sender, int buttonIndex);
    // Any button clicked, before the two events above.
    void buttonClicked(int buttonIndex);
    // The bar took a style: the frame gives the window that style's outline and minimum width.
    void styleChanged(pestrel::uistyle::TsuiUIStyle style);
    // The frame lays out what lies below the bar.
    void heightChanged(int height);

protected:
    virtual void DrawSections(QPainter& canvas, const QSize& size);
    virtual void DrawButtons(QPainter& canvas, const QSize& size);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Layout {
        std::vector<QRect> rects; // per button
        int captionLeft = 0;
        int captionRight = 0; // x of the leftmost right-side button
    };
    Layout computeLayout() const;
    int buttonAt(const QPoint& point, const Layout& layout) const;
    struct PlacedCaption {
        QPoint position; // top-left of the text
        QString text;
    };
    PlacedCaption placeCaption(const Layout& layout) const;
    void updateHotButton(const Layout& layout);
    void followParentWidth();

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

    int hotButtonIndex_ = -1;
    bool mouseIsDown_ = false;
    std::optional<QPoint> cursor_; // last known pointer position over the bar
};

} // namespace pestrel
