#include "platform/wine/WineHiveFile.h"

#include "base/FileBytes.h"
#include "base/SafeFile.h"

#include <ctime>
#include <sys/stat.h>

namespace pestrel::wine {
namespace {

// A change time at least this old cannot be shared by a later write, whatever the granularity
// of the file system's clock.
constexpr std::int64_t kSettledNs = 100'000'000;

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace

std::optional<WineHiveFile::Identity> WineHiveFile::identity() const {
    struct stat info {};
    if (!StatWithoutLinks(path_, info))
        return std::nullopt;
    return Identity{static_cast<std::uint64_t>(info.st_dev),
                    static_cast<std::uint64_t>(info.st_ino),
                    static_cast<std::uint64_t>(info.st_size), Nanoseconds(info.st_mtim),
                    Nanoseconds(info.st_ctim)};
}

WineHive* WineHiveFile::load() {
    timespec clock{};
    ::clock_gettime(CLOCK_REALTIME, &clock);
    // Taken before reading: should the file change in between, the next identity differs.
    const std::optional<Identity> now = identity();
    if (now && loadedFrom_ == now)
        return hive_ ? &*hive_ : nullptr;
    hive_.reset();
    loadedFrom_.reset();
    std::optional<std::string> bytes = ReadFileBytes(path_);
    if (!now || !bytes) {
        problem_ = "it cannot be read";
        return nullptr;
    }
    if (now->changed + kSettledNs < Nanoseconds(clock))
        loadedFrom_ = now;
    std::variant<WineHive, HiveError> parsed = WineHive::Parse(std::move(*bytes));
    if (const HiveError* error = std::get_if<HiveError>(&parsed)) {
        problem_ = "line " + std::to_string(error->line) + ": " + error->reason;
        return nullptr;
    }
    problem_.reset();
    hive_.emplace(std::move(std::get<WineHive>(parsed)));
    return &*hive_;
}

std::optional<std::string> WineHiveFile::problem() {
    std::lock_guard lock(mutex_);
    load();
    return problem_;
}

std::optional<RegValue> WineHiveFile::value(const std::string& key, const std::string& name) {
    std::lock_guard lock(mutex_);
    const WineHive* hive = load();
    return hive ? hive->value(key, name) : std::nullopt;
}

void WineHiveFile::read(const std::function<void(const WineHive&)>& look) {
    std::lock_guard lock(mutex_);
    if (const WineHive* hive = load())
        look(*hive);
}

bool WineHiveFile::modify(const std::function<Outcome(WineHive&)>& change,
                          const std::function<Gate()>& gate) {
    std::lock_guard lock(mutex_);
    switch (gate()) {
    case Gate::Closed:
        return false;
    case Gate::Reopened:
        loadedFrom_.reset();
        break;
    case Gate::Open:
        break;
    }
    WineHive* hive = load();
    if (!hive)
        return false;
    const Outcome outcome = change(*hive);
    if (!outcome.changed)
        return outcome.answer;
    // Read afresh next time: the new file has not settled, so its identity cannot prove that
    // nobody wrote it since.
    loadedFrom_.reset();
    return ReplaceFileAtomically(path_, hive->serialize()) && outcome.answer;
}

} // namespace pestrel::wine
