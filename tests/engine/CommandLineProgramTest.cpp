#include "engine/CommandLineProgram.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

std::optional<std::string> Variables(const std::string& name) {
    if (name == "SystemRoot")
        return "C:\\Windows";
    if (name == "ProgramFiles")
        return "C:\\Program Files";
    return std::nullopt;
}

TEST(CommandLineProgram, FindsTheProgramAWindowsCommandLineRuns) {
    const struct {
        const char* line;
        const char* program;
    } cases[] = {
        {"C:\\Users\\me\\AppData\\Roaming\\evil.exe", "C:\\Users\\me\\AppData\\Roaming\\evil.exe"},
        {"\"C:\\Program Files\\Evil\\evil.exe\" /silent -x", "C:\\Program Files\\Evil\\evil.exe"},
        {"  evil.exe --start", "evil.exe"},
        {"C:\\Program Files\\Evil\\evil.exe /silent", "C:\\Program Files\\Evil\\evil.exe"},
        {"C:\\Tools\\tool -x", "C:\\Tools\\tool"},
        {"%SystemRoot%\\system32\\evil.exe -k", "C:\\Windows\\system32\\evil.exe"},
        {"%ProgramFiles%\\Evil\\evil.exe", "C:\\Program Files\\Evil\\evil.exe"},
        {"%Unknown%\\evil.exe", "%Unknown%\\evil.exe"},
        {"100%%SystemRoot%\\a.exe", "100%C:\\Windows\\a.exe"},
        {"\"C:\\unclosed\\evil.exe", "C:\\unclosed\\evil.exe"},
        {"rundll32.exe C:\\x\\evil.dll,Entry 1", "C:\\x\\evil.dll"},
        {"RUNDLL32 \"C:\\a b\\evil.dll\",Entry", "C:\\a b\\evil.dll"},
        {"%SystemRoot%\\system32\\rundll32.exe C:\\Program Files\\e\\evil.dll,Run",
         "C:\\Program Files\\e\\evil.dll"},
        {"rundll32.exe", "rundll32.exe"},
        {"/usr/bin/evil --daemon", "/usr/bin/evil"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& [line, program] : cases)
        EXPECT_EQ(CommandLineProgram(line, Variables), program) << line;
}

} // namespace
} // namespace pestrel
