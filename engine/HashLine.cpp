#include "engine/HashLine.h"

#include "base/AsciiCase.h"

#include <algorithm>

namespace pestrel {
namespace {

constexpr std::string_view kPrefix = "sha256:";
constexpr std::size_t kHexDigits = 64;

// The line without the blanks (bytes 0..32) at either end.
std::string_view Trimmed(std::string_view line) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    return line;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

ListLineKind KindOfListLine(std::string_view line) {
    line = Trimmed(line);
    if (line.size() < kPrefix.size() ||
        !EqualsIgnoringAsciiCase(line.substr(0, kPrefix.size()), kPrefix))
        return ListLineKind::Name;
    const std::string_view digits = line.substr(kPrefix.size());
    return digits.size() == kHexDigits && std::all_of(digits.begin(), digits.end(), IsHexDigit)
               ? ListLineKind::Hash
               : ListLineKind::MalformedHash;
}

std::optional<std::string> HashOfListLine(std::string_view line) {
    if (KindOfListLine(line) != ListLineKind::Hash)
        return std::nullopt;
    std::string digits(Trimmed(line).substr(kPrefix.size()));
    std::transform(digits.begin(), digits.end(), digits.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c + 32) : c; });
    return digits;
}

std::vector<std::string> MalformedHashWarnings(const std::vector<std::string>& lines) {
    std::vector<std::string> warnings;
    for (const std::string& line : lines) {
        if (KindOfListLine(line) == ListLineKind::MalformedHash)
            warnings.push_back("'" + line +
                               "' is not sha256: and 64 hex digits; it matches no file");
    }
    return warnings;
}

} // namespace pestrel
