#pragma once
// One change of a pass or a restore as a line of the window: what was done, in the window's
// language, and its fields, two blanks apart, "失败" in front when it failed; a control character
// inside a field shows as '?', so that a name can neither break the line nor hide what follows.

#include "engine/PassAction.h"

#include <QString>

namespace pestrel {

QString ActionText(const PassAction& action);
// A field on its own, shown the same way.
QString FieldText(const std::string& field);

} // namespace pestrel
