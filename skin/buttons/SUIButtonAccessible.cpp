#include "skin/buttons/SUIButtonAccessible.h"

#include "skin/buttons/SUIRadioButton.h"

#include <QAccessibleWidget>

namespace pestrel {
namespace {

class ButtonAccessible final : public QAccessibleWidget {
public:
    explicit ButtonAccessible(TsuiCustomButton* button)
        : QAccessibleWidget(button, RoleOf(button)) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{button()->isCheckable() ? toggleAction() : pressAction()} +
               QAccessibleWidget::actionNames();
    }
    // At once, as a click does; not Qt's animated click, which lands a moment later.
    void doAction(const QString& action) override {
        if (!button()->isEnabled())
            return;
        if (action == pressAction() || action == toggleAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    static QAccessible::Role RoleOf(TsuiCustomButton* button) {
        if (qobject_cast<TsuiRadioButton*>(button))
            return QAccessible::RadioButton;
        return button->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    }
    TsuiCustomButton* button() const { return static_cast<TsuiCustomButton*>(widget()); }
};

} // namespace

QAccessibleInterface* SkinButtonAccessible(TsuiCustomButton* button) {
    return new ButtonAccessible(button);
}

} // namespace pestrel
