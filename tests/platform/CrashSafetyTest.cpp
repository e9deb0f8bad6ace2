// Real writer processes (tests/helpers/FileWriterMain.cpp) killed mid-write, and writing one
// hive at once.
#include "base/FileBytes.h"
#include "engine/WorkFiles.h"
#include "platform/posix/PosixHeldFolder.h"
#include "platform/posix/RegistryHive.h"
#include "tests/helpers/Generation.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pestrel {
namespace {

namespace fs = std::filesystem;

// On a memory file system where there is one: these tests are about locking and atomic
// replacement, and every flush to a real disk would cost milliseconds.
class FastFolder {
public:
    FastFolder() {
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        std::string pattern = (base / "pestrel-crash-XXXXXX").string();
        path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~FastFolder() { fs::remove_all(path); }
    std::string path;
};

// Starts the file writer; with `output`, its standard output goes to that pipe end.
pid_t StartWriter(std::vector<std::string> arguments, int output = -1) {
    arguments.insert(arguments.begin(), PESTREL_FILE_WRITER);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output >= 0)
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

bool ExitedWell(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::optional<RegistryHive> HiveAt(const std::string& root) {
    const auto text = ReadFileBytes(root + "/Registry/HKEY_CURRENT_USER.reg");
    return text ? std::optional(RegistryHive::Parse("HKEY_CURRENT_USER", *text)) : std::nullopt;
}

TEST(CrashSafety, AWriterKilledAtAnyMomentLeavesWholeFiles) {
    FastFolder root;
    ASSERT_FALSE(root.path.empty());
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pauseUs(0, 15000);
    for (int kill = 0; kill < 100; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill) + ", seed " + std::to_string(seed));
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const long long first = kill * 1'000'000LL;
        const pid_t writer = StartWriter({root.path, "cycle", std::to_string(first)}, pipeEnds[1]);
        ::close(pipeEnds[1]);
        if (writer <= 0)
            ::close(pipeEnds[0]);
        ASSERT_GT(writer, 0) << "the writer did not start"; // kill(-1) would reach every process
        char line[16] = {};
        const ssize_t got = ::read(pipeEnds[0], line, sizeof line);
        ::close(pipeEnds[0]);
        ::usleep(static_cast<useconds_t>(pauseUs(random)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        ASSERT_GT(got, 0) << "the writer never wrote its first generation";

        // Each file holds one whole generation, at least the one written before the signal.
        const auto app = PosixHeldFolder::Open(root.path + "/app");
        ASSERT_TRUE(app);
        std::vector<std::string> entries;
        ASSERT_TRUE(ReadTextLines(*app, "VirusList.txt", entries));
        EXPECT_GE(test::GenerationOf(entries).value_or(-1), first);
        const std::string version = app->readProfileString("Config.ini", "RunData", "Version", "");
        EXPECT_GE(test::GenerationOf(version).value_or(-1), first) << version;
        const std::optional<RegistryHive> hive = HiveAt(root.path);
        ASSERT_TRUE(hive);
        const std::optional<RegValue> payload = hive->value(test::kGenerationKey, "Payload");
        ASSERT_TRUE(payload);
        EXPECT_GE(test::GenerationOf(payload->text).value_or(-1), first) << payload->text;
        if (HasFailure())
            return;
    }
}

TEST(CrashSafety, TwoProcessesChangingOneHiveLoseNoChange) {
    FastFolder root;
    ASSERT_FALSE(root.path.empty());
    constexpr int kChanges = 500;
    const pid_t first = StartWriter({root.path, "values", "a", std::to_string(kChanges)});
    const pid_t second = StartWriter({root.path, "values", "b", std::to_string(kChanges)});
    ASSERT_TRUE(first > 0 && second > 0);
    EXPECT_TRUE(ExitedWell(first));
    EXPECT_TRUE(ExitedWell(second));
    const std::optional<RegistryHive> hive = HiveAt(root.path);
    ASSERT_TRUE(hive);
    int found = 0;
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < kChanges; ++i) {
            const auto value = hive->value(test::kGenerationKey, prefix + std::to_string(i));
            found += value && value->text == std::to_string(i);
        }
    }
    EXPECT_EQ(found, 2 * kChanges);
}

} // namespace
} // namespace pestrel
