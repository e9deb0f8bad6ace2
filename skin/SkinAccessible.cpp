#include "skin/SkinAccessible.h"

#include "skin/bars/SUIBarAccessible.h"
#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUITrackBar.h"
#include "skin/buttons/SUIButtonAccessible.h"
#include "skin/buttons/SUICustomButton.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/containers/SUITabAccessible.h"
#include "skin/containers/SUITabControl.h"
#include "skin/window/SUITitleBar.h"
#include "skin/window/SUITitleBarAccessible.h"

#include <QAccessibleWidget>

namespace pestrel {
namespace {

// A page of a page control, as a tab widget's page: a pane named by its tab.
class SheetAccessible final : public QAccessibleWidget {
public:
    explicit SheetAccessible(TsuiTabSheet* sheet) : QAccessibleWidget(sheet, QAccessible::Pane) {}
    QString text(QAccessible::Text kind) const override {
        const QString own = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && own.isEmpty()
                   ? static_cast<TsuiTabSheet*>(widget())->Caption()
                   : own;
    }
};

QAccessibleInterface* SkinAccessible(const QString&, QObject* object) {
    if (auto* button = qobject_cast<TsuiCustomButton*>(object))
        return SkinButtonAccessible(button);
    if (auto* strip = qobject_cast<TsuiTabControlTopPanel*>(object))
        return TabStripAccessible(strip);
    if (auto* bar = qobject_cast<TsuiTitleBar*>(object))
        return TitleBarAccessible(bar);
    if (qobject_cast<TsuiProgressBar*>(object) || qobject_cast<TsuiTrackBar*>(object))
        return BarAccessible(static_cast<QWidget*>(object));
    if (auto* sheet = qobject_cast<TsuiTabSheet*>(object))
        return new SheetAccessible(sheet);
    return nullptr;
}

} // namespace

void InstallSkinAccessibility() {
    static const bool installed = (QAccessible::installFactory(SkinAccessible), true);
    Q_UNUSED(installed);
}

} // namespace pestrel
