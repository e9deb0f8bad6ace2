#pragma once
// The one name comparison of the engine: ASCII letters a-z compare equal to A-Z, every other
// byte compares as it is.

#include <string>
#include <string_view>

namespace pestrel {

constexpr char UpperAsciiChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// `text` with a-z made A-Z: the key under which a name is found whatever its case.
inline std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = UpperAsciiChar(c);
    return upper;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAsciiChar(a[i]) != UpperAsciiChar(b[i]))
            return false;
    }
    return true;
}

} // namespace pestrel
