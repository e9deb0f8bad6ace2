// Any bytes as a shortcut file. A target, when one is read, is text without a NUL, as long as
// the fields of a shortcut of that size can hold.
#include "platform/posix/ShortcutFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> target = pestrel::ShortcutFileTarget(bytes);
    if (target &&
        (target->empty() || target->find('\0') != std::string::npos || target->size() > 4 * size))
        std::abort();
    return 0;
}
