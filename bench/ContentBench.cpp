// Matching by content against the plain tools: hashing 1 GiB in 1,000 files against sha256sum,
// scanning them with 100 YARA rules against the yara tool, and a kill pass over 1,000 hash
// lines against one over 1,000 names.
#include "bench/Figures.h"
#include "engine/ContentScan.h"
#include "engine/Context.h"
#include "engine/KillPass.h"
#include "platform/posix/PosixPlatform.h"
#include "rules/YaraRules.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using pestrel::bench::SecondsOf;

constexpr int kFiles = 1000;
constexpr std::size_t kFileBytes = 1u << 20;
constexpr int kRounds = 3;

// A private machine whose folder Files/ holds 1,000 files of 1 MiB of random bytes, and Rules/
// 100 rules that match none of them.
class ContentMachine {
public:
    ContentMachine()
        : root_(fs::temp_directory_path() / ("pestrel-content-bench-" + std::to_string(getpid()))),
          platform_(root_ / "data", (root_ / "app" / "pestrel").string()) {
        fs::remove_all(root_);
        fs::create_directories(files());
        fs::create_directories(rules());
        std::mt19937_64 random(1);
        std::string bytes(kFileBytes, '\0');
        for (int i = 0; i < kFiles; ++i) {
            for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
                const std::uint64_t word = random();
                std::memcpy(bytes.data() + at, &word, 8);
            }
            std::ofstream(files() + "f" + std::to_string(i) + ".bin", std::ios::binary) << bytes;
        }
        std::ofstream rulesFile(rules() + "hundred.yar");
        for (int i = 0; i < 100; ++i) {
            char rule[160];
            std::snprintf(rule, sizeof rule,
                          "rule r%d { strings: $a = \"pestrel-absent-%d\" $b = { 4D 5A ?? 00 %02X "
                          "7F } condition: $a or $b }\n",
                          i, i, i);
            rulesFile << rule;
        }
    }
    ~ContentMachine() { fs::remove_all(root_); }

    pestrel::PosixPlatform& platform() { return platform_; }
    std::string files() const { return (root_ / "Files").string() + "/"; }
    std::string rules() const { return (root_ / "Rules").string() + "/"; }

private:
    fs::path root_;
    pestrel::PosixPlatform platform_;
};

double CommandSeconds(const std::string& command) {
    return SecondsOf([&] {
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
            std::abort();
    });
}

// Every file hashed once, as a pass with hash lines reads a folder (nothing matches).
void BM_HashingVsSha256sum(benchmark::State& state) {
    ContentMachine machine;
    const std::string files = machine.files();
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "hashing_1gib_in_1000_files_vs_sha256sum", 1.1, kRounds,
            [&] {
                return SecondsOf([&] {
                    pestrel::ContentScan scan({std::string(64, '0')});
                    scan.walk(machine.platform().holdFolder(files), 0);
                });
            },
            [&] { return CommandSeconds("sha256sum " + files + "*"); });
    }
}
BENCHMARK(BM_HashingVsSha256sum)->Iterations(1)->Unit(benchmark::kSecond);

// The rules compiled and every file scanned with them, as a pass scans a folder, against the
// yara tool with the same rules on the same files.
void BM_RulesVsYara(benchmark::State& state) {
    ContentMachine machine;
    const std::string files = machine.files();
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "100_rules_over_1000_files_vs_yara", 1.2, kRounds,
            [&] {
                return SecondsOf([&] {
                    const pestrel::RulesLoad load =
                        pestrel::LoadRules(machine.platform(), {machine.rules()});
                    pestrel::ContentScan scan({}, load.rules.get());
                    if (!scan.walk(machine.platform().holdFolder(files), 0).empty())
                        std::abort();
                });
            },
            [&] { return CommandSeconds("yara -f " + machine.rules() + "hundred.yar " + files); });
    }
}
BENCHMARK(BM_RulesVsYara)->Iterations(1)->Unit(benchmark::kSecond);

// A kill pass over 1,000 hash lines (which also looks at every running program and every file of
// the Windows and System folders, 1,000 of them) against one over 1,000 names; the file cache
// and the digest cache are warm.
void BM_HashLinesVsNames(benchmark::State& state) {
    ContentMachine machine;
    pestrel::Context context(machine.platform());
    pestrel::InitialiseContext(context);
    fs::create_directories(context.AppPath);
    fs::create_directories(context.SysDir);
    for (int i = 0; i < kFiles; ++i)
        std::ofstream(context.SysDir + "lib" + std::to_string(i) + ".dll") << "library " << i;
    std::vector<std::string> hashes, names;
    for (int i = 0; i < kFiles; ++i) {
        char hash[65];
        std::snprintf(hash, sizeof hash, "%064x", i);
        hashes.push_back("sha256:" + std::string(hash));
        names.push_back("absent-" + std::to_string(i) + ".exe");
    }
    pestrel::FixedList byHash(hashes), byName(names);
    pestrel::PassLog reports;
    // The digests taken, as on every pass of a window after its first.
    pestrel::RunKillPass(context, byHash, reports);
    for (auto _ : state) {
        pestrel::bench::ReportInterleavedFigure(
            "kill_pass_1000_hash_lines_vs_1000_names", 1.5, kRounds,
            [&] { return SecondsOf([&] { pestrel::RunKillPass(context, byHash, reports); }); },
            [&] { return SecondsOf([&] { pestrel::RunKillPass(context, byName, reports); }); });
    }
}
BENCHMARK(BM_HashLinesVsNames)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
