// Attacks that aim root's deletions through a user's word: a file another user names in their
// own start-up places, or names and fills so that a content match takes its name for an entry.

#include "engine/GuardList.h"
#include "engine/GuardSteps.h"
#include "engine/PassFolders.h"
#include "platform/ForwardingPlatform.h"
#include "tests/security/AttackScene.h"
#include "tests/support/ShortcutBytes.h"

#include <fstream>

namespace pestrel::attack {
namespace {

// The scene's machine with the attacker as its one user, whose home is the scene's Home/.
class AttackersPlaces final : public ForwardingPlatform {
public:
    AttackersPlaces(Platform& inner, std::string home)
        : ForwardingPlatform(inner), home_(std::move(home)) {}
    LinuxPlaces linuxPlaces() override { return {{{"attacker", kAttacker, home_}}, false}; }
    std::optional<std::string> readCrontab(const std::string&) override { return std::string(); }

private:
    std::string home_;
};

// A context over the attacker's places, with the choice of cleaning every autostart place.
struct OverAttackersPlaces {
    explicit OverAttackersPlaces(Scene& s) : platform(s.platform, s.at("Home")), context(platform) {
        context.AppPath = s.context.AppPath;
        context.WinDir = s.context.WinDir;
        context.SysDir = s.context.SysDir;
        context.cleanAutostart = true;
    }
    AttackersPlaces platform;
    Context context;
};

// The attacker's ~/.config/autostart, with one entry per program it names.
void AutostartEntries(Scene& s, const std::vector<std::string>& programs) {
    s.giveToAttacker(s.at("Home/.config/autostart"));
    for (const char* folder : {"Home", "Home/.config"})
        ::chown(s.at(folder).c_str(), kAttacker, kAttacker);
    std::string script = "true";
    for (std::size_t at = 0; at < programs.size(); ++at)
        script += " && printf \"[Desktop Entry]\\nExec=" + programs[at] + "\\n\" > " +
                  s.at("Home/.config/autostart/" + std::to_string(at) + ".desktop");
    s.asAttacker(script);
}

// Root's file of `name` in root's own folder, which only root may read.
void RootsFile(Scene& s, const std::string& name) {
    WriteFile(s.secret + name, "root's " + name);
    ::chmod((s.secret + name).c_str(), 0600);
}

// Pestrel's program file in the scene's program folder, with a data home only root can change.
void InstallProgram(Scene& s) {
    fs::copy_file(PESTREL_PROGRAM, s.app("pestrel"));
    for (const char* folder :
         {"", "/pestrel", "/pestrel/Windows", "/pestrel/Windows/System32", "/pestrel/Registry"}) {
        fs::create_directories(s.at("roothome") + folder);
        ::chmod((s.at("roothome") + folder).c_str(), 0700);
    }
}

// Runs `script` as root in a mount namespace of its own where the machine's autostart folders,
// systemd's folder and cron's are empty file systems of that namespace; its output.
std::string InOwnMountNamespace(Scene& s, const std::string& script) {
    const std::string file = s.at("namespace.sh"), out = s.at("namespace.out");
    std::ofstream(file) << "set -e\n"
                           "for folder in /etc/xdg/autostart /etc/systemd/system; do\n"
                           "  mount -t tmpfs -o mode=0755 none $folder\n"
                           "done\n"
                           "mount -t tmpfs -o mode=1730 none /var/spool/cron/crontabs\n"
                           "chgrp crontab /var/spool/cron/crontabs\n"
                        << script;
    const std::string command =
        "unshare --mount --propagation private sh " + file + " > " + out + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(out).value_or("");
    for (const std::string& own : {file, out})
        ::chmod(own.c_str(), 0600); // the row's, not the program's: private as the checker wants
    return ReadFile(out).value_or("");
}

const Attack kAttacks[] = {
    {"ContentMatchNamedLikeRootsFileThatAnAutostartEntryNames",
     [](Scene& s) {
         // The attacker's copy of a listed program, called like root's file, and two entries of
         // its own: one starts the copy, the other names root's file.
         RootsFile(s, "shadow");
         s.giveToAttacker(s.at("Home/bin"));
         s.asAttacker("printf \"zq listed program\" > " + s.at("Home/bin/shadow"));
         AutostartEntries(s, {s.at("Home/bin/shadow"), s.secret + "shadow"});
     },
     [](Scene& s) {
         OverAttackersPlaces over(s);
         const auto listed = s.platform.holdFolder(s.at("Home/bin"))->fileDigest("shadow");
         test::RecordingView view({"sha256:" + listed->sha256});
         EXPECT_TRUE(RunKillPass(over.context, view, view));
         EXPECT_FALSE(Exists(s.at("Home/bin/shadow"))) << "the attacker's own copy";
     }},
    {"RuleMatchesNamedLikeRootsCronJobAndUnitProgram",
     [](Scene& s) {
         // Root's cron job and system service run root's programs; the attacker's files in a
         // folder root scans hold a rule's marker and carry those programs' names.
         const std::string tag = std::to_string(::getpid());
         for (const std::string& name : {"zqcron-" + tag, "zqunit-" + tag}) {
             WriteFile(s.secret + name, "#!/bin/sh\n");
             ::chmod((s.secret + name).c_str(), 0755);
         }
         s.giveToAttacker(s.at("Home/Scan"));
         ::chown(s.at("Home").c_str(), kAttacker, kAttacker);
         // Made as the test runs: the test's own program, which the pass scans as it runs, never
         // holds the marker.
         const std::string marker = "zq" + tag + "-marker";
         s.asAttacker("for name in zqcron-" + tag + " zqunit-" + tag + "; do printf " + marker +
                      " > " + s.at("Home/Scan/") + "$name; done");
         fs::create_directories(s.at("rules"));
         ::chmod(s.at("rules").c_str(), 0700);
         WriteFile(s.at("rules/marker.yar"),
                   "rule zqmarker { strings: $a = \"" + marker + "\" condition: $a }\n");
         WriteFile(s.at("list.txt"), "zq-nothing-" + tag + ".exe\r\n");
         InstallProgram(s);
     },
     [](Scene& s) {
         const std::string tag = std::to_string(::getpid());
         const std::string unit = "/etc/systemd/system/zqsvc-" + tag + ".service";
         const std::string wants = "/etc/systemd/system/multi-user.target.wants/";
         const std::string output = InOwnMountNamespace(
             s, "printf '[Service]\\nExecStart=" + s.secret + "zqunit-" + tag + "\\n' > " + unit +
                    "\nmkdir " + wants + "\nln -s " + unit + " " + wants + "\necho '@reboot " +
                    s.secret + "zqcron-" + tag +
                    "' | crontab -u root -\n"
                    "XDG_DATA_HOME=" +
                    s.at("roothome") + " " + s.app("pestrel") +
                    " --kill --clean-autostart --no-repair --list " + s.at("list.txt") +
                    " --rules " + s.at("rules") + " --scan " + s.at("Home/Scan") +
                    " || true\n"
                    "test -f " +
                    unit +
                    " && echo kept-unit\n"
                    "test -L " +
                    wants + "zqsvc-" + tag +
                    ".service && echo kept-link\n"
                    "crontab -u root -l | grep -q zqcron-" +
                    tag + " && echo kept-cron\n");
         for (const char* kept : {"kept-unit", "kept-link", "kept-cron"})
             EXPECT_NE(output.find(kept), std::string::npos) << kept << "\n" << output;
         EXPECT_FALSE(Exists(s.at("Home/Scan/zqcron-" + tag))) << "the attacker's own file";
     }},
    {"GuardCleansAnAutostartEntryNamingRootsProgram",
     [](Scene& s) {
         // Wine's own programs are root's files with names a list may hold.
         WriteFile(s.secret + "svchost.exe", "root's svchost.exe");
         ::chmod((s.secret + "svchost.exe").c_str(), 0755);
         AutostartEntries(s, {s.secret + "svchost.exe"});
     },
     [](Scene& s) {
         // What the guard does at its start and after each change of an autostart place.
         OverAttackersPlaces over(s);
         PassFolders folders = HoldPassFolders(over.context);
         test::RecordingView view({});
         CleanAutostartPlaces(over.context, folders, view, GuardList({"svchost.exe"}));
         EXPECT_FALSE(Exists(s.at("Home/.config/autostart/0.desktop"))) << "the attacker's entry";
     }},
    {"ShortcutInAUsersStartupFolderNamingRootsProgram",
     [](Scene& s) {
         // The stand-in's Start-up folder of a user is that user's, as on Windows.
         WriteFile(s.secret + "evil.exe", "root's own evil.exe");
         const std::string startup = s.at("data/pestrel/Users/mallory/AppData/Roaming/Microsoft/"
                                          "Windows/Start Menu/Programs/Startup/");
         s.giveToAttacker(startup);
         WriteFile(startup + "evil.lnk", test::ShortcutBytes(s.secret + "evil.exe"));
         ::chown((startup + "evil.lnk").c_str(), kAttacker, kAttacker);
     },
     [](Scene& s) {
         s.context.cleanAutostart = true;
         EXPECT_TRUE(s.killPass({"evil.exe"}));
     }},
    {"TaskOfAUserInTheMachinesTasksFolderNamingRootsProgram",
     [](Scene& s) {
         // Windows keeps every user's tasks in one folder of the administrator's.
         WriteFile(s.secret + "evil.exe", "root's own evil.exe");
         const std::string task = s.platform.tasksFolder() + "/Refresh";
         WriteFile(task, "<Task><Actions><Exec><Command>" + s.secret +
                             "evil.exe</Command></Exec></Actions></Task>");
         ASSERT_EQ(::chown(task.c_str(), kAttacker, kAttacker), 0);
     },
     [](Scene& s) {
         s.context.cleanAutostart = true;
         EXPECT_TRUE(s.killPass({"evil.exe"}));
     }},
};

class UserWordAttack : public RootAttack {};

TEST_P(UserWordAttack, ReachesNoFurtherThanTheUserCould) {
    Replay(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Replayed, UserWordAttack, ::testing::ValuesIn(kAttacks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pestrel::attack
