#pragma once
// The contents the file writer gives each generation, made so that any mix of two generations,
// or a cut-off one, is told apart from a whole one.

#include <optional>
#include <string>
#include <vector>

namespace pestrel::test {

inline constexpr const char* kGenerationKey = "Software\\Pestrel\\Crash";

// "g,g,g,...," with a length that differs from one generation to the next.
inline std::string GenerationText(long long generation) {
    std::string text;
    for (long long i = 0; i < 20 + generation % 37; ++i)
        text += std::to_string(generation) + ",";
    return text;
}

inline std::vector<std::string> GenerationEntries(long long generation) {
    std::vector<std::string> entries;
    for (long long i = 0; i < 10 + generation % 23; ++i)
        entries.push_back("virus-" + std::to_string(generation) + "-" + std::to_string(i) + ".exe");
    return entries;
}

// The generation a text or a list stands for, or nothing when it is none of them whole.
inline std::optional<long long> GenerationOf(const std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    const long long generation = std::atoll(text.substr(0, comma).c_str());
    return GenerationText(generation) == text ? std::optional(generation) : std::nullopt;
}

inline std::optional<long long> GenerationOf(const std::vector<std::string>& entries) {
    if (entries.empty())
        return std::nullopt;
    const std::string& first = entries.front();
    const long long generation = std::atoll(first.substr(first.find('-') + 1).c_str());
    return GenerationEntries(generation) == entries ? std::optional(generation) : std::nullopt;
}

} // namespace pestrel::test
