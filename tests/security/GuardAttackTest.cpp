// The attacks of a third review on the guard run by root, replayed: another user runs listed code
// in ways the guard could not name, floods it with listed starts, and makes it copy and read
// without end.

#include "engine/Public.h"
#include "tests/guard/GuardRun.h"
#include "tests/security/AttackScene.h"

#include <sstream>
#include <thread>

namespace pestrel::attack {
namespace {

constexpr const char* kLoader = "/lib64/ld-linux-x86-64.so.2";
constexpr const char* kPython = "/usr/bin/python3";

// The guard over a machine of its own, the attacker's home beside it, and a program file that
// the list names, which writes the mark file whenever it runs.
struct GuardScene {
    GuardScene() {
        ::chmod(cli.machine.root().c_str(), 0711); // the attacker may pass through
        fs::create_directories(home);
        EXPECT_EQ(::chown(home.c_str(), kAttacker, kAttacker), 0);
        WriteFile(list, listed + "\n");
    }
    // Runs `script` as the attacker; its exit status.
    int attack(const std::string& script) const {
        test::WriteFile(home + "attack.sh", script);
        const std::string command = "setpriv --reuid=" + std::to_string(kAttacker) +
                                    " --regid=" + std::to_string(kAttacker) +
                                    " --clear-groups sh " + home + "attack.sh";
        return std::system(command.c_str());
    }
    // A copy of `source` owned by the attacker at `path`, as a program.
    void give(const std::string& source, const std::string& path) const {
        fs::create_directories(FolderOf(path));
        fs::copy_file(source, path, fs::copy_options::overwrite_existing);
        ::chmod(path.c_str(), 0755);
        std::system(("chown -R 65534:65534 '" + home + "'").c_str());
    }
    // A listed shell script of `size` bytes (padded after its end) at `path`.
    void giveScript(const std::string& path, std::size_t size) const {
        std::string text = "#!/bin/sh\necho ran >> " + mark + "\nexit 0\n";
        text.resize(std::max(size, text.size()), '#');
        WriteFile(home + "script", text);
        give(home + "script", path);
        fs::remove(home + "script");
    }
    void guard(const std::string& setup = {}) {
        run = std::make_unique<test::GuardRun>(cli, std::vector<std::string>{"--list", list}, 0,
                                               setup);
        ASSERT_TRUE(run->says("guarding")) << run->err();
        storedBefore = StoredBytes(cli.context().AppPath);
    }
    bool said(const std::string& text) const { return run->says(text); }

    test::CliMachine cli;
    const std::string home = cli.machine.root() + "Home/";
    const std::string list = cli.machine.root() + "list.txt";
    const std::string listed = cli.name("evil.exe");
    const std::string mark = home + "ran";
    std::unique_ptr<test::GuardRun> run;
    std::uint64_t storedBefore = 0;
    std::uint64_t copyBytes = 0; // of the file whose starts are refused
};

struct GuardAttack {
    const char* name;
    std::function<void(GuardScene&)> act; // builds, guards, attacks, checks its own
};

// The SHA-256 of the file at `path`, as a list's hash line names it.
std::string Sha256Of(const std::string& path) {
    FILE* sum = ::popen(("sha256sum '" + path + "'").c_str(), "r");
    char digest[65] = {};
    const bool read = sum && std::fread(digest, 1, 64, sum) == 64;
    if (sum)
        ::pclose(sum);
    return read ? digest : "";
}

// `count` hard links of `file`, one per folder home/links/N/ under the listed name.
std::string Links(const GuardScene& s, const std::string& file, int count) {
    return "for i in $(seq " + std::to_string(count) + "); do mkdir -p " + s.home +
           "links/$i && ln " + file + " " + s.home + "links/$i/" + s.listed + " || exit 1; done\n";
}

// The processor time process `pid` has taken, in clock ticks.
std::uint64_t CpuTicks(pid_t pid) {
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat").value_or("");
    std::istringstream fields(stat.substr(std::min(stat.size(), stat.rfind(')') + 2)));
    std::string field;
    std::uint64_t user = 0, system = 0;
    for (int skipped = 0; skipped < 11; ++skipped)
        fields >> field; // from its state to cmajflt
    fields >> user >> system;
    return user + system;
}

// How many of `count` links are left.
int LinksLeft(const GuardScene& s, int count) {
    int left = 0;
    for (int i = 1; i <= count; ++i)
        left += Exists(s.home + "links/" + std::to_string(i) + "/" + s.listed);
    return left;
}

// Waits until the guard removes no more links: every one, or what its queue had room for.
int LinksSettled(const GuardScene& s, int count) {
    for (int left = LinksLeft(s, count);;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const int now = LinksLeft(s, count);
        if (now == left || now == 0)
            return now;
        left = now;
    }
}

const GuardAttack kAttacks[] = {
    {"LoaderRunsAListedFile",
     [](GuardScene& s) {
         if (!Exists(kLoader))
             GTEST_SKIP() << "no loader at " << kLoader;
         s.give("/usr/bin/touch", s.home + s.listed);
         s.guard();
         s.attack(std::string(kLoader) + " " + s.home + s.listed + " " + s.mark + "\n");
         EXPECT_TRUE(s.said("terminate\t")) << s.run->out();
         EXPECT_TRUE(test::WaitUntil([&] { return !Exists(s.home + s.listed); }));
     }},
    {"MemoryFileHoldingListedContent",
     [](GuardScene& s) {
         WriteFile(s.list, s.listed + "\nsha256:" + Sha256Of("/usr/bin/touch") + "\n");
         s.guard();
         s.attack(std::string(kPython) +
                  " -c 'import os; fd=os.memfd_create(\"x\", 0); "
                  "os.write(fd, open(\"/usr/bin/touch\", \"rb\").read()); "
                  "os.execve(fd, [\"x\", \"" +
                  s.mark + "\"], {})'\n");
         EXPECT_TRUE(s.said("terminate\t")) << s.run->out();
     }},
    {"DeletedFileStartedThroughItsDescriptor",
     [](GuardScene& s) {
         s.give("/usr/bin/touch", s.home + s.listed);
         s.guard();
         s.attack(std::string(kPython) + " -c 'import os; p=\"" + s.home + s.listed +
                  "\"; fd=os.open(p, os.O_RDONLY); os.unlink(p); os.execve(fd, [p, \"" + s.mark +
                  "\"], {})'\n");
         EXPECT_TRUE(s.said("denied\t" + s.home + s.listed + "\n")) << s.run->out();
     }},
    {"FolderChainLongerThanAPath",
     [](GuardScene& s) {
         s.give("/usr/bin/touch", s.home + "touch");
         s.guard();
         s.attack(std::string(kPython) + " -c 'import os, shutil\nos.chdir(\"" + s.home +
                  "\")\nfor i in range(20):\n  os.mkdir(\"d\" * 250); os.chdir(\"d\" * 250)\n"
                  "shutil.copy(\"" +
                  s.home + "touch\", \"" + s.listed + "\")\nos.execv(\"./" + s.listed +
                  "\", [\"x\", \"" + s.mark + "\"])'\n");
         EXPECT_TRUE(s.said("denied\tdevice ")) << s.run->out();
         s.attack(std::string(kPython) + " -c 'import shutil; shutil.rmtree(\"" + s.home +
                  std::string(250, 'd') + "\")'\n");
     }},
    {"FloodOfHardLinksFillsTheQueue",
     [](GuardScene& s) {
         s.giveScript(s.home + "evil", 64 << 10);
         ASSERT_EQ(s.attack(Links(s, s.home + "evil", 3000)), 0);
         s.guard();
         const std::string flood = "for i in $(seq $1 3 3000); do " + s.home + "links/$i/" +
                                   s.listed + " 2>/dev/null & done; wait\n";
         WriteFile(s.home + "flood.sh", flood);
         s.attack("for j in 1 2 3; do sh " + s.home + "flood.sh $j & done; wait\n");
         // A full queue delays the removals: the refused starts that found room are removed.
         EXPECT_LT(LinksSettled(s, 3000), 3000);
         s.copyBytes = 64 << 10;
     }},
    {"OneLargeFileStartedByManyNames",
     [](GuardScene& s) {
         s.giveScript(s.home + "evil", 8 << 20);
         ASSERT_EQ(s.attack(Links(s, s.home + "evil", 60)), 0);
         s.copyBytes = 8 << 20;
         s.guard();
         s.attack("for i in $(seq 60); do " + s.home + "links/$i/" + s.listed +
                  " 2>/dev/null; done\n");
         EXPECT_EQ(LinksSettled(s, 60), 0) << s.run->err();
     }},
    {"PaddedDesktopFilesTouchedFast",
     [](GuardScene& s) {
         // The attacker is a user of the guard's password database, with its home here.
         const std::string passwd = s.cli.machine.root() + "passwd";
         WriteFile(passwd, "root:x:0:0:root:/root:/bin/sh\nattacker:x:65534:65534::" + s.home +
                               ":/bin/sh\n");
         const std::string autostart = s.home + ".config/autostart/";
         fs::create_directories(autostart);
         for (int i = 0; i < 100; ++i) {
             std::string text = "[Desktop Entry]\nExec=/usr/bin/true\n";
             text.resize((1 << 20) - 1, '#');
             WriteFile(autostart + "pad" + std::to_string(i) + ".desktop", text + "\n");
         }
         std::system(("chown -R 65534:65534 '" + s.home + "'").c_str());
         s.guard("mount --bind '" + passwd + "' /etc/passwd");
         const std::uint64_t busyBefore = CpuTicks(s.run->pid());
         const auto start = std::chrono::steady_clock::now();
         s.attack("for i in $(seq 60); do touch " + autostart + "pad0.desktop; sleep 0.05; done\n");
         const double busy = (CpuTicks(s.run->pid()) - busyBefore) / double(::sysconf(_SC_CLK_TCK));
         const double spent =
             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
         EXPECT_LT(busy / spent, 0.2) << "busy " << busy << " s of " << spent << " s";
     }},
};

class GuardAttacks : public ::testing::TestWithParam<GuardAttack> {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "The attacks are replayed only when the tests run as root.";
    }
};

TEST_P(GuardAttacks, ListedCodeNeverRunsAndEachFileIsCopiedOnce) {
    GuardScene scene;
    GetParam().act(scene);
    if (IsSkipped() || HasFatalFailure())
        return;
    ExpectGuardHeld(scene.mark, scene.cli.context().AppPath, scene.storedBefore, scene.copyBytes,
                    1);
    EXPECT_EQ(scene.run->stop().status, 0);
}

INSTANTIATE_TEST_SUITE_P(ThirdReview, GuardAttacks, ::testing::ValuesIn(kAttacks),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace pestrel::attack
