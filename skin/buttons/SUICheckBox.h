#pragma once
// The skinned check box: the style's check box pictures, picked by the checked and enabled state,
// at the left of the caption. A click flips the checked state.

#include "skin/buttons/SUICustomButtonEx.h"

namespace pestrel {

class TsuiCheckBox : public TsuiCustomButtonEx {
    Q_OBJECT

public:
    explicit TsuiCheckBox(QWidget* parent = nullptr);
    // Starts in `style` instead of looking up the window's skinned form: for a container that
    // makes many boxes and has looked it up once.
    TsuiCheckBox(QWidget* parent, TsuiUIStyle style);

protected:
    // `firstEntry` is the theme entry of the disabled checked picture; the other seven follow it.
    TsuiCheckBox(QWidget* parent, TsuiUIStyle style, TThemeIndex firstEntry, bool maskPicture,
                 const QString& caption);

    void nextCheckState() override;
    void CheckedChanged() override;
    void TransparentChanged() override;
    void EnabledChanged() override;
    void UIStyleChanged() override;
    void ApplyUIStyle(TsuiUIStyle& style) override;
    // Both measure the style's unchecked check box picture, for radio buttons too.
    int GetPictureWidth() const override;
    int GetPictureHeight() const override;

private:
    TThemeIndex firstEntry_;
    bool maskPicture_;
    // The style whose pictures the control shows: its own, or under Custom the built-in style it
    // showed last (DeepBlue if it never had one), so that a Custom control keeps its look and
    // still shows its state.
    TsuiUIStyle pictureStyle_ = TsuiUIStyle::DeepBlue;
};

} // namespace pestrel
