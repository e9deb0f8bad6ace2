#include "skin/bars/SUIBarAccessible.h"

#include "skin/bars/SUITrackBar.h"

#include <QAccessibleWidget>

namespace pestrel {
namespace {

class BarAccessibleWidget final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit BarAccessibleWidget(QWidget* bar)
        : QAccessibleWidget(bar, qobject_cast<TsuiTrackBar*>(bar) ? QAccessible::Slider
                                                                  : QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return widget()->property("Position"); }
    // Only a track bar is moved; a progress bar shows what its program sets.
    void setCurrentValue(const QVariant& value) override {
        if (role() == QAccessible::Slider && widget()->isEnabled())
            widget()->setProperty("Position", value.toInt());
    }
    QVariant maximumValue() const override { return widget()->property("Max"); }
    QVariant minimumValue() const override { return widget()->property("Min"); }
    QVariant minimumStepSize() const override { return 1; }
};

} // namespace

QAccessibleInterface* BarAccessible(QWidget* bar) {
    return new BarAccessibleWidget(bar);
}

void AnnounceBarValue(QWidget* bar, int value) {
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(bar, value);
    QAccessible::updateAccessibility(&event);
}

} // namespace pestrel
