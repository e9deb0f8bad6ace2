#include "skin/window/SUIForm.h"

#include "skin/SUIMessages.h"
#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "skin/menus/SUIMainMenu.h"
#include "skin/window/SUIMenuBar.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <functional>
#include <stdexcept>

namespace pestrel {
namespace {

// An event filter made of a function, for filters that must not share their object with others.
class FilterHook : public QObject {
public:
    FilterHook(QObject* parent, std::function<bool(QObject*, QEvent*)> filter)
        : QObject(parent), filter_(std::move(filter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> filter_;
};

QAction* FindShortcut(const QWidget* menu, const QKeySequence& keys) {
    for (QAction* action : menu->actions()) {
        if (const QMenu* submenu = action->menu()) {
            if (QAction* found = FindShortcut(submenu, keys))
                return found;
        } else if (action->isEnabled() && action->shortcuts().contains(keys)) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

void PaintFormBorder(QPainter& canvas, const QSize& client, int borderWidth, TColor color) {
    const int cw = client.width(), ch = client.height(), bw = borderWidth;
    const QColor colour = ColorToQColor(color);
    DrawOpenTopBorder(canvas, {0, 0, cw, ch}, bw, colour);
    canvas.fillRect(0, 0, cw, 1, colour);
}

TsuiForm::TsuiForm(QWidget* host) : QWidget(host), host_(host) {
    if (!host)
        throw std::invalid_argument("a TsuiForm needs the window it frames as its parent");
    for (const QObject* child : host->children()) {
        if (child != this && qobject_cast<const TsuiForm*>(child))
            throw std::runtime_error(
                "Sorry, You can create only one TsuiForm component in one form!");
    }
    hostMargins_ = host->contentsMargins();

    setAttribute(Qt::WA_OpaquePaintEvent);
    titleBar_ = new TsuiTitleBar(this);
    frame_ = new TsuiFormFrame(host, titleBar_, this);
    connect(titleBar_, &TsuiTitleBar::heightChanged, this, &TsuiForm::layOutContent);
    connect(titleBar_, &TsuiTitleBar::OnCustomBtnsClick, this,
            &TsuiForm::OnTitleBarCustomBtnsClick);
    connect(titleBar_, &TsuiTitleBar::OnHelpBtnClick, this, &TsuiForm::OnTitleBarHelpBtnClick);
    menuBarColor_ = color_;
    setUIStyle(TsuiUIStyle::DeepBlue);
    setCaption(host->windowTitle());

    host->installEventFilter(this);
    qApp->installEventFilter(new FilterHook(this, [this](QObject* receiver, QEvent* event) {
        return applicationEvent(receiver, event);
    }));
    UpdateInnerBounds();
}

TsuiForm::~TsuiForm() {
    if (auto* menu = qobject_cast<TsuiMainMenu*>(menu_.data()))
        menu->setLinkedFrame(nullptr);
    host_->removeEventFilter(this);
    // The host may be on its way out too: it is repainted later, and only if it is still there.
    QMetaObject::invokeMethod(
        host_,
        [host = host_, margins = hostMargins_] {
            host->setContentsMargins(margins);
            host->update();
        },
        Qt::QueuedConnection);
}

void TsuiForm::setPanelWidth(int value) {
    host_->resize(value + 2 * borderWidth_ + 8, host_->height());
}

void TsuiForm::setPanelHeight(int value) {
    host_->resize(host_->width(), value + borderWidth_ + 27);
}

void TsuiForm::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    if (value == TsuiUIStyle::Custom)
        return;
    setBorderColor(GetThemeColor(value, tiFormBorderColor));
    setBorderWidth(GetThemeInteger(value, tiFormBorderWidth));
    setColor(GetThemeColor(value, tiFormColor));
    setMenuBarColor(color_);
    titleBar_->setUIStyle(value);
    layOutContent();
    if (menu_) {
        const QVariant menuStyle = menu_->property("UIStyle");
        if (menuStyle.isValid() && menuStyle.value<TsuiUIStyle>() != TsuiUIStyle::Custom)
            menu_->setProperty("UIStyle", QVariant::fromValue(value));
    }
    ContainerApplyUIStyleNested(this, value);
    ContainerApplyUIStyle(this, value);
    UpdateInnerBounds();
    update();
    DrawFormBorder();
}

void TsuiForm::setBorderColor(TColor value) {
    if (value == borderColor_)
        return;
    borderColor_ = value;
    UpdateInnerBounds();
    DrawFormBorder();
}

void TsuiForm::setBorderWidth(int value) {
    if (value == borderWidth_)
        return;
    borderWidth_ = value;
    UpdateInnerBounds();
    DrawFormBorder();
}

void TsuiForm::setColor(TColor value) {
    if (value == color_)
        return;
    color_ = value;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ColorToQColor(value));
    setPalette(colours);
    update();
}

void TsuiForm::setMenu(QMenu* value) {
    if (auto* old = qobject_cast<TsuiMainMenu*>(menu_.data()))
        old->setLinkedFrame(nullptr);
    menu_ = value;
    if (auto* menu = qobject_cast<TsuiMainMenu*>(value))
        menu->setLinkedFrame(this);
    if (!value) {
        delete menuBar_;
        menuBar_ = nullptr;
    } else if (!menuBar_) {
        menuBar_ = new TsuiMenuBar(this);
        menuBar_->show();
    }
    RebuildMenuBar();
    UpdateMenuBarFont();
    layOutContent();
}

void TsuiForm::setMenuBarColor(TColor value) {
    menuBarColor_ = value;
    if (menuBar_)
        menuBar_->setColor(value);
}

void TsuiForm::setMenuBarHeight(int value) {
    menuBarHeight_ = value;
    if (menuBar_) {
        menuBar_->setBarHeight(value);
        layOutContent();
    }
}

void TsuiForm::RebuildMenuBar() {
    if (menuBar_)
        menuBar_->Rebuild(menu_);
}

void TsuiForm::UpdateMenuBarCaptions() {
    if (menuBar_)
        menuBar_->UpdateCaptions();
}

void TsuiForm::UpdateMenuBarFont() {
    if (menuBar_)
        menuBar_->UpdateFont();
}

void TsuiForm::setCaption(const QString& value) {
    titleBar_->setCaption(value);
    host_->setWindowTitle(value);
}

void TsuiForm::setFormPanel(QWidget* value) {
    if (value == this) {
        ShowSkinInformation(
            QStringLiteral("Sorry, you can't select the Form assign to FormPanel property"));
        return;
    }
    if (value == formPanel_)
        return;
    formPanel_ = value;
    if (auto* framed = qobject_cast<QFrame*>(value))
        framed->setFrameShape(QFrame::NoFrame);
    layOutContent();
}

void TsuiForm::UpdateInnerBounds() {
    const int bw = borderWidth_;
    // A layout on the host places the frame in the same rectangle.
    host_->setContentsMargins(bw, 0, bw, bw);
    setGeometry(bw, 0, host_->width() - 2 * bw, host_->height() - bw);
}

void TsuiForm::DrawFormBorder() {
    const int bw = borderWidth_, cw = host_->width(), ch = host_->height();
    host_->update(QRegion(host_->rect()).subtracted(QRect(bw, 1, cw - 2 * bw, ch - bw - 1)));
}

void TsuiForm::layOutContent() {
    // Children in a layout of the frame stay below the title bar and the menu bar.
    int top = titleBar_->height();
    if (menuBar_) {
        menuBar_->setGeometry(0, top, width(), menuBar_->height());
        top += menuBar_->height();
    }
    setContentsMargins(0, top, 0, 0);
    if (formPanel_ && formPanel_->parentWidget() == this)
        formPanel_->setGeometry(contentsRect());
}

void TsuiForm::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    if (style_ == TsuiUIStyle::MacOS || style_ == TsuiUIStyle::Protein) {
        const QImage pattern =
            SkinBitmap(style_ == TsuiUIStyle::MacOS ? QStringLiteral("MACOS_FORM_BACKGROUND")
                                                    : QStringLiteral("PROTEIN_FORM_BACKGROUND"));
        canvas.fillRect(rect(), QBrush(pattern));
    } else {
        canvas.fillRect(rect(), ColorToQColor(color_));
    }
}

void TsuiForm::resizeEvent(QResizeEvent* event) {
    layOutContent();
    QWidget::resizeEvent(event);
}

bool TsuiForm::eventFilter(QObject* watched, QEvent* event) {
    return watched == host_ && hostEvent(event);
}

// The host handles each event first; the frame then adds its part.
bool TsuiForm::hostEvent(QEvent* event) {
    QObject* host = host_;
    switch (event->type()) {
    case QEvent::Paint: {
        host->event(event);
        QPainter canvas(host_);
        PaintFormBorder(canvas, host_->size(), borderWidth_, borderColor_);
        return true;
    }
    case QEvent::Resize:
        host->event(event);
        hostResized();
        return true;
    case QEvent::WindowActivate:
        titleBar_->setFormActive(true);
        break;
    case QEvent::WindowDeactivate:
        titleBar_->setFormActive(false);
        break;
    case QEvent::Show:
        frame_->watchHostWindow();
        break;
    default:
        break;
    }
    return false;
}

void TsuiForm::hostResized() {
    frame_->followMaximisedStart();
    UpdateInnerBounds();
    DrawFormBorder();
    frame_->ApplyWindowRegion(frame_->CornerSize());
}

// Menu shortcuts work wherever the focus is in the host window.
bool TsuiForm::applicationEvent(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !menu_)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    if (!widget || widget->window() != host_->window())
        return false;
    const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
    QAction* action = FindShortcut(menu_, keys);
    if (!action)
        return false;
    action->trigger();
    return true;
}

} // namespace pestrel
