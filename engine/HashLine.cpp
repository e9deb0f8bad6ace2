#include "engine/HashLine.h"

#include "base/AsciiCase.h"
#include "engine/WorkFiles.h"

#include <algorithm>

namespace pestrel {
namespace {

constexpr std::string_view kPrefix = "sha256:";
constexpr std::size_t kHexDigits = 64;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

ListLineKind KindOfListLine(std::string_view text) {
    const std::string trimmed = TrimBlanks(std::string(text));
    const std::string_view line = trimmed;
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
    std::string digits = TrimBlanks(std::string(line)).substr(kPrefix.size());
    std::transform(digits.begin(), digits.end(), digits.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c + 32) : c; });
    return digits;
}

std::vector<std::string> MalformedHashWarnings(const std::vector<std::string>& lines) {
    std::vector<std::string> warnings;
    for (const std::string& line : lines) {
        if (KindOfListLine(line) == ListLineKind::MalformedHash)
            warnings.push_back(
                "'" + line +
                "' is not a hash line (sha256: and 64 hex digits); it matches no file");
    }
    return warnings;
}

} // namespace pestrel
