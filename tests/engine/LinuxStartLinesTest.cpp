#include "engine/LinuxStartLines.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

using Status = StartLine::Status;
constexpr Status kNone = Status::None, kFound = Status::Found, kBad = Status::Malformed;

struct Case {
    const char* text;
    Status status;
    const char* program;
};

void Check(StartLine (*read)(std::string_view), std::initializer_list<Case> cases) {
    for (const Case& row : cases) {
        const StartLine start = read(row.text);
        EXPECT_EQ(start.status, row.status) << row.text;
        EXPECT_EQ(start.program, row.program) << row.text;
    }
}

TEST(LinuxStartLines, DesktopEntryExec) {
    Check(DesktopEntryStart,
          {
              {"[Desktop Entry]\nType=Application\nExec=/opt/x/evil --tray %U\n", kFound,
               "/opt/x/evil"},
              {"# c\n[Desktop Entry]\r\nExec = \"/a b/evil\" %f\r\n", kFound, "/a b/evil"},
              {"[Desktop Entry]\nExec=\"/a\\\\\"q/evil\"\n", kFound, "/a\"q/evil"},
              {"[Desktop Entry]\nExec=/a\\sb/ev%%il -x\n", kFound, "/a"},
              {"[Desktop Entry]\nExec=evil\n[Desktop Action x]\nExec=other\n", kFound, "evil"},
              {"[Other]\nExec=evil\n[Desktop Entry]\nName=x\n", kNone, ""},
              {"[Desktop Entry]\nExec[de]=evil\n", kNone, ""},
              {"[Desktop Entry]\nExec=\"/x/evil\n", kBad, ""},
              {"Exec=evil\n", kBad, ""},
              {"[Desktop Entry]\nnot a key\n", kBad, ""},
          });
    const std::string withNul("[Desktop Entry]\nExec=e\0vil\n", 26);
    EXPECT_EQ(DesktopEntryStart(withNul).status, kBad);
}

TEST(LinuxStartLines, ServiceExecStart) {
    Check(
        UnitStart,
        {
            {"[Unit]\nDescription=x\n[Service]\nExecStart=/usr/bin/evil -d\n", kFound,
             "/usr/bin/evil"},
            {"[Service]\nExecStart=-@/opt/evil evil-name\n", kFound, "/opt/evil"},
            {"[Service]\nExecStart=\"/opt/my dir/evil\" x\n", kFound, "/opt/my dir/evil"},
            {"[Service]\nExecStart=/old\nExecStart=\nExecStart='/new/evil'\n", kFound, "/new/evil"},
            {"[Service]\nExecStart=\\\n  /wrapped/evil\n", kFound, "/wrapped/evil"},
            {"; c\n[Service]\nType=oneshot\nExecStart=/a\nExecStart=/b\n", kFound, "/a"},
            {"[Unit]\nExecStart=/not/a/service\n", kNone, ""},
            {"[Service]\nExecStart=\"/x/evil\n", kBad, ""},
            {"ExecStart=/x\n", kBad, ""},
        });
}

TEST(LinuxStartLines, CrontabLine) {
    Check(CrontabLineStart, {
                                {"@reboot /home/u/.x/evil --quiet", kFound, "/home/u/.x/evil"},
                                {"*/5 * * * * evil >/dev/null 2>&1", kFound, "evil"},
                                {"0 3 * jan,feb mon-fri  FOO=1 '/a b/evil' x", kFound, "/a b/evil"},
                                {"15 1 * * * \"/q\\\"d/evil\"", kFound, "/q\"d/evil"},
                                {"1 2 3 4 5 /bin/ev\\%il%stdin text", kFound, "/bin/ev%il"},
                                {"  # @reboot evil", kNone, ""},
                                {"MAILTO=\"\"", kNone, ""},
                                {"PATH = /usr/bin", kNone, ""},
                                {"", kNone, ""},
                                {"@sometimes evil", kBad, ""},
                                {"1 2 3 evil", kBad, ""},
                                {"1 2 3 4 5", kBad, ""},
                                {"1 2 3 4 5 %only stdin", kBad, ""},
                                {"* * * * * 'unclosed", kBad, ""},
                                {"garbage line", kBad, ""},
                            });
}

TEST(LinuxStartLines, CrontabWithoutKeepsEveryOtherLineAsItIs) {
    const std::string crontab = "MAILTO=me\n# evil\n@reboot /x/evil\n* * * * * /bin/ok\n"
                                "broken\n1 2 3 4 5 EVIL -q\n* * * * * /bin/ok2";
    EXPECT_EQ(CrontabWithout(crontab,
                             [](const std::string& program) {
                                 return program.ends_with("evil") || program == "EVIL";
                             }),
              "MAILTO=me\n# evil\n* * * * * /bin/ok\nbroken\n* * * * * /bin/ok2");
}

} // namespace
} // namespace pestrel
