#include "engine/Public.h"

#include <charconv>

namespace pestrel {
namespace {

// A decimal 32-bit signed integer with an optional sign, nothing else.
std::optional<std::uint32_t> ParseDecimal(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;
    std::int32_t number = 0;
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || stop != end || begin == end)
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

RegValue Integer(std::uint32_t number) {
    RegValue value;
    value.kind = RegInteger;
    value.number = number;
    return value;
}

RegValue Text(std::string text) {
    RegValue value;
    value.text = std::move(text);
    return value;
}

constexpr const char* kPoliciesSystemKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kBrowserPolicyKey =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
constexpr const char* kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kInternetZoneKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";

} // namespace

bool WriteRegValue(Platform& platform, RegRoot root, const std::string& key, int kind,
                   const std::string& name, const std::string& value) {
    if (kind == RegText)
        return platform.setValue(root, key, name, Text(value));
    if (kind != RegInteger)
        return false;
    const std::optional<std::uint32_t> number = ParseDecimal(value);
    return number && platform.setValue(root, key, name, Integer(*number));
}

bool DeleteRegValue(Platform& platform, RegRoot root, const std::string& key,
                    const std::string& name) {
    return platform.createKey(root, key) && platform.deleteValue(root, key, name);
}

bool EnableRegistryTools(Platform& platform) {
    return platform.setValue(RegRoot::LocalMachine, kPoliciesSystemKey, "DisableRegistryTools",
                             Integer(0)) &&
           platform.setValue(RegRoot::CurrentUser, kPoliciesSystemKey, "DisableRegistryTools",
                             Integer(0));
}

bool ResetTxtFileOpenCommand(Platform& platform) {
    return platform.setValue(RegRoot::ClassesRoot, "\\txtfile\\shell\\open\\command", "",
                             Text("Notepad.exe \"%1\" "));
}

bool ResetExeFileOpenCommand(Platform& platform) {
    return platform.setValue(RegRoot::ClassesRoot, "\\exefile\\shell\\open\\command", "",
                             Text("\"%1\" %*"));
}

bool ResetBrowserSettings(Platform& platform) {
    // Each row stands alone: a refused write does not stop the rows after it.
    WriteRegValue(platform, RegRoot::CurrentUser, kBrowserPolicyKey, RegInteger, "HomePage", "0");
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        WriteRegValue(platform, root, kBrowserMainKey, RegText, "Windows Title",
                      "Microsoft Internet Explorer");
        for (const char* name :
             {"Start Page", "Default_Page_URL", "Default_Search_URL", "Search Page"})
            WriteRegValue(platform, root, kBrowserMainKey, RegText, name, "about:blank");
    }
    WriteRegValue(platform, RegRoot::LocalMachine, kInternetZoneKey, RegInteger, "1803", "0");
    WriteRegValue(platform, RegRoot::CurrentUser, kInternetZoneKey, RegInteger, "1803", "0");
    return true;
}

bool RepairSystemSettings(Platform& platform) {
    EnableRegistryTools(platform);
    ResetTxtFileOpenCommand(platform);
    ResetExeFileOpenCommand(platform);
    ResetBrowserSettings(platform);
    return true;
}

} // namespace pestrel
