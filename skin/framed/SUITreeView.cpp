#include "skin/framed/SUITreeView.h"

#include "skin/SUIThemes.h"

namespace pestrel {

TsuiTreeView::TsuiTreeView(QWidget* owner) : TsuiFramedView(owner) {}

static const bool styled = RegisterStyleRule(srTreeView, ApplyControlBorderColor<TsuiTreeView>);

} // namespace pestrel
