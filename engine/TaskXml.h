#pragma once
// Reads the programs out of a scheduled task's definition: the XML file Windows keeps for each
// task under System32\Tasks.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pestrel {

// The text of each Task/Actions/Exec/Command element, in file order, UTF-8, with entities
// decoded and the blanks around it trimmed. `bytes` is the file as written: UTF-16 (either byte
// order, with its byte-order mark, or little-endian without one) or UTF-8. Nothing when the
// bytes are not a well-formed document whose root is Task, when they declare a document type,
// or when they exceed the size and depth a task definition has.
std::optional<std::vector<std::string>> TaskCommands(std::string_view bytes);

} // namespace pestrel
