#pragma once
// The one line a command prints per action: the verb and its fields separated by TAB, with
// "failed" in front when the action failed. A control byte inside a field is shown as '?', so
// every action stays on one line and every field in its column.

#include "engine/PassAction.h"

#include <string>

namespace pestrel {

std::string ActionLine(const PassAction& action);
// `field` with every byte below 0x20 and 0x7F shown as '?': no line break, escape sequence or
// end-of-text mark of a file name reaches the terminal.
std::string Printable(const std::string& field);
// Writes the bytes and a line end to standard output: at once to a terminal, through the output
// buffer (written as it fills and at exit) to a pipe or a file.
void PrintLine(const std::string& line);

} // namespace pestrel
