// A hive read from any text is written back in a form that reads back to itself: parse, write,
// parse and write again gives the bytes of the first write. A text value set into the parsed
// hive reads back unchanged, before and after a rewrite.
#include "platform/posix/RegistryHive.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using pestrel::RegistryHive;
using pestrel::RegValue;

namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";

bool ReadsBack(const RegistryHive& hive, const std::string& key, const std::string& name,
               const RegValue& set) {
    const std::optional<RegValue> value = hive.value(key, name);
    return value && value->kind == set.kind && value->text == set.text &&
           value->number == set.number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string key = input.ConsumeRandomLengthString(32);
    const std::string name = input.ConsumeRandomLengthString(16);
    RegValue set;
    if (input.ConsumeBool()) {
        set.kind = RegValue::Kind::Integer;
        set.number = input.ConsumeIntegral<std::uint32_t>();
    } else {
        set.text = input.ConsumeRandomLengthString(32);
    }
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string first = RegistryHive::Parse(kRoot, text).serialize();
    if (RegistryHive::Parse(kRoot, first).serialize() != first)
        std::abort(); // a rewrite changed the hive again

    if (!RegistryHive::CanStore(key) || !RegistryHive::CanStore(name) ||
        !RegistryHive::CanStore(set.text))
        return 0;
    RegistryHive hive = RegistryHive::Parse(kRoot, text);
    hive.setValue(key, name, set);
    if (!ReadsBack(hive, key, name, set))
        std::abort(); // a value that was set does not read back
    const std::string written = hive.serialize();
    const RegistryHive reread = RegistryHive::Parse(kRoot, written);
    if (!ReadsBack(reread, key, name, set))
        std::abort(); // the value was lost in the rewrite
    if (reread.serialize() != written)
        std::abort();
    return 0;
}
