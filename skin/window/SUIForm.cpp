#include "skin/window/SUIForm.h"

#include "skin/SUIMessages.h"
#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "skin/window/SUIMenuBar.h"

#include <QPainter>
#include <stdexcept>

namespace pestrel {

TsuiForm::TsuiForm(QWidget* host) : QWidget(host), host_(host) {
    if (!host)
        throw std::invalid_argument("a TsuiForm needs the window it frames as its parent");
    for (const QObject* child : host->children()) {
        if (child != this && qobject_cast<const TsuiForm*>(child))
            throw std::runtime_error(
                "Sorry, You can create only one TsuiForm component in one form!");
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    chrome_ = std::make_unique<TsuiWindowChrome>(host, this);
    connect(TitleBar(), &TsuiTitleBar::OnCustomBtnsClick, this,
            &TsuiForm::OnTitleBarCustomBtnsClick);
    connect(TitleBar(), &TsuiTitleBar::OnHelpBtnClick, this, &TsuiForm::OnTitleBarHelpBtnClick);
    chrome_->setMenuBarColor(color_);
    setUIStyle(TsuiUIStyle::DeepBlue);
    setCaption(host->windowTitle());
    UpdateInnerBounds();
}

TsuiForm::~TsuiForm() = default;

void TsuiForm::setPanelWidth(int value) {
    host_->resize(value + 2 * BorderWidth() + 8, host_->height());
}

void TsuiForm::setPanelHeight(int value) {
    host_->resize(host_->width(), value + BorderWidth() + 27);
}

void TsuiForm::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    chrome_->setFrameStyle(value);
    if (value == TsuiUIStyle::Custom)
        return;
    setBorderColor(GetThemeColor(value, tiFormBorderColor));
    setBorderWidth(GetThemeInteger(value, tiFormBorderWidth));
    setColor(GetThemeColor(value, tiFormColor));
    setMenuBarColor(color_);
    TitleBar()->setUIStyle(value);
    chrome_->layOutPanel();
    if (QMenu* menu = Menu()) {
        const QVariant menuStyle = menu->property("UIStyle");
        if (menuStyle.isValid() && menuStyle.value<TsuiUIStyle>() != TsuiUIStyle::Custom)
            menu->setProperty("UIStyle", QVariant::fromValue(value));
    }
    ContainerApplyUIStyleNested(this, value);
    ContainerApplyUIStyle(this, value);
    UpdateInnerBounds();
    update();
    DrawFormBorder();
}

void TsuiForm::setColor(TColor value) {
    if (value == color_)
        return;
    color_ = value;
    QPalette colors = palette();
    colors.setColor(QPalette::Window, ColorToQColor(value));
    setPalette(colors);
    update();
}

void TsuiForm::RebuildMenuBar() {
    if (TsuiMenuBar* bar = MenuBar())
        bar->rebuild();
}

void TsuiForm::UpdateMenuBarCaptions() {
    if (TsuiMenuBar* bar = MenuBar())
        bar->updateCaptions();
}

void TsuiForm::UpdateMenuBarFont() {
    if (TsuiMenuBar* bar = MenuBar())
        bar->updateFont();
}

void TsuiForm::setCaption(const QString& value) {
    TitleBar()->setCaption(value);
    host_->setWindowTitle(value);
}

void TsuiForm::setFormPanel(QWidget* value) {
    if (value == this) {
        ShowSkinInformation(
            QStringLiteral("Sorry, you can't select the Form assign to FormPanel property"));
        return;
    }
    chrome_->setClient(value);
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
    // The chrome is made once the panel is: a visible host may resize the panel before.
    if (chrome_)
        chrome_->layOutPanel();
    QWidget::resizeEvent(event);
}

} // namespace pestrel
