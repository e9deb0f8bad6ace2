#include "platform/wine/WineHiveFile.h"

#include "base/FileBytes.h"

#include <sys/stat.h>

namespace pestrel::wine {

std::optional<WineHiveFile::Identity> WineHiveFile::identity() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0)
        return std::nullopt;
    return Identity{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

WineHive* WineHiveFile::load() {
    const std::optional<Identity> now = identity();
    if (now && loadedFrom_ == now)
        return hive_ ? &*hive_ : nullptr;
    hive_.reset();
    loadedFrom_ = now;
    std::optional<std::string> bytes = ReadFileBytes(path_);
    if (!now || !bytes) {
        problem_ = "it cannot be read";
        loadedFrom_.reset();
        return nullptr;
    }
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
    const bool written = ReplaceFileAtomically(path_, hive->serialize());
    loadedFrom_ = written ? identity() : std::nullopt;
    if (!written)
        hive_.reset();
    return written && outcome.answer;
}

} // namespace pestrel::wine
