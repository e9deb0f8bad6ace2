#include "skin/PaintedPartsAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace pestrel {
namespace {

class PartAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PartAccessible(QWidget* control, std::shared_ptr<const PaintedParts> parts, int index)
        : control_(control), parts_(std::move(parts)), index_(index) {}

    bool isValid() const override { return control_ && index_ < parts_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(control_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? parts_->name(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect local = isValid() ? parts_->rect(index_) : QRect();
        return local.isEmpty() ? QRect()
                               : QRect(control_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return parts_->partRole; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = bool(parts_->selected);
        state.selected = isValid() && parts_->selected && parts_->selected(index_);
        state.invisible = !isValid() || !control_->isVisible() || parts_->rect(index_).isEmpty();
        state.disabled = !isValid() || !control_->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid() && control_->isEnabled())
            parts_->press(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> control_;
    std::shared_ptr<const PaintedParts> parts_;
    int index_;
};

class PartsContainer final : public QAccessibleWidget {
public:
    PartsContainer(QWidget* control, PaintedParts parts)
        : QAccessibleWidget(control, parts.containerRole),
          parts_(std::make_shared<const PaintedParts>(std::move(parts))) {}
    ~PartsContainer() override {
        for (QAccessible::Id id : ids_) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return parts_->count(); }
    // The registry keeps one interface per part while the control lives.
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (ids_.size() <= index)
            ids_.resize(index + 1, 0);
        if (!ids_[index] || !QAccessible::accessibleInterface(ids_[index]))
            ids_[index] = QAccessible::registerAccessibleInterface(
                new PartAccessible(widget(), parts_, index));
        return QAccessible::accessibleInterface(ids_[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < ids_.size(); ++i) {
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == child)
                return i;
        }
        return -1;
    }

private:
    std::shared_ptr<const PaintedParts> parts_;
    mutable QList<QAccessible::Id> ids_;
};

} // namespace

QAccessibleInterface* PaintedPartsAccessible(QWidget* control, PaintedParts parts) {
    return new PartsContainer(control, std::move(parts));
}

} // namespace pestrel
