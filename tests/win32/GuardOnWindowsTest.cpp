// The guard's poll on the Windows backend, where the system tells it of changes as they happen.
#include "engine/GuardPoll.h"
#include "engine/Public.h"
#include "tests/engine/RecordingView.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMachine.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace pestrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class GuardOnWindows : public ::testing::Test {
protected:
    void SetUp() override { StartGuard(false); }
    void StartGuard(bool cleanAutostart) {
        context_.cleanAutostart = cleanAutostart;
        poll_ = std::thread([this] {
            RunGuardPoll(
                context_, view_,
                [this] {
                    ++listReads_;
                    return std::vector<std::string>{"guarded.exe"};
                },
                [](std::size_t) {}, stop_);
        });
        // The poll reads its list once before it starts watching and again in its first round,
        // after its first look through the watched places: past that, it hears of every change.
        const Clock::time_point start = Clock::now();
        while (listReads_ < 2 && Clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(milliseconds(5));
        ASSERT_GE(listReads_, 2) << "the guard's poll did not start its rounds";
    }
    void TearDown() override {
        stop_ = true;
        poll_.join();
    }

    // How long `done` took to hold, checked every 5 ms for at most three seconds.
    static milliseconds TimeUntil(const std::function<bool()>& done) {
        const Clock::time_point start = Clock::now();
        while (!done() && Clock::now() - start < std::chrono::seconds(3))
            std::this_thread::sleep_for(milliseconds(5));
        return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    test::TestMachine machine_;
    Context& context_ = machine_.context();
    test::RecordingView view_{{}};
    std::atomic<bool> stop_{false};
    std::atomic<int> listReads_{0};
    std::thread poll_;
};

// Without hearing of it, the poll would find the file only at its next look, a second apart.
TEST_F(GuardOnWindows, AListedFileDroppedIntoTheSystemFolderGoesAtOnce) {
    const std::string path = context_.SysDir + "Guarded.exe";
    test::WriteFile(path, "MZ dropped");
    const milliseconds took = TimeUntil([&] { return !test::Exists(path); });
    EXPECT_LT(took, milliseconds(500));
    RecordProperty("dropped_file_gone_ms", std::to_string(took.count()));
}

// The plain guard takes the start-up value named like the entry; with the choice of cleaning
// autostart places, also a value of another name that runs the listed program.
class GuardOnWindowsRunValues : public GuardOnWindows, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { StartGuard(GetParam()); }
};

TEST_P(GuardOnWindowsRunValues, ValuesWrittenMeanwhileGoAsTheChoiceSays) {
    const bool cleanAutostart = GetParam();
    for (const char* name : {"guarded.exe", "Updater"}) {
        ASSERT_TRUE(context_.platform.setValue(RegRoot::CurrentUser, kRunKey, name,
                                               {RegText, "C:\\Tools\\guarded.exe"}));
    }
    ASSERT_TRUE(context_.platform.setValue(RegRoot::CurrentUser, kRunKey, "Other",
                                           {RegText, "C:\\Tools\\other.exe"}));
    TimeUntil([&] {
        return !context_.platform.queryValue(RegRoot::CurrentUser, kRunKey, "guarded.exe") &&
               (!cleanAutostart ||
                !context_.platform.queryValue(RegRoot::CurrentUser, kRunKey, "Updater"));
    });
    EXPECT_FALSE(context_.platform.queryValue(RegRoot::CurrentUser, kRunKey, "guarded.exe"));
    EXPECT_EQ(context_.platform.queryValue(RegRoot::CurrentUser, kRunKey, "Updater").has_value(),
              !cleanAutostart);
    EXPECT_TRUE(context_.platform.queryValue(RegRoot::CurrentUser, kRunKey, "Other"));
}

INSTANTIATE_TEST_SUITE_P(PlainAndCleaning, GuardOnWindowsRunValues, ::testing::Bool());

} // namespace
} // namespace pestrel
