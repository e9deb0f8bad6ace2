// A hive read from any text is written back in a form that reads back to itself: parse, write,
// parse and write again gives the bytes of the first write. A text value set into the parsed
// hive reads back unchanged, before and after a rewrite.
#include "FuzzedSetting.h"
#include "platform/posix/RegistryHive.h"

#include <cstdlib>

using pestrel::RegistryHive;

namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto [key, name, set, text] = ConsumeSetting(input);

    const std::string first = RegistryHive::Parse(kRoot, text).serialize();
    if (RegistryHive::Parse(kRoot, first).serialize() != first)
        std::abort(); // a rewrite changed the hive again

    if (!RegistryHive::CanStore(key) || !RegistryHive::CanStore(name) ||
        !RegistryHive::CanStore(set.text))
        return 0;
    RegistryHive hive = RegistryHive::Parse(kRoot, text);
    hive.setValue(key, name, set);
    if (hive.value(key, name) != set)
        std::abort(); // a value that was set does not read back
    const std::string written = hive.serialize();
    const RegistryHive reread = RegistryHive::Parse(kRoot, written);
    if (reread.value(key, name) != set)
        std::abort(); // the value was lost in the rewrite
    if (reread.serialize() != written)
        std::abort();
    return 0;
}
