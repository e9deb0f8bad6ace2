#include "engine/FileBytes.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace pestrel {
namespace {

std::string TemporaryNameBeside(const std::string& path) {
    // Unique across the threads of this process (counter) and across processes (random part,
    // drawn per call so that a forked copy does not repeat its parent's names).
    static std::atomic<unsigned long long> counter{0};
    return path + ".~" + std::to_string(std::random_device{}()) + "-" + std::to_string(++counter) +
           ".tmp";
}

bool WriteWhole(const std::string& path, const char* mode, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return bytes;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = TemporaryNameBeside(path);
    std::error_code error;
    if (WriteWhole(temporary, "wb", bytes)) {
        std::filesystem::rename(temporary, path, error);
        if (!error)
            return true;
    }
    std::filesystem::remove(temporary, error);
    return false;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    return WriteWhole(path, "ab", bytes);
}

} // namespace pestrel
