#include "skin/buttons/SUIRadioButton.h"

#include <QPointer>
#include <vector>

namespace pestrel {

TsuiRadioButton::TsuiRadioButton(QWidget* parent)
    : TsuiCheckBox(parent, FindFormUIStyle(parent ? parent->window() : nullptr),
                   tiRadioButtonDisableCheck, true, QStringLiteral("suiRadioButton")) {}

void TsuiRadioButton::nextCheckState() {
    if (!isChecked())
        setChecked(true);
}

void TsuiRadioButton::CheckedChanged() {
    if (isChecked())
        clearGroup();
    TsuiCheckBox::CheckedChanged();
}

void TsuiRadioButton::clearGroup() {
    QObject* parent = this->parent();
    if (!parent)
        return;
    // Unchecking runs the other buttons' handlers, which may change the parent's children.
    const QObjectList snapshot = parent->children();
    const std::vector<QPointer<QObject>> children(snapshot.begin(), snapshot.end());
    for (const QPointer<QObject>& child : children) {
        auto* other = qobject_cast<TsuiRadioButton*>(child.data());
        if (other && other != this && other->groupIndex_ == groupIndex_)
            other->setChecked(false);
    }
}

// Rule 1 of the walk; rule 2, the check box's, reaches radio buttons as well.
static const bool radioButtonsStyled =
    RegisterStyleRule(srRadioButton, ApplyStyleUnlessCustom<TsuiRadioButton>);

} // namespace pestrel
