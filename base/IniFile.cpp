#include "base/IniFile.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"

#include <vector>

namespace pestrel::ini {
namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, and where its value starts.
std::optional<std::string_view> KeyOf(std::string_view line, std::size_t* valueStart = nullptr) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || SectionOf(line))
        return std::nullopt;
    if (valueStart)
        *valueStart = equals + 1;
    return Trim(line.substr(0, equals));
}

bool IsSafeText(std::string_view text) {
    return text.find_first_of("\r\n", 0) == std::string_view::npos &&
           text.find('\0') == std::string_view::npos;
}

} // namespace

bool CanStore(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view trimmedKey = Trim(key);
    return IsSafeText(section) && IsSafeText(key) && IsSafeText(value) &&
           section.find(']') == std::string_view::npos && !Trim(section).empty() &&
           !trimmedKey.empty() && key.find('=') == std::string_view::npos &&
           trimmedKey.front() != '[' && trimmedKey.front() != ';';
}

std::optional<std::string> Read(std::string_view text, std::string_view section,
                                std::string_view key) {
    section = Trim(section), key = Trim(key); // names are compared as the lines give them
    bool inSection = false;
    for (std::string_view line : SplitLines(text)) {
        if (auto name = SectionOf(line)) {
            inSection = EqualsIgnoringAsciiCase(*name, section);
            continue;
        }
        std::size_t valueStart = 0;
        auto lineKey = KeyOf(line, &valueStart);
        if (inSection && lineKey && EqualsIgnoringAsciiCase(*lineKey, key))
            return std::string(Trim(line.substr(valueStart)));
    }
    return std::nullopt;
}

std::string Write(std::string_view text, std::string_view section, std::string_view key,
                  std::string_view value) {
    section = Trim(section), key = Trim(key);
    std::vector<std::string_view> lines = SplitLines(text);
    const std::string newLine = std::string(key) + "=" + std::string(value);

    std::optional<std::size_t> insertAt; // after the last non-blank line of the section
    std::optional<std::size_t> replaceAt;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size() && !replaceAt; ++i) {
        if (auto name = SectionOf(lines[i])) {
            inSection = EqualsIgnoringAsciiCase(*name, section);
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (auto lineKey = KeyOf(lines[i]); lineKey && EqualsIgnoringAsciiCase(*lineKey, key))
            replaceAt = i;
        else if (!Trim(lines[i]).empty())
            insertAt = i + 1;
    }

    std::vector<std::string> out(lines.begin(), lines.end());
    if (replaceAt) {
        out[*replaceAt] = newLine;
    } else if (insertAt) {
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(*insertAt), newLine);
    } else {
        out.push_back("[" + std::string(section) + "]");
        out.push_back(newLine);
    }
    std::string result;
    for (const std::string& line : out)
        result += line + "\r\n";
    return result;
}

} // namespace pestrel::ini
