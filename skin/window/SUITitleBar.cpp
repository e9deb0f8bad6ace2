#include "skin/window/SUITitleBar.h"

#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "toolkit/ImageList.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

namespace pestrel {
namespace {

TsuiInformationHandler& InformationHandler() {
    static TsuiInformationHandler handler = [](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                        QMessageBox::Ok);
        box.exec();
    };
    return handler;
}

// The top-left corner of a window outline whose corners are ellipses of `cornerSize`
// diameter: how far each row from the top stays clear of the edge.
std::vector<int> CornerInsets(int cornerSize) {
    const double r = cornerSize / 2.0;
    std::vector<int> insets;
    for (int y = 0; y < cornerSize / 2; ++y) {
        const double dy = r - y - 0.5;
        insets.push_back(
            static_cast<int>(std::lround(r - std::sqrt(std::max(0.0, r * r - dy * dy)))));
    }
    return insets;
}

QRegion RoundedTopRegion(const QSize& size, int cornerSize) {
    const std::vector<int> insets = CornerInsets(cornerSize);
    const int rows = std::min(static_cast<int>(insets.size()), size.height());
    QRegion region(0, rows, size.width(), size.height() - rows);
    for (int y = 0; y < rows; ++y)
        region += QRect(insets[y], y, size.width() - 2 * insets[y], 1);
    return region;
}

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

TsuiInformationHandler SetSkinInformationHandler(TsuiInformationHandler handler) {
    return std::exchange(InformationHandler(), std::move(handler));
}

void ShowSkinInformation(const QString& text) {
    if (InformationHandler())
        InformationHandler()(text);
}

// --- collections ---------------------------------------------------------------------------------
template <class Item> int TsuiTitleBarCollection<Item>::indexOf(const Item* item) const {
    for (int i = 0; i < count(); ++i) {
        if (items_[i].get() == item)
            return i;
    }
    return -1;
}

template <class Item> Item& TsuiTitleBarCollection<Item>::add() {
    items_.push_back(std::make_unique<Item>(this));
    changed();
    return *items_.back();
}

template <class Item> void TsuiTitleBarCollection<Item>::clear() {
    items_.clear();
    changed();
}

template <class Item>
void TsuiTitleBarCollection<Item>::assign(const TsuiTitleBarCollection& other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto& item : other.items_) {
        items_.push_back(std::make_unique<Item>(this));
        items_.back()->assign(*item);
    }
    changed();
}

template <class Item> void TsuiTitleBarCollection<Item>::changed() const {
    if (owner_)
        owner_->update();
}

template class TsuiTitleBarCollection<TsuiTitleBarSection>;
template class TsuiTitleBarCollection<TsuiTitleBarButton>;

// --- sections ------------------------------------------------------------------------------------
void TsuiTitleBarSection::assign(const TsuiTitleBarSection& other) {
    autoSize_ = other.autoSize_;
    width_ = other.width_;
    align_ = other.align_;
    picture_ = other.picture_;
    stretched_ = QImage();
    stretch_ = other.stretch_;
    collection_->changed();
}

void TsuiTitleBarSection::setAutoSize(bool value) {
    autoSize_ = value;
    if (!picture_.empty())
        width_ = picture_.width();
    collection_->changed();
}

void TsuiTitleBarSection::setWidth(int value) {
    width_ = value;
    collection_->changed();
}

void TsuiTitleBarSection::setAlign(TsuiTitleBarAlign value) {
    if (value == TsuiTitleBarAlign::suiClient) {
        for (const auto& section : *collection_) {
            if (section->align_ == TsuiTitleBarAlign::suiClient) {
                ShowSkinInformation(QStringLiteral(
                    "Sorry, only one section's Align property can be \"suiClient\""));
                return;
            }
        }
        stretch_ = true;
    }
    align_ = value;
    collection_->changed();
}

void TsuiTitleBarSection::setPicture(const TPicture& value) {
    picture_ = value;
    stretched_ = QImage();
    if (!picture_.empty() && autoSize_)
        width_ = picture_.width();
    collection_->changed();
}

const QImage& TsuiTitleBarSection::stretchedTo(const QSize& size) const {
    if (stretched_.size() != size && !picture_.empty())
        stretched_ = picture_.bitmap().scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return stretched_;
}

void TsuiTitleBarSection::setStretch(bool value) {
    stretch_ = value || align_ == TsuiTitleBarAlign::suiClient;
    collection_->changed();
}

// --- buttons -------------------------------------------------------------------------------------
void TsuiTitleBarButton::assign(const TsuiTitleBarButton& other) {
    type_ = other.type_;
    transparent_ = other.transparent_;
    top_ = other.top_;
    style_ = other.style_;
    controlBoxMenu_ = other.controlBoxMenu_;
    for (int state = Normal; state <= MouseDown; ++state)
        pictures_[state] = other.pictures_[state];
    picturesChanged();
}

void TsuiTitleBarButton::setButtonType(TsuiTitleBarBtnType value) {
    if (value == TsuiTitleBarBtnType::suiControlBox) {
        for (const auto& button : *collection_) {
            if (button->type_ == TsuiTitleBarBtnType::suiControlBox) {
                ShowSkinInformation(QStringLiteral(
                    "Sorry, only one button's ButtonType property can be \"suiControlBox\""));
                return;
            }
        }
    }
    type_ = value;
    UpdateStylePictures();
    collection_->changed();
}

void TsuiTitleBarButton::setTransparent(bool value) {
    transparent_ = value;
    picturesChanged();
}

void TsuiTitleBarButton::setTop(int value) {
    top_ = value;
    collection_->changed();
}

void TsuiTitleBarButton::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    UpdateStylePictures();
}

void TsuiTitleBarButton::setControlBoxMenu(QMenu* value) {
    controlBoxMenu_ = value;
    collection_->changed();
}

void TsuiTitleBarButton::setPicture(State state, const TPicture& value) {
    if (type_ != TsuiTitleBarBtnType::suiCustom && type_ != TsuiTitleBarBtnType::suiControlBox) {
        ShowSkinInformation(QStringLiteral("Sorry, this button is not a \"suiCustom\" or "
                                           "\"suiControlBox\"(ButtonType property) button!"));
        return;
    }
    pictures_[state] = value;
    picturesChanged();
}

void TsuiTitleBarButton::UpdateStylePictures() {
    if (style_ == TsuiUIStyle::Custom)
        return;
    transparent_ = GetThemeBoolean(style_, tiTitleBtnTransparent);
    switch (type_) {
    case TsuiTitleBarBtnType::suiMax:
        loadPictures(tiTitleBtnMaxNormal);
        break;
    case TsuiTitleBarBtnType::suiMin:
        loadPictures(tiTitleBtnMinNormal);
        break;
    case TsuiTitleBarBtnType::suiClose:
        loadPictures(tiTitleBtnCloseNormal);
        break;
    case TsuiTitleBarBtnType::suiHelp:
        loadPictures(tiTitleBtnHelpNormal);
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        loadPictures(tiTitleBtnCtlBoxNormal);
        break;
    case TsuiTitleBarBtnType::suiCustom:
        picturesChanged();
        return;
    }
    top_ = GetThemeInteger(style_, tiTitleBtnTop);
    UpdateMaxRestorePictures();
}

void TsuiTitleBarButton::UpdateMaxRestorePictures() {
    if (type_ != TsuiTitleBarBtnType::suiMax || style_ == TsuiUIStyle::Custom)
        return;
    const QWidget* bar = collection_->owner();
    const bool maximised = bar && bar->window()->isMaximized();
    loadPictures(maximised ? tiTitleBtnRestoreNormal : tiTitleBtnMaxNormal);
}

void TsuiTitleBarButton::loadPictures(int firstThemeIndex) {
    for (int state = Normal; state <= MouseDown; ++state)
        pictures_[state].setBitmap(
            ThemeStatePicture(style_, firstThemeIndex, static_cast<TPictureState>(state)));
    picturesChanged();
}

void TsuiTitleBarButton::picturesChanged() {
    for (int state = Normal; state <= MouseDown; ++state) {
        const QImage& picture = pictures_[state].bitmap();
        drawn_[state] = transparent_ && !picture.isNull()
                            ? MaskedImage(picture, picture.pixel(0, picture.height() - 1))
                            : picture;
    }
    collection_->changed();
}

// --- the bar -------------------------------------------------------------------------------------
TsuiTitleBar::TsuiTitleBar(QWidget* parent) : QWidget(parent) {
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
        FollowParentWidth();
    }
    setUIStyle(FindFormUIStyle(parent));
}

TsuiTitleBar::~TsuiTitleBar() = default;

void TsuiTitleBar::setAutoSize(bool value) {
    autoSize_ = value && sections_.count() > 0;
    if (autoSize_)
        resize(width(), sections_[0].Picture().height());
    update();
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
        if (parentWidget())
            window()->setMinimumWidth(GetThemeInteger(value, tiFormMinWidth));
        cornerSize_ = GetThemeInteger(value, tiFormRoundCorner);
        ApplyWindowRegion(cornerSize_);
        for (const auto& button : buttons_)
            button->setUIStyle(value);
        setAutoSize(true);
    }
    update();
}

void TsuiTitleBar::setSections(const TsuiTitleBarSections& value) {
    sections_.assign(value);
}

void TsuiTitleBar::setButtons(const TsuiTitleBarButtons& value) {
    buttons_.assign(value);
}

void TsuiTitleBar::setButtonInterval(int value) {
    buttonInterval_ = value;
    update();
}

void TsuiTitleBar::setCaption(const QString& value) {
    caption_ = value;
    update();
}

void TsuiTitleBar::setFontColor(TColor value) {
    fontColor_ = value;
    update();
}

void TsuiTitleBar::setFormActive(bool value) {
    formActive_ = value;
    update();
}

void TsuiTitleBar::setLeftBtnXOffset(int value) {
    leftBtnXOffset_ = value;
    update();
}

void TsuiTitleBar::setRightBtnXOffset(int value) {
    rightBtnXOffset_ = value;
    update();
}

void TsuiTitleBar::setDrawAppIcon(bool value) {
    drawAppIcon_ = value;
    update();
}

bool TsuiTitleBar::IsOnSkinnedForm() const {
    return dynamic_cast<const TsuiFormStyleSource*>(parentWidget()) != nullptr;
}

QWidget* TsuiTitleBar::Form() const {
    return parentWidget() ? window() : nullptr;
}

void TsuiTitleBar::ApplyWindowRegion(int cornerSize) {
    if (!IsOnSkinnedForm())
        return;
    QWidget* form = window();
    if (cornerSize <= 0)
        form->clearMask();
    else
        form->setMask(RoundedTopRegion(form->size(), cornerSize));
}

void TsuiTitleBar::PerformButtonAction(TsuiTitleBarButton& button) {
    QWidget* form = Form();
    if (!form)
        return;
    const TRect workArea = GetWorkAreaRect(form);
    form->setMaximumSize(workArea.width(), workArea.height());
    switch (button.ButtonType()) {
    case TsuiTitleBarBtnType::suiMax:
        // The bounds are set as well as the state: a window manager may be absent or may not
        // maximise a frameless window. Bounds first, as a new bounds rectangle ends the state.
        if (form->isMaximized()) {
            form->setWindowState(form->windowState() & ~Qt::WindowMaximized);
            if (normalGeometry_.isValid())
                form->setGeometry(normalGeometry_);
        } else {
            normalGeometry_ = form->geometry();
            if (IsOnSkinnedForm())
                form->setGeometry(workArea.toQRect());
            form->setWindowState(form->windowState() | Qt::WindowMaximized);
        }
        if (button.UIStyle() == TsuiUIStyle::WinXP)
            button.UpdateMaxRestorePictures();
        ApplyWindowRegion(cornerSize_);
        break;
    case TsuiTitleBarBtnType::suiMin:
        form->showMinimized();
        break;
    case TsuiTitleBarBtnType::suiClose:
        form->close();
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        if (button.ControlBoxMenu())
            button.ControlBoxMenu()->popup(mapToGlobal(QPoint(0, height())));
        break;
    case TsuiTitleBarBtnType::suiHelp:
    case TsuiTitleBarBtnType::suiCustom:
        break;
    }
}

TsuiTitleBar::Layout TsuiTitleBar::ComputeLayout() const {
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

std::vector<QRect> TsuiTitleBar::ButtonRects() const {
    return ComputeLayout().rects;
}

void TsuiTitleBar::UpdateHotButton(const Layout& layout) {
    hotButtonIndex_ = -1;
    if (!cursor_)
        return;
    int controlBox = -1;
    for (int i = 0; i < buttons_.count(); ++i) {
        if (buttons_[i].ButtonType() == TsuiTitleBarBtnType::suiControlBox)
            controlBox = i;
        else if (PointInRect(*cursor_, TRect::fromQRect(layout.rects[i])))
            hotButtonIndex_ = i;
    }
    if (controlBox >= 0 && PointInRect(*cursor_, TRect::fromQRect(layout.rects[controlBox])))
        hotButtonIndex_ = controlBox;
}

TsuiTitleBar::PlacedCaption TsuiTitleBar::PlaceCaption(const Layout& layout) const {
    const QFontMetrics metrics(font());
    const int y = style_ == TsuiUIStyle::DeepBlue ? 4 : (height() - metrics.height()) / 2;
    const bool fits =
        metrics.horizontalAdvance(caption_) <= layout.captionRight - layout.captionLeft;
    return {QPoint(layout.captionLeft, y), fits ? caption_ : ShortCaption(caption_)};
}

QPoint TsuiTitleBar::CaptionPosition() const {
    return PlaceCaption(ComputeLayout()).position;
}

QString TsuiTitleBar::CaptionText() const {
    return PlaceCaption(ComputeLayout()).text;
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
    const Layout layout = ComputeLayout();
    UpdateHotButton(layout);
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

    QColor colour = ColorToQColor(fontColor_);
    if (!formActive_)
        colour = ColorToQColor(clInactiveCaption);
    else if (style_ == TsuiUIStyle::MacOS)
        colour = Qt::black;
    canvas.setPen(colour);
    canvas.setFont(font());
    const PlacedCaption caption = PlaceCaption(layout);
    canvas.drawText(caption.position + QPoint(0, QFontMetrics(font()).ascent()), caption.text);
}

// The widget is painted double-buffered: the bar is composed and shown in one block.
void TsuiTitleBar::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    DrawSections(canvas, size());
    DrawButtons(canvas, size());
}

void TsuiTitleBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    mouseIsDown_ = true;
    cursor_ = event->position().toPoint();
    UpdateHotButton(ComputeLayout());
    update();
    QWidget* form = Form();
    if (hotButtonIndex_ == -1 && form && !form->isMaximized()) {
        drag_ = Drag{event->globalPosition().toPoint(), form->pos()};
        mouseIsDown_ = false;
    }
}

void TsuiTitleBar::mouseMoveEvent(QMouseEvent* event) {
    cursor_ = event->position().toPoint();
    if (drag_ && (event->buttons() & Qt::LeftButton)) {
        QWidget* form = Form();
        QWindow* window = form->windowHandle();
        if (!drag_->manual && window && window->startSystemMove()) {
            drag_.reset();
        } else {
            // The window manager refused (or there is none): the window follows the pointer.
            drag_->manual = true;
            form->move(drag_->startWindowPos + event->globalPosition().toPoint() -
                       drag_->startGlobal);
        }
    }
    update();
}

void TsuiTitleBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    cursor_ = event->position().toPoint();
    if (drag_) {
        // The end of a drag is not a click.
        drag_.reset();
        mouseIsDown_ = false;
        update();
        return;
    }
    UpdateHotButton(ComputeLayout());
    const int index = hotButtonIndex_;
    if (index != -1) {
        TsuiTitleBarButton& button = buttons_[index];
        PerformButtonAction(button);
        if (button.ButtonType() == TsuiTitleBarBtnType::suiCustom)
            emit OnCustomBtnsClick(this, index);
        else if (button.ButtonType() == TsuiTitleBarBtnType::suiHelp)
            emit OnHelpBtnClick(this, index);
    }
    mouseIsDown_ = false;
    update();
}

void TsuiTitleBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        cursor_ = event->position().toPoint();
        UpdateHotButton(ComputeLayout());
        if (hotButtonIndex_ == -1) {
            for (const auto& button : buttons_) {
                if (button->ButtonType() == TsuiTitleBarBtnType::suiMax) {
                    PerformButtonAction(*button);
                    break;
                }
            }
        }
    }
    // The second press of a double click is a press as well.
    mousePressEvent(event);
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

bool TsuiTitleBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        FollowParentWidth();
    return QWidget::eventFilter(watched, event);
}

void TsuiTitleBar::FollowParentWidth() {
    setGeometry(0, 0, parentWidget()->width(), height());
}

} // namespace pestrel
