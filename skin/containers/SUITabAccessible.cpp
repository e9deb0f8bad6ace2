#include "skin/containers/SUITabAccessible.h"

#include "skin/SUIPublic.h"
#include "skin/containers/SUITabControl.h"

#include <QAccessibleWidget>

namespace pestrel {
namespace {

// The left edge of tab `index` as last painted.
int TabLeft(const TsuiTabControlTopPanel* strip, int index) {
    int left = strip->LeftMargin();
    for (int i = 0; i < index; ++i)
        left += qMax(strip->TabWidth(i), 0);
    return left;
}

class TabAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(TsuiTabControlTopPanel* strip, int index) : strip_(strip), index_(index) {}

    bool isValid() const override { return strip_ && index_ < strip_->Tabs().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(strip_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? SpokenCaption(strip_->Tabs().at(index_))
                                                      : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid() || strip_->TabWidth(index_) <= 0)
            return {};
        const QRect local(TabLeft(strip_, index_), 0, strip_->TabWidth(index_), strip_->height());
        return {strip_->mapToGlobal(local.topLeft()), local.size()};
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && strip_->TabIndex() == index_;
        state.invisible = !isValid() || !strip_->isVisible() || !strip_->TabVisible(index_);
        state.disabled = !isValid() || !strip_->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid() && strip_->isEnabled())
            strip_->setTabIndex(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TsuiTabControlTopPanel> strip_;
    int index_;
};

class TabStripAccessibleWidget final : public QAccessibleWidget {
public:
    explicit TabStripAccessibleWidget(TsuiTabControlTopPanel* strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList) {}

    int childCount() const override { return strip()->Tabs().size(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        // The registry owns the interfaces and keeps one per tab while the strip lives.
        auto& tabs = tabs_;
        if (tabs.size() <= index)
            tabs.resize(index + 1, 0);
        if (!tabs[index] || !QAccessible::accessibleInterface(tabs[index])) {
            auto* tab = new TabAccessible(strip(), index);
            tabs[index] = QAccessible::registerAccessibleInterface(tab);
        }
        return QAccessible::accessibleInterface(tabs[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < tabs_.size(); ++i) {
            if (tabs_[i] && QAccessible::accessibleInterface(tabs_[i]) == child)
                return i;
        }
        return -1;
    }
    ~TabStripAccessibleWidget() override {
        for (QAccessible::Id id : tabs_) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

private:
    TsuiTabControlTopPanel* strip() const { return static_cast<TsuiTabControlTopPanel*>(widget()); }
    mutable QList<QAccessible::Id> tabs_;
};

} // namespace

QAccessibleInterface* TabStripAccessible(TsuiTabControlTopPanel* strip) {
    return new TabStripAccessibleWidget(strip);
}

} // namespace pestrel
