#include "skin/SkinAccessible.h"

#include "skin/bars/SUIBarAccessible.h"
#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUITrackBar.h"
#include "skin/buttons/SUIButtonAccessible.h"
#include "skin/buttons/SUICustomButton.h"
#include "skin/containers/SUITabAccessible.h"
#include "skin/containers/SUITabControl.h"
#include "skin/window/SUITitleBar.h"
#include "skin/window/SUITitleBarAccessible.h"

#include <QAccessible>

namespace pestrel {
namespace {

QAccessibleInterface* SkinAccessible(const QString&, QObject* object) {
    if (auto* button = qobject_cast<TsuiCustomButton*>(object))
        return SkinButtonAccessible(button);
    if (auto* strip = qobject_cast<TsuiTabControlTopPanel*>(object))
        return TabStripAccessible(strip);
    if (auto* bar = qobject_cast<TsuiTitleBar*>(object))
        return TitleBarAccessible(bar);
    if (qobject_cast<TsuiProgressBar*>(object) || qobject_cast<TsuiTrackBar*>(object))
        return BarAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void InstallSkinAccessibility() {
    static const bool installed = (QAccessible::installFactory(SkinAccessible), true);
    Q_UNUSED(installed);
}

} // namespace pestrel
