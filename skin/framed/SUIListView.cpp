#include "skin/framed/SUIListView.h"

#include "skin/SUIThemes.h"

namespace pestrel {

TsuiListView::TsuiListView(QWidget* owner) : TsuiFramedView(owner) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
}

static const bool styled = RegisterStyleRule(srListView, ApplyControlBorderColor<TsuiListView>);

} // namespace pestrel
