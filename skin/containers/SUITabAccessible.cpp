#include "skin/containers/SUITabAccessible.h"

#include "skin/PaintedPartsAccessible.h"
#include "skin/SUIPublic.h"
#include "skin/containers/SUITabControl.h"

namespace pestrel {

QAccessibleInterface* TabStripAccessible(TsuiTabControlTopPanel* strip) {
    return PaintedPartsAccessible(strip,
                                  {QAccessible::PageTabList, QAccessible::PageTab,
                                   [strip] { return int(strip->Tabs().size()); },
                                   [strip](int i) { return SpokenCaption(strip->Tabs().at(i)); },
                                   [strip](int i) {
                                       // The tabs as last painted, side by side from the left
                                       // margin.
                                       if (strip->TabWidth(i) <= 0 || !strip->TabVisible(i))
                                           return QRect();
                                       int left = strip->LeftMargin();
                                       for (int before = 0; before < i; ++before)
                                           left += qMax(strip->TabWidth(before), 0);
                                       return QRect(left, 0, strip->TabWidth(i), strip->height());
                                   },
                                   [strip](int i) { return strip->TabIndex() == i; },
                                   [strip](int i) { strip->setTabIndex(i); }});
}

} // namespace pestrel
