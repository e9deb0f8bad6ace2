// The program file cleans a throwaway prefix under real Wine: a Windows program of the prefix is
// started under a listed name and written into both Run keys with Wine's own registry tool, and a
// dormant copy is written into the other autostart places: registry values, a shortcut in the
// Start-up folder made by Wine's own script host, and a scheduled task.
#include "platform/posix/PosixPlatform.h"
#include "platform/wine/WinePlatform.h"
#include "tests/support/TestFiles.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace pestrel::wine {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* const kWine = "/usr/lib/wine/wine64";
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Result {
    int status = -1;
    std::string out, err;
};

fs::path Root() {
    static const fs::path root =
        fs::temp_directory_path() / ("pestrel-wine-run-" + std::to_string(::getpid()));
    return root;
}
fs::path Prefix() {
    return Root() / "pfx";
}

// Runs a shell command with the prefix's Wine settings and no display.
Result Shell(const std::string& command) {
    const std::string out = (Root() / "out").string(), err = (Root() / "err").string();
    const std::string line = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINEPREFIX='" +
                             Prefix().string() +
                             "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' " + command +
                             " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(out).value_or(""),
            test::ReadFile(err).value_or("")};
}

Result Pestrel(const std::string& arguments) {
    return Shell("XDG_DATA_HOME='" + (Root() / "data").string() + "' '" +
                 (Root() / "app" / "pestrel").string() + "' " + arguments);
}

Result Reg(const std::string& arguments) {
    return Shell(std::string(kWine) + " reg " + arguments);
}

WinePlatform& Machine() {
    static PosixPlatform standIn(Root() / "data" / "pestrel");
    static WinePlatform platform(std::get<WinePrefix>(WinePrefix::Open(Prefix())), standIn);
    return platform;
}

// The id of a program of the prefix named `name`; with `mapped`, only once Wine has mapped its
// file, as a pass needs to see it.
std::optional<std::uint32_t> RunningId(const std::string& name, bool mapped = false) {
    const SnapshotDetail detail = mapped ? SnapshotDetail::WithPaths : SnapshotDetail::Names;
    for (const ProcessRecord& record : Machine().processSnapshot(detail)) {
        if (record.exeFile == name && (!mapped || record.exePath))
            return record.id;
    }
    return std::nullopt;
}

bool Alive(std::uint32_t id) {
    const std::optional<std::string> stat = test::ReadFile("/proc/" + std::to_string(id) + "/stat");
    return stat && stat->find(") Z") == std::string::npos;
}

// The prefix's services.exe processes, found by their command name and environment.
std::vector<std::uint32_t> WineServices() {
    std::vector<std::uint32_t> ids;
    const std::string variable = "WINEPREFIX=" + Prefix().string() + '\0';
    for (const auto& item : fs::directory_iterator("/proc")) {
        const std::string folder = item.path().string();
        const std::string environment = test::ReadFile(folder + "/environ").value_or("");
        if (test::ReadFile(folder + "/comm") == "services.exe\n" &&
            environment.find(variable) != std::string::npos)
            ids.push_back(static_cast<std::uint32_t>(std::stoul(item.path().filename().string())));
    }
    return ids;
}

// Every file of the prefix with its kind, size and modification time; the registry files with
// their bytes.
std::map<std::string, std::string> Fingerprint() {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(Prefix())) {
        struct stat info {};
        ::lstat(item.path().c_str(), &info);
        std::string value = std::to_string(info.st_mode) + " " + std::to_string(info.st_size) +
                            " " + std::to_string(info.st_mtim.tv_sec) + "." +
                            std::to_string(info.st_mtim.tv_nsec);
        if (item.path().extension() == ".reg")
            value += test::ReadFile(item.path().string()).value_or("?");
        files[item.path().string()] = value;
    }
    return files;
}

class WinePrefixRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (::access(kWine, X_OK) != 0)
            return;
        fs::remove_all(Root());
        fs::create_directories(Root() / "app");
        fs::copy_file(PESTREL_PROGRAM, Root() / "app" / "pestrel");
        const std::string make = std::string(PESTREL_SOURCE_DIR) + "/tools/wine-prefix.sh '" +
                                 Prefix().string() + "' >/dev/null 2>&1";
        made_ = std::system(make.c_str()) == 0;
        test::WriteFile((Root() / "list.txt").string(), "evil.exe\r\n");
    }
    static void TearDownTestSuite() {
        if (made_)
            Shell("/usr/lib/wine/wineserver -k; /usr/lib/wine/wineserver -w");
        fs::remove_all(Root());
    }
    void SetUp() override {
        if (::access(kWine, X_OK) != 0)
            GTEST_SKIP() << "Wine is not installed (Debian package wine64)";
        ASSERT_TRUE(made_) << "tools/wine-prefix.sh made no prefix";
    }

    // Starts a copy of Wine's ping as evil.exe in C:\ and waits until it runs: with its file
    // mapped, or, without `withFile`, only until the loader has taken its name.
    std::uint32_t startEvil(bool withFile = true) {
        fs::copy_file(Prefix() / "drive_c/windows/system32/ping.exe", Prefix() / "drive_c/evil.exe",
                      fs::copy_options::overwrite_existing);
        Shell(std::string("sh -c \"") + kWine + " 'C:\\\\evil.exe' -n 1000 127.0.0.1 &\"");
        for (int wait = 0; wait < 6000; ++wait) {
            if (const std::optional<std::uint32_t> id = RunningId("evil.exe", withFile))
                return *id;
            std::this_thread::sleep_for(10ms);
        }
        ADD_FAILURE() << "evil.exe did not start";
        return 0;
    }

    static inline bool made_ = false;
};

TEST_F(WinePrefixRun, EndsTheProgramAndCleansTheRegistryAsWineSeesIt) {
    const std::uint32_t evil = startEvil();
    ASSERT_NE(evil, 0u);
    for (const char* root : {"HKLM", "HKCU"})
        ASSERT_EQ(
            Reg(std::string("add '") + root + "\\" + kRunKey + "' /v evil.exe /d 'C:\\evil.exe' /f")
                .status,
            0);
    ASSERT_EQ(Reg("add 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System' "
                  "/v DisableRegistryTools /t REG_DWORD /d 1 /f")
                  .status,
              0);
    const std::vector<std::uint32_t> services = WineServices();
    ASSERT_FALSE(services.empty());
    EXPECT_FALSE(RunningId("services.exe")) << "Wine's services are not the prefix's programs";

    // While Wine runs, the program ends and its file goes, the registry stays as it is.
    const Result running = Pestrel("--kill --wine-prefix '" + Prefix().string() + "' --list '" +
                                   (Root() / "list.txt").string() + "'");
    EXPECT_EQ(running.status, 1) << running.out << running.err;
    EXPECT_NE(running.err.find("Wine is running in this prefix"), std::string::npos) << running.err;
    EXPECT_FALSE(Alive(evil));
    EXPECT_FALSE(fs::exists(Prefix() / "drive_c/evil.exe"));
    EXPECT_TRUE(fs::exists(Root() / "app" / "Temp" / "evil.exe"));
    EXPECT_TRUE(Machine().serverRuns());
    for (std::uint32_t id : services)
        EXPECT_TRUE(Alive(id)) << "Wine's own process " << id << " was ended";

    // Asked to stop Wine, the registry is cleaned and repaired.
    const Result stopping = Pestrel("--kill --stop-wine --wine-prefix '" + Prefix().string() +
                                    "' --list '" + (Root() / "list.txt").string() + "'");
    EXPECT_EQ(stopping.status, 0) << stopping.out << stopping.err;
    for (const char* root : {"HKLM", "HKCU"})
        EXPECT_NE(Reg(std::string("query '") + root + "\\" + kRunKey + "' /v evil.exe").status, 0)
            << root;
    const Result tools =
        Reg("query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System' /v "
            "DisableRegistryTools");
    EXPECT_NE(tools.out.find("0x0"), std::string::npos) << tools.out;
    const Result txt = Reg("query 'HKCR\\txtfile\\shell\\open\\command' /ve");
    EXPECT_NE(txt.out.find("Notepad.exe \"%1\""), std::string::npos) << txt.out;
    Shell("/usr/lib/wine/wineserver -w");
}

// The prefix user's folder under drive_c/users.
fs::path UserFolder() {
    for (const auto& item : fs::directory_iterator(Prefix() / "drive_c/users")) {
        if (item.path().filename() != "Public" && item.is_directory())
            return item.path();
    }
    return Prefix() / "drive_c/users/Public";
}

// Makes a shortcut at `link` to `target` (Windows paths) with Wine's script host.
Result MakeShortcut(const std::string& link, const std::string& target) {
    test::WriteFile((Prefix() / "drive_c/shortcut.js").string(),
                    "var shell = new ActiveXObject('WScript.Shell');\r\n"
                    "var link = shell.CreateShortcut(WScript.Arguments(0));\r\n"
                    "link.TargetPath = WScript.Arguments(1);\r\nlink.Save();\r\n");
    return Shell(std::string(kWine) + " wscript 'C:\\shortcut.js' '" + link + "' '" + target + "'");
}

// A scheduled task's definition as the Task Scheduler writes it: UTF-16 with its mark.
std::string TaskDefinition(const std::string& command) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Task version=\"1.2\" "
        "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\"><Triggers><LogonTrigger>"
        "<Enabled>true</Enabled></LogonTrigger></Triggers><Actions Context=\"Author\"><Exec>"
        "<Command>" +
        command + "</Command></Exec></Actions></Task>\r\n";
    std::string bytes = "\xFF\xFE";
    for (char c : text)
        bytes += std::string{c, '\0'};
    return bytes;
}

TEST_F(WinePrefixRun, TakesADormantProgramOutOfEveryRegistryPlaceAndTheUndoPutsItBack) {
    const fs::path roaming = UserFolder() / "AppData" / "Roaming";
    fs::create_directories(roaming);
    fs::copy_file(Prefix() / "drive_c/windows/system32/ping.exe", roaming / "evil.exe",
                  fs::copy_options::overwrite_existing);
    const std::string evil =
        "C:\\users\\" + UserFolder().filename().string() + "\\AppData\\Roaming\\evil.exe";
    const std::string userinit = "C:\\windows\\system32\\userinit.exe,";
    const std::string winlogon = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    const std::string service = "HKLM\\System\\CurrentControlSet\\Services\\EvilSvc";
    const struct {
        std::string key, name, data, type;
        std::string after; // what reg query shows after the pass; empty: no value
    } places[] = {
        {std::string("HKCU\\") + kRunKey, "Updater", "\"" + evil + "\" /min", "REG_SZ", ""},
        // HKLM's RunOnce would be run and emptied by Wine's next start, as Windows does at boot.
        {std::string("HKCU\\") + kRunKey + "Once", "Setup", evil, "REG_SZ", ""},
        {winlogon, "Userinit", userinit + evil + ",", "REG_SZ", userinit},
        {service, "ImagePath", evil + " -service", "REG_EXPAND_SZ", evil + " -service"},
        {service, "Start", "2", "REG_DWORD", "0x4"},
    };
    for (const auto& place : places)
        ASSERT_EQ(Reg("add '" + place.key + "' /v " + place.name + " /t " + place.type + " /d '" +
                      place.data + "' /f")
                      .status,
                  0)
            << place.key;

    const std::string startup =
        "C:\\users\\" + UserFolder().filename().string() +
        "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    ASSERT_EQ(MakeShortcut(startup + "\\Updater.lnk", evil).status, 0);
    const std::optional<std::string> shortcutPath = Machine().localPath(startup + "\\Updater.lnk");
    ASSERT_TRUE(shortcutPath && fs::exists(*shortcutPath));
    const std::string shortcut = test::ReadFile(*shortcutPath).value_or("");
    const fs::path task = Prefix() / "drive_c/windows/system32/tasks/Evil Refresh";
    const std::string definition = TaskDefinition(evil);
    test::WriteFile(task.string(), definition);

    // The files hold what reg wrote once the prefix's wineserver has saved it and ended.
    Shell("/usr/lib/wine/wineserver -w");
    const Result pass =
        Pestrel("--kill --no-repair --clean-autostart --stop-wine --wine-prefix '" +
                Prefix().string() + "' --list '" + (Root() / "list.txt").string() + "'");
    EXPECT_EQ(pass.status, 0) << pass.out << pass.err;
    EXPECT_FALSE(fs::exists(roaming / "evil.exe")) << pass.out;
    EXPECT_FALSE(fs::exists(*shortcutPath)) << pass.out;
    EXPECT_FALSE(fs::exists(task)) << pass.out;
    for (const auto& place : places) {
        const Result shown = Reg("query '" + place.key + "' /v " + place.name);
        if (place.after.empty())
            EXPECT_NE(shown.status, 0) << place.key << " " << place.name << shown.out;
        else
            EXPECT_NE(shown.out.find(place.after), std::string::npos) << place.name << shown.out;
    }
    EXPECT_EQ(Reg("query '" + winlogon + "' /v Userinit").out.find("evil.exe"), std::string::npos);

    Shell("/usr/lib/wine/wineserver -k; /usr/lib/wine/wineserver -w");
    const Result restore =
        Pestrel("--restore --stop-wine --wine-prefix '" + Prefix().string() + "'");
    EXPECT_EQ(restore.status, 0) << restore.out << restore.err;
    EXPECT_TRUE(fs::exists(roaming / "evil.exe"));
    EXPECT_EQ(test::ReadFile(*shortcutPath), shortcut);
    EXPECT_EQ(test::ReadFile(task.string()), definition);
    for (const auto& place : places) {
        const std::string data = place.type == "REG_DWORD" ? "0x2" : place.data;
        const Result shown = Reg("query '" + place.key + "' /v " + place.name);
        EXPECT_NE(shown.out.find(data), std::string::npos) << place.name << shown.out;
    }
    Shell("/usr/lib/wine/wineserver -k; /usr/lib/wine/wineserver -w");
}

TEST_F(WinePrefixRun, DryRunChangesNoByteOfThePrefix) {
    fs::copy_file(Prefix() / "drive_c/windows/system32/ping.exe",
                  Prefix() / "drive_c/windows/system32/evil.exe",
                  fs::copy_options::overwrite_existing);
    ASSERT_EQ(Reg(std::string("add 'HKCU\\") + kRunKey + "' /v evil.exe /d evil.exe /f").status, 0);
    Shell("/usr/lib/wine/wineserver -w");
    const std::map<std::string, std::string> before = Fingerprint();
    const Result dry = Pestrel("--kill --dry-run --stop-wine --wine-prefix '" + Prefix().string() +
                               "' --list '" + (Root() / "list.txt").string() + "'");
    EXPECT_EQ(dry.status, 0) << dry.out << dry.err;
    EXPECT_NE(dry.out.find("evil.exe"), std::string::npos) << dry.out;
    EXPECT_EQ(Fingerprint(), before);
}

TEST_F(WinePrefixRun, BadInputIsRefusedAndNoFileIsRewritten) {
    const fs::path fake = Root() / "fake";
    fs::create_directories(fake / "drive_c/windows/system32");
    fs::create_directories(fake / "dosdevices");
    const std::string good = "WINE REGISTRY Version 2\n\n[Software] 1\n#time=1\n\"a\"=\"b\"\n";
    const struct {
        const char* what;
        fs::path folder;
        std::string system, user;
        const char* says;
    } cases[] = {
        {"no prefix", Root() / "app", good, good, "is not a Wine prefix"},
        {"not Wine's format", fake, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n", good,
         "system.reg is not in Wine's format"},
        {"a truncated file", fake, good, good.substr(0, good.size() - 3),
         "user.reg is not in Wine's format"},
    };
    for (const auto& c : cases) {
        test::WriteFile((fake / "system.reg").string(), c.system);
        test::WriteFile((fake / "user.reg").string(), c.user);
        const Result result = Pestrel("--kill --stop-wine --wine-prefix '" + c.folder.string() +
                                      "' --list '" + (Root() / "list.txt").string() + "'");
        EXPECT_EQ(result.status, 2) << c.what << result.out << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << c.what << result.err;
        EXPECT_EQ(test::ReadFile((fake / "system.reg").string()), c.system) << c.what;
        EXPECT_EQ(test::ReadFile((fake / "user.reg").string()), c.user) << c.what;
    }
}

TEST_F(WinePrefixRun, EndsARecordOnlyWhileItsIdStillNamesThatProgram) {
    // Taken as soon as the start is seen: the snapshot waits for the program's file.
    ASSERT_NE(startEvil(false), 0u);
    ProcessRecord taken;
    for (ProcessRecord& record : Machine().processSnapshot(SnapshotDetail::ForEnding)) {
        if (record.exeFile == "evil.exe")
            taken = std::move(record);
    }
    ASSERT_EQ(taken.exeFile, "evil.exe");
    ASSERT_NE(taken.startTime, 0u);
    EXPECT_EQ(taken.exePath, (Prefix() / "drive_c/evil.exe").string());
    const std::uint32_t evil = taken.id;

    ProcessRecord otherName = taken;
    otherName.exeFile = "other.exe";
    ProcessRecord otherStart = taken;
    otherStart.startTime = 1; // one tick after boot: long before evil.exe started
    for (const ProcessRecord* stale : {&otherName, &otherStart}) {
        EXPECT_FALSE(Machine().terminateProcess(*stale)) << stale->exeFile;
        EXPECT_TRUE(Alive(evil)) << stale->exeFile;
    }
    EXPECT_TRUE(Machine().terminateProcess(taken));
    for (int wait = 0; wait < 50 && Alive(evil); ++wait)
        std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(Alive(evil));
}

// The guard over the prefix, as root: a Windows program of a listed name is ended as soon as
// Wine has started it, and its file goes.
TEST_F(WinePrefixRun, TheGuardEndsAListedProgramWineStarts) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "the guard hears of program starts as root";
    const fs::path out = Root() / "guard.out";
    // Killed when this test's thread ends, and in any case when the test ends.
    const std::string program = (Root() / "app" / "pestrel").string(),
                      data = "XDG_DATA_HOME=" + (Root() / "data").string(),
                      prefix = Prefix().string(), list = (Root() / "list.txt").string();
    const char* argv[] = {"/usr/bin/setpriv",
                          "--pdeathsig",
                          "KILL",
                          "--",
                          "/usr/bin/env",
                          data.c_str(),
                          program.c_str(),
                          "--guard",
                          "--wine-prefix",
                          prefix.c_str(),
                          "--list",
                          list.c_str(),
                          nullptr};
    posix_spawn_file_actions_t files;
    ::posix_spawn_file_actions_init(&files);
    ::posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_adddup2(&files, 1, 2);
    pid_t guard = 0;
    ASSERT_EQ(::posix_spawn(&guard, argv[0], &files, nullptr, const_cast<char**>(argv), environ),
              0);
    ::posix_spawn_file_actions_destroy(&files);
    struct Ender {
        pid_t pid;
        ~Ender() {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } ender{guard};
    const auto says = [&](const std::string& text) {
        for (int wait = 0; wait < 300; ++wait) {
            if (test::ReadFile(out.string()).value_or("").find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    };
    ASSERT_TRUE(says("guarding")) << test::ReadFile(out.string()).value_or("");

    fs::copy_file(Prefix() / "drive_c/windows/system32/ping.exe", Prefix() / "drive_c/evil.exe",
                  fs::copy_options::overwrite_existing);
    Shell(std::string("sh -c \"") + kWine + " 'C:\\\\evil.exe' -n 1000 127.0.0.1 &\"");
    EXPECT_TRUE(says("terminate\t")) << test::ReadFile(out.string()).value_or("");
    EXPECT_TRUE(says("delete\t" + (Prefix() / "drive_c/evil.exe").string()))
        << test::ReadFile(out.string()).value_or("");
    EXPECT_FALSE(RunningId("evil.exe"));
}

} // namespace
} // namespace pestrel::wine
