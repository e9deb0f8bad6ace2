// The Windows backend's change watch on real folders and the real (sandboxed) registry.
#include "platform/win32/Win32Platform.h"
#include "tests/support/TestFiles.h"
#include "tests/support/win32/RegistrySandbox.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class Win32ChangeWatch : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("pestrel-watch-" + std::to_string(GetCurrentProcessId()) +
                                         "-" + std::to_string(++made_));
        for (const char* folder : {"System32", "Startup", "Elsewhere"})
            fs::create_directories(root_ / folder);
        watch_ = platform_.watchChanges({folder("System32")}, {folder("Startup")},
                                        {{RegRoot::CurrentUser, kRun}});
        ASSERT_TRUE(watch_);
    }
    void TearDown() override {
        watch_.reset();
        fs::remove_all(root_);
    }
    std::string folder(const std::string& name) const { return (root_ / name).string() + "\\"; }

    // Everything heard within two seconds, or until `enough` holds.
    WatchedChanges heard(const std::function<bool(const WatchedChanges&)>& enough) {
        WatchedChanges all;
        for (const auto end = Clock::now() + std::chrono::seconds(2);
             !enough(all) && Clock::now() < end;) {
            WatchedChanges some = watch_->wait(100);
            all.arrivals.insert(all.arrivals.end(), some.arrivals.begin(), some.arrivals.end());
            all.lostTrack = all.lostTrack || some.lostTrack;
            all.autostartChanged = all.autostartChanged || some.autostartChanged;
        }
        return all;
    }

    static constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static inline int made_ = 0;
    test::RegistrySandbox sandbox_;
    Win32Platform platform_;
    fs::path root_;
    std::unique_ptr<ChangeWatch> watch_;
};

bool Arrived(const WatchedChanges& changes, const std::string& folder, const std::string& name) {
    for (const WatchedChanges::Arrival& arrival : changes.arrivals) {
        if (arrival.folder == folder && arrival.name == name)
            return true;
    }
    return false;
}

TEST_F(Win32ChangeWatch, FilesThatAppearInAWatchedFolderAreNamed) {
    const std::string system = folder("System32");
    test::WriteFile(system + "written.exe", "MZ");
    test::WriteFile(folder("Elsewhere") + "moved.exe", "MZ");
    fs::rename(folder("Elsewhere") + "moved.exe", system + "moved.exe");
    const WatchedChanges changes = heard([&](const WatchedChanges& all) {
        return Arrived(all, system, "written.exe") && Arrived(all, system, "moved.exe");
    });
    EXPECT_TRUE(Arrived(changes, system, "written.exe"));
    EXPECT_TRUE(Arrived(changes, system, "moved.exe"));
    EXPECT_FALSE(changes.autostartChanged);
}

TEST_F(Win32ChangeWatch, ANameTheCodePageCannotCarryLosesTrack) {
    // U+4E00 and U+0100 are not both in any single-byte or Chinese code page.
    const std::wstring name = L"\u4e00\u0100.exe";
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "the code page carries every name";
    const std::wstring path = fs::path(folder("System32")).wstring() + name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(heard([](const WatchedChanges& all) { return all.lostTrack; }).lostTrack);
}

TEST_F(Win32ChangeWatch, AutostartFoldersAndStartupKeysTellOfAnyChange) {
    const std::function<void()> changes[] = {
        [&] { test::WriteFile(folder("Startup") + "task.xml", "<Task/>"); },
        // The key is missing when the watch starts: the root is listened to until it exists.
        [&] { ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, kRun, "First", {})); },
        // Once it exists, it is listened to itself.
        [&] { ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, kRun, "Second", {})); },
    };
    int row = 0;
    for (const auto& change : changes) {
        change();
        const WatchedChanges heardOf =
            heard([](const WatchedChanges& all) { return all.autostartChanged; });
        EXPECT_TRUE(heardOf.autostartChanged) << "row " << row;
        EXPECT_TRUE(heardOf.arrivals.empty()) << "row " << row;
        ++row;
    }
    EXPECT_FALSE(watch_->wait(100).autostartChanged);
}

} // namespace
} // namespace pestrel
