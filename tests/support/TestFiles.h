#pragma once
// Plain file helpers for the tests, in standard C++.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace pestrel::test {

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

#ifndef _WIN32
// Whether process `id` runs the file at `path` by now, waiting a bounded time for it.
inline bool RunsFile(std::uint32_t id, const std::string& path) {
    const std::filesystem::path link = "/proc/" + std::to_string(id) + "/exe";
    for (int wait = 0; wait < 5000; ++wait) {
        std::error_code error;
        if (std::filesystem::read_symlink(link, error) == path)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
#endif

} // namespace pestrel::test
