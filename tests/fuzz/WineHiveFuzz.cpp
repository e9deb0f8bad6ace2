// A Wine registry file that parses is written back byte for byte; a value set into it reads back,
// and the file written with it parses again to the same bytes.
#include "FuzzedSetting.h"
#include "platform/wine/WineHive.h"

#include <cstdlib>

using pestrel::wine::WineHive;
using pestrel::wine::WineTime;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto [key, name, set, text] = ConsumeSetting(input);

    auto parsed = WineHive::Parse(text);
    WineHive* hive = std::get_if<WineHive>(&parsed);
    if (!hive)
        return 0;
    if (hive->serialize() != text)
        std::abort(); // an untouched file changed
    if (!hive->setValue(key, name, set, WineTime::FromUnixSeconds(1)) &&
        !hive->value(key, name).has_value())
        return 0; // refused (a name the file cannot carry)
    const std::string written = hive->serialize();
    auto reparsed = WineHive::Parse(written);
    WineHive* again = std::get_if<WineHive>(&reparsed);
    if (!again || again->serialize() != written)
        std::abort(); // the file written with the change does not read back
    if (again->value(key, name) != set)
        std::abort(); // the value was lost
    return 0;
}
