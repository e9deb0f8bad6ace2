#pragma once
// The skinned radio button: a check box with the style's radio pictures, drawn keyed on their
// top-left pixel. A click only checks it; checking it unchecks the radio buttons of the same
// parent and GroupIndex.

#include "skin/buttons/SUICheckBox.h"

namespace pestrel {

class TsuiRadioButton : public TsuiCheckBox {
    Q_OBJECT
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)

public:
    explicit TsuiRadioButton(QWidget* parent = nullptr);

    int GroupIndex() const { return groupIndex_; }
    // A plain field: changing it neither repaints nor touches the group.
    void setGroupIndex(int index) { groupIndex_ = index; }

protected:
    void nextCheckState() override;
    void CheckedChanged() override;

private:
    void clearGroup();

    int groupIndex_ = 0;
};

} // namespace pestrel
