// Any bytes as a scheduled task's definition. No command read holds a NUL or keeps the blanks
// around it.
#include "engine/TaskXml.h"

#include <cctype>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::vector<std::string>> commands = pestrel::TaskCommands(bytes);
    if (!commands)
        return 0;
    for (const std::string& command : *commands) {
        if (command.find('\0') != std::string::npos ||
            (!command.empty() && (std::isspace(static_cast<unsigned char>(command.front())) ||
                                  std::isspace(static_cast<unsigned char>(command.back())))))
            std::abort();
    }
    return 0;
}
