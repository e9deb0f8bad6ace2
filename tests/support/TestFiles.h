#pragma once
// Plain file helpers for the tests, in standard C++.

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

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

} // namespace pestrel::test
