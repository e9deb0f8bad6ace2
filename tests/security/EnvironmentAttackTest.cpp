// Attacks through what the person running Pestrel as root brings along: the environment of
// their session (sudo -E), a list they name, the names of deleted files shown on their terminal,
// and processes of other users that pose as Wine programs.

#include "platform/wine/WinePlatform.h"
#include "tests/cli/CliRun.h"
#include "tests/security/AttackScene.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

namespace pestrel::attack {
namespace {

using test::CliResult;

const std::string kAttackerIds[] = {"SUDO_UID=65534", "SUDO_GID=65534"};

std::string Unique(const std::string& stem) {
    return "env-" + std::to_string(::getpid()) + "-" + stem;
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

// Runs that program as root in an environment holding `variables` besides the test's own.
test::ChildRun StartAsRoot(Scene& s, const std::vector<std::string>& arguments,
                           std::vector<std::string> variables) {
    variables.push_back("XDG_DATA_HOME=" + s.at("roothome"));
    return test::StartProgram(s.app("pestrel"), arguments, variables, s.machine.root());
}
CliResult RunAsRoot(Scene& s, const std::vector<std::string>& arguments,
                    const std::vector<std::string>& variables = {}) {
    return test::FinishProgram(StartAsRoot(s, arguments, variables));
}

bool PrintsControlBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 32 && c != '\n' && c != '\t') || byte == 127;
    });
}

bool Maps(pid_t pid, const std::string& library) {
    const std::optional<std::string> maps = ReadFile("/proc/" + std::to_string(pid) + "/maps");
    return maps && maps->find(library) != std::string::npos;
}

// The window, run as root in the attacker's environment, until Qt has chosen its platform
// plugin (or the run has ended); then it is ended.
void OpenWindowAsRoot(Scene& s, const std::vector<std::string>& variables) {
    const test::ChildRun run = StartAsRoot(s, {}, variables);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool chosen = false;
    while (!chosen && std::chrono::steady_clock::now() < deadline &&
           ReadFile("/proc/" + std::to_string(run.pid) + "/stat").value_or(") Z").find(") Z") ==
               std::string::npos) {
        chosen = Maps(run.pid, "/libqoffscreen.so");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(run.pid, SIGKILL);
    test::FinishProgram(run);
    EXPECT_TRUE(chosen) << "the window never loaded the installed offscreen plugin";
}

// A folder of the attacker's holding a library that claims to be the wayland platform plugin,
// which this machine lacks: Qt tries it first, and then the installed offscreen one.
void PlantPlatformPlugin(Scene& s) {
    s.giveToAttacker(s.at("plugins/platforms"));
    fs::copy_file(PESTREL_FAKE_PLUGIN, s.at("plugins/platforms/libqwayland.so"));
    ASSERT_EQ(::chown(s.at("plugins/platforms/libqwayland.so").c_str(), kAttacker, kAttacker), 0);
    s.giveToAttacker(s.at("plugins/marks"));
}

// A Wine prefix of root's whose drive D: is the root-only folder.
std::string MakeRootsPrefix(Scene& s) {
    const std::string prefix = s.at("pfx");
    fs::create_directories(prefix + "/drive_c/windows/system32");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_symlink(s.secret, prefix + "/dosdevices/d:");
    for (const char* hive : {"/system.reg", "/user.reg"}) {
        WriteFile(prefix + hive, "WINE REGISTRY Version 2\n");
        ::chmod((prefix + hive).c_str(), 0600);
    }
    return prefix;
}

std::optional<pid_t> AttackersProcess(Scene& s) {
    const std::optional<std::string> pid = ReadFile(s.at("fake/pid"));
    if (!pid || pid->empty())
        return std::nullopt;
    return static_cast<pid_t>(std::stol(*pid));
}

const Attack kEnvironmentAttacks[] = {
    {"DataFolderALinkToARootOnlyFolder",
     [](Scene& s) {
         // An installed program run with sudo -E: the user's data folder leads to root's.
         WriteFile(s.secret + "Readme.txt", "root's readme");
         ::chmod((s.secret + "Readme.txt").c_str(), 0600);
         fs::create_directories(s.at("inst/bin"));
         fs::copy_file(PESTREL_PROGRAM, s.at("inst/bin/pestrel"));
         WriteFile(s.at("inst/share/doc/pestrel/Readme.txt"), "the help");
         s.giveToAttacker(s.at("home"));
         s.asAttacker("mkdir -p " + s.at("home/.local/share") + " && ln -s " + s.secret + " " +
                      s.at("home/.local/share/pestrel"));
     },
     [](Scene& s) {
         for (const std::vector<std::string>& arguments :
              {std::vector<std::string>{"--list-backups"}, {"--kill", "--no-repair"}}) {
             const CliResult run = test::FinishProgram(
                 test::StartProgram(s.at("inst/bin/pestrel"), arguments,
                                    {"HOME=" + s.at("home"), "XDG_DATA_HOME="}, s.machine.root()));
             EXPECT_EQ(run.status, 2) << run.out << run.err;
             EXPECT_NE(run.err.find(s.at("home/.local/share/pestrel")), std::string::npos)
                 << run.err;
         }
     }},
    {"QtPluginFolderOfTheUser",
     [](Scene& s) {
         InstallProgram(s);
         PlantPlatformPlugin(s);
     },
     [](Scene& s) {
         OpenWindowAsRoot(s,
                          {"QT_QPA_PLATFORM=wayland;offscreen", "QT_PLUGIN_PATH=" + s.at("plugins"),
                           "PESTREL_FAKE_PLUGIN_MARK=" + s.at("plugins/marks/loaded")});
         EXPECT_FALSE(Exists(s.at("plugins/marks/loaded"))) << "the user's library ran as root";
     }},
    {"QtPlatformPluginFolderOfTheUser",
     [](Scene& s) {
         InstallProgram(s);
         PlantPlatformPlugin(s);
     },
     [](Scene& s) {
         OpenWindowAsRoot(s, {"QT_QPA_PLATFORM=wayland;offscreen",
                              "QT_QPA_PLATFORM_PLUGIN_PATH=" + s.at("plugins/platforms"),
                              "PESTREL_FAKE_PLUGIN_MARK=" + s.at("plugins/marks/loaded")});
         EXPECT_FALSE(Exists(s.at("plugins/marks/loaded"))) << "the user's library ran as root";
     }},
    {"ListThroughTheUsersLinkToARootOnlyFile",
     [](Scene& s) {
         InstallProgram(s);
         s.giveToAttacker(s.at("user"));
         s.asAttacker("ln -s " + s.secret + "secret.txt " + s.at("user/list.txt") + " && ln -s " +
                      s.secret + " " + s.at("user/folder"));
     },
     [](Scene& s) {
         for (const std::string& list : {s.at("user/list.txt"), s.at("user/folder/secret.txt")}) {
             const CliResult run =
                 RunAsRoot(s, {"--kill", "--dry-run", "--no-repair", "--list", list},
                           {kAttackerIds[0], kAttackerIds[1]});
             EXPECT_EQ(run.status, 2) << list << run.out;
             EXPECT_NE(run.err.find("cannot read the list"), std::string::npos) << run.err;
         }
     }},
    {"UsersOwnListThroughTheirOwnLink",
     [](Scene& s) {
         InstallProgram(s);
         s.giveToAttacker(s.at("user"));
         s.asAttacker("echo " + Unique("none.exe") + " > " + s.at("user/mine.txt") +
                      " && chmod 600 " + s.at("user/mine.txt") + " && ln -s mine.txt " +
                      s.at("user/link.txt"));
     },
     [](Scene& s) {
         const CliResult run =
             RunAsRoot(s, {"--kill", "--dry-run", "--no-repair", "--list", s.at("user/link.txt")},
                       {kAttackerIds[0], kAttackerIds[1]});
         EXPECT_EQ(run.status, 0) << run.err;
         EXPECT_NE(run.out.find("entries=1"), std::string::npos) << run.out;
     }},
    {"RootsOwnRootOnlyList",
     [](Scene& s) {
         InstallProgram(s);
         WriteFile(s.at("lists/list.txt"), Unique("none.exe") + "\r\n");
         ::chmod(s.at("lists").c_str(), 0700);
         ::chmod(s.at("lists/list.txt").c_str(), 0600);
     },
     [](Scene& s) {
         const CliResult run =
             RunAsRoot(s, {"--kill", "--dry-run", "--no-repair", "--list", s.at("lists/list.txt")},
                       {kAttackerIds[0], kAttackerIds[1]});
         EXPECT_EQ(run.status, 0) << run.err;
         EXPECT_NE(run.out.find("entries=1"), std::string::npos) << run.out;
     }},
    {"ControlBytesInADeletedProgramsFolder",
     [](Scene& s) {
         InstallProgram(s);
         s.giveToAttacker(s.at("Downloads"));
         // A carriage return, a terminal title and a screen clear in the folder's name.
         s.asAttacker("mkdir \"$(printf \"" + s.at("Downloads") +
                      "/Tools\\r\\033]0;owned\\007\\033[2J\")\"");
         s.mustEnd.push_back(
             &s.start("Downloads/Tools\r\x1b]0;owned\x07\x1b[2J", Unique("evil.exe")));
         WriteFile(s.at("list.txt"), Unique("evil.exe") + "\r\n");
     },
     [](Scene& s) {
         const CliResult kill = RunAsRoot(s, {"--kill", "--no-repair", "--list", s.at("list.txt")});
         EXPECT_NE(kill.out.find("Tools??]0;owned??[2J"), std::string::npos) << kill.out;
         const CliResult listing = RunAsRoot(s, {"--list-backups"});
         EXPECT_EQ(listing.status, 0) << listing.err;
         EXPECT_NE(listing.out.find("Tools??]0;owned??[2J"), std::string::npos) << listing.out;
         for (const CliResult* run : {&kill, &listing})
             EXPECT_FALSE(PrintsControlBytes(run->out + run->err)) << run->out << run->err;
     }},
    {"AnotherUsersProcessPosingAsAWineProgram",
     [](Scene& s) {
         // A program named like Wine's loader, run by the attacker in root's prefix, that names
         // a root-only file as its Windows program.
         const std::string prefix = MakeRootsPrefix(s);
         s.giveToAttacker(s.at("fake"));
         fs::copy_file(PESTREL_TEST_HELPER, s.at("fake/wine64"));
         ASSERT_EQ(::chown(s.at("fake/wine64").c_str(), kAttacker, kAttacker), 0);
         s.asAttacker("cd " + s.at("fake") + " && WINEPREFIX=" + prefix +
                      " ./wine64 \"D:\\secret.txt\" >/dev/null 2>&1 & echo $! > " +
                      s.at("fake/pid"));
     },
     [](Scene& s) {
         const std::optional<pid_t> fake = AttackersProcess(s);
         ASSERT_TRUE(fake);
         wine::WinePlatform wine(std::get<wine::WinePrefix>(wine::WinePrefix::Open(s.at("pfx"))),
                                 s.platform);
         EXPECT_TRUE(wine.processSnapshot(SnapshotDetail::ForEnding).empty());
         Context context(wine);
         InitialiseContext(context);
         test::RecordingView view({"secret.txt"});
         EXPECT_TRUE(RunKillPass(context, view, view));
         EXPECT_EQ(::kill(*fake, 0), 0) << "not a program of the prefix, so not ended";
         ::kill(*fake, SIGKILL);
     }},
};

class EnvironmentAttack : public RootAttack {};

TEST_P(EnvironmentAttack, ChangesNothingOutsideAndEndsTheRightPrograms) {
    Replay(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Replayed, EnvironmentAttack, ::testing::ValuesIn(kEnvironmentAttacks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pestrel::attack
