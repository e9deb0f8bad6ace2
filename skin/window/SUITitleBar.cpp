#include "skin/window/SUITitleBar.h"

#include "skin/InterfaceFont.h"
#include "skin/SUIPublic.h"
#include "skin/SkinAccessible.h"
#include "skin/SkinBitmaps.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace pestrel {
namespace {

// The caption shortened to "two bytes" of the local code page (one double-byte character or two
// single-byte ones) and "...". A character is never split.
QString ShortCaption(const QString& caption) {
    QString out;
    int bytes = 0;
    for (int i = 0; i < caption.size();) {
        const int length = caption.at(i).isHighSurrogate() && i + 1 < caption.size() ? 2 : 1;
        const int width = caption.at(i).unicode() < 0x80 ? 1 : 2;
        if (bytes + width > 2)
            break;
        out += caption.mid(i, length);
        bytes += width;
        i += length;
    }
    return out + QStringLiteral("...");
}

} // namespace

TsuiTitleBar::TsuiTitleBar(QWidget* parent) : QWidget(parent) {
    InstallSkinAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    for (TsuiTitleBarBtnType type :
         {TsuiTitleBarBtnType::suiControlBox, TsuiTitleBarBtnType::suiClose,
          TsuiTitleBarBtnType::suiMax, TsuiTitleBarBtnType::suiMin})
        buttons_.add().setButtonType(type);
    QFont captionFont(QStringLiteral("Tahoma"));
    captionFont.setPixelSize(11);
    captionFont.setBold(true);
    setFont(captionFont);
    if (parent) {
        parent->installEventFilter(this);
        followParentWidth();
    }
    setUIStyle(FindFormUIStyle(parent));
}

TsuiTitleBar::~TsuiTitleBar() = default;

void TsuiTitleBar::setAutoSize(bool value) {
    autoSize_ = value && sections_.count() > 0;
    if (autoSize_)
        resize(width(), sections_[0].Picture().height()); // a new height repaints
}

void TsuiTitleBar::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    sections_.clear();
    if (value != TsuiUIStyle::Custom) {
        const auto addSection = [&](int themeIndex) -> TsuiTitleBarSection& {
            TsuiTitleBarSection& section = sections_.add();
            section.setPicture(TPicture(ThemeBitmap(value, themeIndex)));
            return section;
        };
        addSection(tiTitleLeft).setAutoSize(true);
        TsuiTitleBarSection& right = addSection(tiTitleRight);
        right.setAutoSize(true);
        right.setAlign(TsuiTitleBarAlign::suiRight);
        addSection(tiTitleClient).setAlign(TsuiTitleBarAlign::suiClient);
        leftBtnXOffset_ = GetThemeInteger(value, tiTitleLeftBtnXOffset);
        rightBtnXOffset_ = GetThemeInteger(value, tiTitleRightBtnXOffset);
        for (const auto& button : buttons_)
            button->setUIStyle(value);
        setAutoSize(true);
    }
    update();
    emit styleChanged(value);
}

void TsuiTitleBar::setSections(const TsuiTitleBarSections& value) {
    sections_.assign(value);
}

void TsuiTitleBar::setButtons(const TsuiTitleBarButtons& value) {
    buttons_.assign(value);
}

void TsuiTitleBar::setButtonInterval(int value) {
    if (value == buttonInterval_)
        return;
    buttonInterval_ = value;
    update();
}

void TsuiTitleBar::setCaption(const QString& value) {
    if (value == caption_)
        return;
    caption_ = value;
    setAccessibleName(value);
    update();
}

void TsuiTitleBar::setFontColor(TColor value) {
    if (value == fontColor_)
        return;
    fontColor_ = value;
    update();
}

void TsuiTitleBar::setFormActive(bool value) {
    if (value == formActive_)
        return;
    formActive_ = value;
    update();
}

void TsuiTitleBar::setLeftBtnXOffset(int value) {
    if (value == leftBtnXOffset_)
        return;
    leftBtnXOffset_ = value;
    update();
}

void TsuiTitleBar::setRightBtnXOffset(int value) {
    if (value == rightBtnXOffset_)
        return;
    rightBtnXOffset_ = value;
    update();
}

void TsuiTitleBar::setDrawAppIcon(bool value) {
    if (value == drawAppIcon_)
        return;
    drawAppIcon_ = value;
    update();
}

TsuiTitleBar::Layout TsuiTitleBar::computeLayout() const {
    Layout layout;
    layout.rects.resize(buttons_.count());
    int x = width() + rightBtnXOffset_ + 1;
    int controlBox = -1;
    for (int i = 0; i < buttons_.count(); ++i) {
        const TsuiTitleBarButton& button = buttons_[i];
        if (button.ButtonType() == TsuiTitleBarBtnType::suiControlBox) {
            controlBox = i;
            continue;
        }
        const QSize size = button.PicNormal().bitmap().size();
        x -= size.width() + buttonInterval_ + 1;
        layout.rects[i] = QRect(QPoint(x, button.Top()), size);
    }
    layout.captionRight = x;
    int lx = leftBtnXOffset_;
    if (controlBox >= 0) {
        const TsuiTitleBarButton& box = buttons_[controlBox];
        const QSize size = box.PicNormal().bitmap().size();
        layout.rects[controlBox] = QRect(QPoint(lx, box.Top()), size);
        lx += drawAppIcon_ ? 21 : size.width() + 5;
    }
    layout.captionLeft = lx == 0 ? 6 : lx;
    return layout;
}

std::vector<QRect> TsuiTitleBar::buttonRects() const {
    return computeLayout().rects;
}

int TsuiTitleBar::buttonAt(const QPoint& point) const {
    return buttonAt(point, computeLayout());
}

int TsuiTitleBar::buttonAt(const QPoint& point, const Layout& layout) const {
    int hit = -1;
    int controlBox = -1;
    for (int i = 0; i < buttons_.count(); ++i) {
        if (buttons_[i].ButtonType() == TsuiTitleBarBtnType::suiControlBox)
            controlBox = i;
        else if (PointInRect(point, TRect::fromQRect(layout.rects[i])))
            hit = i;
    }
    if (controlBox >= 0 && PointInRect(point, TRect::fromQRect(layout.rects[controlBox])))
        hit = controlBox;
    return hit;
}

void TsuiTitleBar::updateHotButton(const Layout& layout) {
    hotButtonIndex_ = cursor_ ? buttonAt(*cursor_, layout) : -1;
}

TsuiTitleBar::PlacedCaption TsuiTitleBar::placeCaption(const Layout& layout) const {
    const QFontMetrics metrics(InterfaceTextFont(font()));
    const int y = style_ == TsuiUIStyle::DeepBlue ? 4 : (height() - metrics.height()) / 2;
    const bool fits =
        metrics.horizontalAdvance(caption_) <= layout.captionRight - layout.captionLeft;
    return {QPoint(layout.captionLeft, y), fits ? caption_ : ShortCaption(caption_)};
}

QPoint TsuiTitleBar::captionPosition() const {
    return placeCaption(computeLayout()).position;
}

QString TsuiTitleBar::captionText() const {
    return placeCaption(computeLayout()).text;
}

void TsuiTitleBar::DrawSections(QPainter& canvas, const QSize& size) {
    const int bw = size.width(), bh = size.height();
    int left = -1, right = bw + 1;
    const TsuiTitleBarSection* client = nullptr;
    const auto drawStretched = [&](const TsuiTitleBarSection& section, int x, int width) {
        if (width > 0 && bh > 0 && !section.Picture().empty())
            canvas.drawImage(x, 0, section.stretchedTo(QSize(width, bh)));
    };
    const auto draw = [&](const TsuiTitleBarSection& section, int x) {
        if (section.Stretch())
            drawStretched(section, x, section.Width());
        else if (!section.Picture().empty())
            canvas.drawImage(x, 0, section.Picture().bitmap(), 0, 0, section.Width(), bh);
    };
    for (const auto& section : sections_) {
        switch (section->Align()) {
        case TsuiTitleBarAlign::suiLeft:
            draw(*section, left + 1);
            left += section->Width();
            break;
        case TsuiTitleBarAlign::suiRight:
            if (bw - left >= section->Width()) {
                draw(*section, right - 1 - section->Width());
                right -= section->Width();
            }
            break;
        case TsuiTitleBarAlign::suiClient:
            client = section.get();
            break;
        }
    }
    if (client)
        drawStretched(*client, left + 1, right - left - 2);
}

void TsuiTitleBar::DrawButtons(QPainter& canvas, const QSize&) {
    const Layout layout = computeLayout();
    updateHotButton(layout);
    for (int i = 0; i < buttons_.count(); ++i) {
        const TsuiTitleBarButton& button = buttons_[i];
        if (button.ButtonType() == TsuiTitleBarBtnType::suiControlBox && drawAppIcon_) {
            const QImage icon = SkinBitmap(QStringLiteral("MAINICON"));
            canvas.drawImage(QRect(layout.rects[i].left() + 3, button.Top(), 16, 16), icon);
            continue;
        }
        const auto state = i != hotButtonIndex_ ? TsuiTitleBarButton::Normal
                           : mouseIsDown_       ? TsuiTitleBarButton::MouseDown
                                                : TsuiTitleBarButton::MouseOn;
        const QImage& picture = button.drawnPicture(state);
        if (!picture.isNull())
            canvas.drawImage(layout.rects[i].topLeft(), picture);
    }

    QColor color = ColorToQColor(fontColor_);
    if (!formActive_)
        color = ColorToQColor(clInactiveCaption);
    else if (style_ == TsuiUIStyle::MacOS)
        color = Qt::black;
    canvas.setPen(color);
    canvas.setFont(font());
    const PlacedCaption caption = placeCaption(layout);
    DrawInterfaceText(canvas, caption.position + QPoint(0, QFontMetrics(font()).ascent()),
                      caption.text);
}

// The backing store already composes the bar before it is shown: paint straight onto it.
void TsuiTitleBar::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    DrawSections(canvas, size());
    DrawButtons(canvas, size());
}

void TsuiTitleBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().height() != event->oldSize().height())
        emit heightChanged(height());
}

// A press on the empty bar of a window that can move never reaches here: the frame takes it.
void TsuiTitleBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    mouseIsDown_ = true;
    cursor_ = event->position().toPoint();
    updateHotButton(computeLayout());
    update();
}

// Only a change of the button under the pointer changes what the bar shows.
void TsuiTitleBar::mouseMoveEvent(QMouseEvent* event) {
    cursor_ = event->position().toPoint();
    const int previous = hotButtonIndex_;
    updateHotButton(computeLayout());
    if (hotButtonIndex_ != previous)
        update();
}

// Only a release that ends a press on the bar clicks. The state is settled before anyone hears of
// the click: a handler may delete the window and the bar with it.
void TsuiTitleBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    cursor_ = event->position().toPoint();
    updateHotButton(computeLayout());
    const int index = mouseIsDown_ ? hotButtonIndex_ : -1;
    mouseIsDown_ = false;
    update();
    clickButton(index);
}

void TsuiTitleBar::clickButton(int index) {
    if (index < 0 || index >= buttons_.count())
        return;
    const TsuiTitleBarBtnType type = buttons_[index].ButtonType();
    const QPointer<TsuiTitleBar> alive(this);
    emit buttonClicked(index);
    if (!alive)
        return;
    if (type == TsuiTitleBarBtnType::suiCustom)
        emit OnCustomBtnsClick(this, index);
    else if (type == TsuiTitleBarBtnType::suiHelp)
        emit OnHelpBtnClick(this, index);
}

void TsuiTitleBar::leaveEvent(QEvent* event) {
    cursor_.reset();
    update();
    QWidget::leaveEvent(event);
}

void TsuiTitleBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(event);
}

// Aligned to the top of its parent, on a skinned form or not.
bool TsuiTitleBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        followParentWidth();
    return QWidget::eventFilter(watched, event);
}

void TsuiTitleBar::followParentWidth() {
    setGeometry(0, 0, parentWidget()->width(), height());
}

} // namespace pestrel
