#include "engine/Public.h"
#include "platform/posix/PosixPlatform.h"
#include "tests/support/TestFiles.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;

class TemporaryRoot {
public:
    TemporaryRoot() {
        std::string pattern = (fs::temp_directory_path() / "pestrel-reg-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TemporaryRoot() { fs::remove_all(path); }
    std::string path;
};

RegValue Text(std::string text) {
    RegValue value;
    value.text = std::move(text);
    return value;
}

struct FileStamp {
    ino_t inode;
    timespec modified;
    bool operator==(const FileStamp& other) const {
        return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileStamp StampOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return {info.st_ino, info.st_mtim};
}

class PosixRegistry : public ::testing::Test {
protected:
    std::string hiveText(RegRoot root) {
        return test::ReadFile(platform.hiveFile(root)).value_or("<missing>");
    }
    TemporaryRoot root;
    PosixPlatform platform{root.path};
};

TEST_F(PosixRegistry, KeepsEachHiveInItsFileAndClassesUnderTheMachine) {
    ASSERT_TRUE(ResetTxtFileOpenCommand(platform));
    ASSERT_TRUE(platform.setValue(RegRoot::CurrentUser, "Software\\X", "v", Text("user")));
    EXPECT_EQ(platform.hiveFile(RegRoot::LocalMachine),
              root.path + "/Registry/HKEY_LOCAL_MACHINE.reg");
    EXPECT_EQ(hiveText(RegRoot::LocalMachine),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Classes]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Classes\\txtfile]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Classes\\txtfile\\shell]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Classes\\txtfile\\shell\\open]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Classes\\txtfile\\shell\\open\\command]\r\n"
              "@=\"Notepad.exe \\\"%1\\\" \"\r\n\r\n");
    EXPECT_EQ(platform
                  .queryValue(RegRoot::LocalMachine,
                              "software\\classes\\TXTFILE\\shell\\open\\"
                              "command",
                              "")
                  ->text,
              "Notepad.exe \"%1\" ");
    EXPECT_EQ(hiveText(RegRoot::CurrentUser),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\X]\r\n\"v\"=\"user\"\r\n\r\n");
}

TEST_F(PosixRegistry, ChangesThatChangeNothingDoNotRewriteTheHive) {
    ASSERT_TRUE(platform.setValue(RegRoot::LocalMachine, kRunKey, "Other", Text("x")));
    const FileStamp before = StampOf(platform.hiveFile(RegRoot::LocalMachine));

    EXPECT_FALSE(DeleteRegValue(platform, RegRoot::LocalMachine, kRunKey, "absent.exe"));
    EXPECT_TRUE(platform.createKey(RegRoot::LocalMachine, kRunKey));
    EXPECT_TRUE(platform.createKey(RegRoot::LocalMachine, "SOFTWARE"));
    EXPECT_TRUE(platform.setValue(RegRoot::LocalMachine, kRunKey, "other", Text("x")));
    EXPECT_FALSE(platform.deleteValue(RegRoot::LocalMachine, "Software\\Missing", "x"));
    EXPECT_TRUE(StampOf(platform.hiveFile(RegRoot::LocalMachine)) == before);

    // A delete of a missing value under a missing key creates the key, and nothing more.
    EXPECT_FALSE(DeleteRegValue(platform, RegRoot::CurrentUser, kRunKey, "absent.exe"));
    EXPECT_NE(hiveText(RegRoot::CurrentUser)
                  .find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]"
                        "\r\n\r\n"),
              std::string::npos);
}

// A call that would change nothing answers from the hive as the file holds it, without the lock
// (here a folder where the lock file belongs, which no lock can be taken on); a real change
// needs the lock.
TEST_F(PosixRegistry, OnlyARealChangeTakesTheLock) {
    ASSERT_TRUE(platform.setValue(RegRoot::LocalMachine, kRunKey, "kept.exe", Text("x")));
    const std::string lock = platform.hiveFile(RegRoot::LocalMachine) + ".lock";
    fs::remove(lock);
    fs::create_directory(lock);
    const std::string before = hiveText(RegRoot::LocalMachine);
    const struct {
        const char* call;
        std::function<bool()> run;
        bool answer;
    } cases[] = {
        {"create an existing key",
         [&] { return platform.createKey(RegRoot::LocalMachine, kRunKey); }, true},
        {"set a value as it is",
         [&] { return platform.setValue(RegRoot::LocalMachine, kRunKey, "KEPT.EXE", Text("x")); },
         true},
        {"delete a missing value",
         [&] { return DeleteRegValue(platform, RegRoot::LocalMachine, kRunKey, "absent.exe"); },
         false},
        {"create a missing key",
         [&] { return platform.createKey(RegRoot::LocalMachine, "Software\\New"); }, false},
        {"change a value",
         [&] { return platform.setValue(RegRoot::LocalMachine, kRunKey, "kept.exe", Text("y")); },
         false},
        {"delete a value",
         [&] { return platform.deleteValue(RegRoot::LocalMachine, kRunKey, "kept.exe"); }, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.run(), c.answer) << c.call;
    EXPECT_EQ(hiveText(RegRoot::LocalMachine), before);
}

// The hive kept between calls never hides a change made to the file by someone else: in place
// with the same size, or by a new file renamed over it.
TEST_F(PosixRegistry, AKeptHiveFollowsTheFile) {
    const std::string hive = platform.hiveFile(RegRoot::CurrentUser);
    const auto text = [](char digit) {
        return std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"v\"=\"") + digit +
               "\"\r\n\r\n";
    };
    test::WriteFile(hive, text('0'));
    for (char digit = '1'; digit <= '4'; ++digit) {
        const std::string before(1, static_cast<char>(digit - 1)), after(1, digit);
        // Settled, so that the hive read now is kept and trusted by the file's stamp alone.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, "K", "v")->text, before);
        if (digit % 2) {
            test::WriteFile(hive, text(digit));
        } else {
            test::WriteFile(hive + ".new", text(digit));
            fs::rename(hive + ".new", hive);
        }
        EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, "K", "v")->text, after);
    }
    // A change builds on the file as it is, not on the hive that was kept.
    test::WriteFile(hive, text('5'));
    ASSERT_TRUE(platform.setValue(RegRoot::CurrentUser, "K", "w", Text("x")));
    EXPECT_EQ(platform.queryValue(RegRoot::CurrentUser, "K", "v")->text, "5");
}

TEST_F(PosixRegistry, ARefusingHiveChangesNothing) {
    ASSERT_TRUE(platform.setValue(RegRoot::LocalMachine, "Software\\K", "v", Text("old")));
    const std::string before = hiveText(RegRoot::LocalMachine);
    platform.setRefuseRegistryWrites(RegRoot::LocalMachine, true);

    EXPECT_FALSE(platform.setValue(RegRoot::LocalMachine, "Software\\K", "v", Text("new")));
    EXPECT_FALSE(platform.setValue(RegRoot::ClassesRoot, "txtfile", "", Text("new")));
    EXPECT_FALSE(platform.createKey(RegRoot::LocalMachine, "Software\\K"));
    EXPECT_FALSE(platform.deleteValue(RegRoot::LocalMachine, "Software\\K", "v"));
    EXPECT_EQ(platform.queryValue(RegRoot::LocalMachine, "Software\\K", "v")->text, "old");
    EXPECT_EQ(hiveText(RegRoot::LocalMachine), before);
    EXPECT_TRUE(platform.setValue(RegRoot::CurrentUser, "Software\\K", "v", Text("user")));

    platform.setRefuseRegistryWrites(RegRoot::LocalMachine, false);
    EXPECT_TRUE(platform.setValue(RegRoot::LocalMachine, "Software\\K", "v", Text("new")));
}

TEST_F(PosixRegistry, AHiveThatCannotBeWrittenRefuses) {
    fs::remove_all(root.path + "/Registry");
    test::WriteFile(root.path + "/Registry", "a file where the folder belongs");
    EXPECT_FALSE(platform.setValue(RegRoot::CurrentUser, "Software\\K", "v", Text("x")));
    EXPECT_FALSE(platform.createKey(RegRoot::CurrentUser, "Software\\K"));
    EXPECT_FALSE(platform.queryValue(RegRoot::CurrentUser, "Software\\K", "v"));
}

TEST_F(PosixRegistry, AReadOnlyHiveRefusesAndStaysReadOnly) {
    ASSERT_TRUE(platform.setValue(RegRoot::LocalMachine, "Software\\K", "v", Text("old")));
    const std::string hive = platform.hiveFile(RegRoot::LocalMachine);
    const std::string before = hiveText(RegRoot::LocalMachine);
    fs::permissions(hive, fs::perms::owner_write, fs::perm_options::remove);

    EXPECT_FALSE(platform.setValue(RegRoot::LocalMachine, "Software\\K", "v", Text("new")));
    EXPECT_FALSE(platform.setValue(RegRoot::ClassesRoot, "txtfile", "", Text("new")));
    EXPECT_FALSE(platform.createKey(RegRoot::LocalMachine, "Software\\New"));
    EXPECT_FALSE(platform.deleteValue(RegRoot::LocalMachine, "Software\\K", "v"));
    EXPECT_EQ(platform.queryValue(RegRoot::LocalMachine, "Software\\K", "v")->text, "old");
    EXPECT_EQ(hiveText(RegRoot::LocalMachine), before);
    EXPECT_EQ(fs::status(hive).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_TRUE(platform.setValue(RegRoot::CurrentUser, "Software\\K", "v", Text("user")));

    fs::permissions(hive, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(platform.setValue(RegRoot::LocalMachine, "Software\\K", "v", Text("new")));
}

TEST_F(PosixRegistry, RefusesNamesAndTextThatWouldBreakTheFile) {
    EXPECT_FALSE(platform.setValue(RegRoot::CurrentUser, "Software\\K", "a\r\nb", Text("x")));
    EXPECT_FALSE(platform.setValue(RegRoot::CurrentUser, "Software\\K", "v",
                                   Text("x\n[HKEY_CURRENT_USER\\Injected]")));
    EXPECT_FALSE(platform.createKey(RegRoot::CurrentUser, "Software\\K\n[Injected]"));
    EXPECT_FALSE(fs::exists(platform.hiveFile(RegRoot::CurrentUser)));
}

TEST_F(PosixRegistry, ThreadsAndInstancesWritingAtOnceLoseNothing) {
    PosixPlatform second(root.path);
    constexpr int kThreads = 4, kValues = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Platform& target = t % 2 ? static_cast<Platform&>(second) : platform;
            for (int v = 0; v < kValues; ++v)
                target.setValue(RegRoot::CurrentUser, "Software\\Load",
                                "t" + std::to_string(t) + "v" + std::to_string(v), Text("x"));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        for (int v = 0; v < kValues; ++v) {
            const std::string name = "t" + std::to_string(t) + "v" + std::to_string(v);
            EXPECT_TRUE(platform.queryValue(RegRoot::CurrentUser, "Software\\Load", name)) << name;
        }
    }
}

TEST_F(PosixRegistry, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kValues = 60;
    const auto writeAll = [&](Platform& target, const std::string& prefix) {
        for (int v = 0; v < kValues; ++v)
            target.setValue(RegRoot::LocalMachine, kRunKey, prefix + std::to_string(v), Text("x"));
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PosixPlatform own(root.path);
        writeAll(own, "child");
        ::_exit(0);
    }
    writeAll(platform, "parent");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const char* prefix : {"child", "parent"}) {
        for (int v = 0; v < kValues; ++v) {
            const std::string name = prefix + std::to_string(v);
            EXPECT_TRUE(platform.queryValue(RegRoot::LocalMachine, kRunKey, name)) << name;
        }
    }
    // No temporary file is left beside the hives.
    std::vector<std::string> files;
    for (const auto& item : fs::directory_iterator(root.path + "/Registry"))
        files.push_back(item.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files,
              (std::vector<std::string>{"HKEY_LOCAL_MACHINE.reg", "HKEY_LOCAL_MACHINE.reg.lock"}));
}

} // namespace
} // namespace pestrel
