#include "skin/buttons/SUICheckBox.h"

#include "skin/SkinBitmaps.h"

namespace pestrel {

TsuiCheckBox::TsuiCheckBox(QWidget* parent)
    : TsuiCheckBox(parent, FindFormUIStyle(parent ? parent->window() : nullptr)) {}

TsuiCheckBox::TsuiCheckBox(QWidget* parent, TsuiUIStyle style)
    : TsuiCheckBox(parent, style, tiCheckBoxDisableCheck, false, QStringLiteral("suiCheckBox")) {}

TsuiCheckBox::TsuiCheckBox(QWidget* parent, TsuiUIStyle style, TThemeIndex firstEntry,
                           bool maskPicture, const QString& caption)
    : TsuiCustomButtonEx(parent, style), firstEntry_(firstEntry), maskPicture_(maskPicture) {
    restyle(UIStyle());
    setMaskPicture(maskPicture_);
    setCaption(caption);
    resize(width(), 17);
}

void TsuiCheckBox::nextCheckState() {
    setChecked(!isChecked());
}

void TsuiCheckBox::CheckedChanged() {
    TsuiUIStyle style = UIStyle();
    ApplyUIStyle(style);
}

void TsuiCheckBox::TransparentChanged() {
    setMaskPicture(maskPicture_);
}

void TsuiCheckBox::EnabledChanged() {
    TsuiUIStyle style = UIStyle();
    ApplyUIStyle(style);
}

void TsuiCheckBox::UIStyleChanged() {
    TsuiCustomButtonEx::UIStyleChanged();
    switch (UIStyle()) {
    case TsuiUIStyle::MacOS:
    case TsuiUIStyle::Protein:
        setTransparent(true);
        break;
    case TsuiUIStyle::WinXP:
    case TsuiUIStyle::DeepBlue:
    case TsuiUIStyle::BlueGlass:
        setTransparent(false);
        break;
    case TsuiUIStyle::Custom:
        break;
    }
}

void TsuiCheckBox::ApplyUIStyle(TsuiUIStyle& style) {
    if (style != TsuiUIStyle::Custom)
        pictureStyle_ = style;
    // Entries from firstEntry_: disabled checked, disabled unchecked, then normal, mouse-over and
    // pressed, each checked then unchecked.
    const int unchecked = isChecked() ? 0 : 1;
    const int normal = firstEntry_ + (isEnabled() ? 2 : 0) + unchecked;
    setResHandle(0);
    setPicNormalResName(GetThemeString(pictureStyle_, normal));
    setPicMouseOnResName(GetThemeString(pictureStyle_, firstEntry_ + 4 + unchecked));
    setPicMouseDownResName(GetThemeString(pictureStyle_, firstEntry_ + 6 + unchecked));
}

int TsuiCheckBox::GetPictureWidth() const {
    return ThemeBitmap(pictureStyle_, tiCheckBoxNormalUncheck).width();
}

int TsuiCheckBox::GetPictureHeight() const {
    return ThemeBitmap(pictureStyle_, tiCheckBoxNormalUncheck).height();
}

static const bool checkBoxesStyled =
    RegisterStyleRule(srCheckBox, ApplyStyleUnlessCustom<TsuiCheckBox>);

} // namespace pestrel
