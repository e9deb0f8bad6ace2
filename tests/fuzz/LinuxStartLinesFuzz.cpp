// Any bytes as a desktop entry, a unit file and a crontab. A program found is never empty for a
// unit; a crontab edit that drops nothing keeps every byte, and one that drops every program
// leaves no line that starts one.
#include "engine/LinuxStartLines.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    pestrel::DesktopEntryStart(bytes);
    const pestrel::StartLine unit = pestrel::UnitStart(bytes);
    if (unit.status == pestrel::StartLine::Status::Found && unit.program.empty())
        std::abort();
    if (pestrel::CrontabWithout(bytes, [](const std::string&) { return false; }) != bytes)
        std::abort(); // a line that stays changed
    const std::string none =
        pestrel::CrontabWithout(bytes, [](const std::string&) { return true; });
    if (pestrel::CrontabWithout(none, [](const std::string&) { return true; }) != none)
        std::abort(); // a line that starts a program stayed
    return 0;
}
