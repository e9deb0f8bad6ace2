#pragma once
// One change of a pass or a restore as a line of the window: the verb and its fields, two blanks
// apart, "failed" in front when it failed; a control character inside a field shows as '?', so
// that a name can neither break the line nor hide what follows.

#include "engine/PassAction.h"

#include <QString>

namespace pestrel {

QString ActionText(const PassAction& action);
// A field on its own, shown the same way.
QString FieldText(const std::string& field);

} // namespace pestrel
