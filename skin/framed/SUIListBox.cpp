#include "skin/framed/SUIListBox.h"

#include "skin/SUIThemes.h"

namespace pestrel {

TsuiListBox::TsuiListBox(QWidget* owner) : TsuiFramedView(owner) {}

static const bool styled = RegisterStyleRule(srListBox, ApplyControlBorderColor<TsuiListBox>);

} // namespace pestrel
