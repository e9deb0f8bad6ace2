#include "skin/framed/SUIMemo.h"

#include "skin/SUIThemes.h"

namespace pestrel {

TsuiMemo::TsuiMemo(QWidget* owner) : TsuiFramedView(owner) {}

static const bool styled = RegisterStyleRule(srMemo, ApplyControlBorderColor<TsuiMemo>);

} // namespace pestrel
