#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;
using test::Exists;
using test::ReadFile;
using test::WriteFile;

// A user of the password database for one test, with its home in the test machine; removed
// with its crontab when the test ends.
struct ScratchUser {
    explicit ScratchUser(const std::string& home)
        : name("pst" + std::to_string(::getpid())), home(home) {
        fs::create_directories(home);
        const std::string add = "useradd -M -d '" + home + "' -s /usr/sbin/nologin " + name;
        if (std::system(add.c_str()) == 0)
            if (const passwd* entry = ::getpwnam(name.c_str()))
                id = entry->pw_uid;
    }
    ~ScratchUser() {
        if (!id)
            return;
        std::system(("crontab -u " + name + " -r 2>/dev/null").c_str());
        std::system(("userdel " + name).c_str());
    }
    void own() const { std::system(("chown -hR " + name + ": '" + home + "'").c_str()); }

    const std::string name, home;
    std::optional<uid_t> id;
};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class LinuxAutostart : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0 || !user.id || !Exists("/usr/bin/crontab"))
            GTEST_SKIP() << "needs root, useradd and crontab (Debian's cron)";
        WriteFile(cli.context().AppPath + "VirusList.txt", evil + "\r\n");
        WriteFile(autostart + "evil.desktop",
                  "[Desktop Entry]\nType=Application\nExec=\"" + program + "\" --tray %U\n");
        WriteFile(autostart + "broken.desktop", "[Desktop Entry]\nExec=\"" + program + "\n");
        WriteFile(units + "evil.service", "[Service]\nExecStart=" + program + " -d\n");
        fs::create_directories(units + "default.target.wants");
        fs::create_symlink("../evil.service", units + "default.target.wants/evil.service");
        user.own();
        ASSERT_TRUE(cli.platform().writeCrontab(user.name, crontab));
        ASSERT_EQ(cli.platform().readCrontab(user.name), crontab);
    }

    // The lines of the pass's own removals, and the malformed entry's one failed line.
    std::vector<std::string> removals() const {
        return {"desktop\t" + autostart + "evil.desktop\t\"" + program + "\" --tray %U",
                "link\t" + units + "default.target.wants/evil.service\t../evil.service",
                "unit\t" + units + "evil.service", "cron\t" + user.name + "\t@reboot " + program,
                "failed\tdesktop\t" + autostart + "broken.desktop"};
    }
    void expectUntouched() {
        EXPECT_TRUE(Exists(autostart + "evil.desktop"));
        EXPECT_TRUE(Exists(units + "evil.service"));
        EXPECT_TRUE(fs::is_symlink(units + "default.target.wants/evil.service"));
        EXPECT_EQ(cli.platform().readCrontab(user.name), crontab);
    }

    test::CliMachine cli;
    ScratchUser user{cli.machine.root() + "user"};
    const std::string evil = cli.name("evil");
    const std::string program = user.home + "/.local/bin/" + evil;
    const std::string autostart = user.home + "/.config/autostart/";
    const std::string units = user.home + "/.config/systemd/user/";
    const std::string crontab = "MAILTO=\"\"\n@reboot " + program + "\n*/5 * * * * /bin/true\n";
};

TEST_F(LinuxAutostart, OnePassRemovesEveryPlaceAndTheRestorePutsThemBack) {
    // Only the choice of cleaning every autostart place takes these.
    const std::string taken = "\tlisted\tclean-autostart";
    const std::vector<std::string> listing = cli.run({"--autostart"}).lines();
    EXPECT_TRUE(Has(listing, autostart + "\tevil.desktop\t" + program + taken));
    EXPECT_TRUE(Has(listing, units + "\tevil.service\t" + program + taken));
    EXPECT_TRUE(
        Has(listing, "crontab " + user.name + "\t@reboot " + program + "\t" + program + taken));

    const test::CliResult plain = cli.run({"--kill", "--dry-run", "--no-repair"});
    for (const std::string& line : removals())
        EXPECT_FALSE(Has(plain.lines(), line)) << line << "\n" << plain.out;
    const test::CliResult dryRun =
        cli.run({"--kill", "--clean-autostart", "--dry-run", "--no-repair"});
    for (const std::string& line : removals())
        EXPECT_TRUE(Has(dryRun.lines(), line)) << line << "\n" << dryRun.out;
    expectUntouched();

    const test::CliResult kill = cli.run({"--kill", "--clean-autostart", "--no-repair"});
    EXPECT_EQ(kill.status, 1) << "the malformed entry is a failed line";
    for (const std::string& line : removals())
        EXPECT_TRUE(Has(kill.lines(), line)) << line << "\n" << kill.out;
    EXPECT_FALSE(Exists(autostart + "evil.desktop"));
    EXPECT_TRUE(Exists(autostart + "broken.desktop")) << "nothing malformed is touched";
    EXPECT_FALSE(Exists(units + "evil.service"));
    EXPECT_FALSE(fs::is_symlink(units + "default.target.wants/evil.service"));
    EXPECT_EQ(cli.platform().readCrontab(user.name), "MAILTO=\"\"\n*/5 * * * * /bin/true\n");
    // Each kind of backup says what it is.
    const std::string backups = cli.run({"--list-backups"}).out;
    for (const std::string& said :
         {"  link " + units + "default.target.wants/evil.service  target ",
          "  crontab " + user.name + "  before ", "  file " + units + "evil.service  copy "})
        EXPECT_NE(backups.find(said), std::string::npos) << said << "\n" << backups;

    const test::CliResult restore = cli.run({"--restore"});
    EXPECT_EQ(restore.status, 0) << restore.out << restore.err;
    expectUntouched();
    EXPECT_EQ(fs::read_symlink(units + "default.target.wants/evil.service"), "../evil.service");
    for (const std::string& file : {autostart + "evil.desktop", units + "evil.service"}) {
        struct stat info;
        ASSERT_EQ(::lstat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, *user.id) << file << " is the user's again";
    }
    EXPECT_EQ(ReadFile(units + "evil.service"), "[Service]\nExecStart=" + program + " -d\n");
}

} // namespace
} // namespace pestrel
