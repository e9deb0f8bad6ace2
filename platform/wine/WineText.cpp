#include "platform/wine/WineText.h"

#include "base/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace pestrel::wine {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One code point from UTF-8 at `text[i]`, advancing `i`; nothing for a malformed sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const int extra = lead < 0x80   ? 0
                      : lead < 0xC2 ? -1
                      : lead < 0xE0 ? 1
                      : lead < 0xF0 ? 2
                      : lead < 0xF5 ? 3
                                    : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size())
        return std::nullopt;
    char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        point = (point << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (point < kSmallest[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return std::nullopt;
    i += static_cast<std::size_t>(extra) + 1;
    return point;
}

// Collects UTF-16 units as UTF-8; an unpaired surrogate becomes U+FFFD.
class Utf8Writer {
public:
    explicit Utf8Writer(std::size_t expected) { out_.reserve(expected); }
    void ascii(char c) {
        flush();
        out_ += c;
    }
    void unit(char16_t u) {
        if (u >= 0xDC00 && u <= 0xDFFF && high_) {
            AppendUtf8(out_, 0x10000 + ((char32_t{high_} - 0xD800) << 10) + (u - 0xDC00));
            high_ = 0;
            return;
        }
        flush();
        if (u >= 0xD800 && u <= 0xDBFF)
            high_ = u;
        else
            AppendUtf8(out_, u >= 0xDC00 && u <= 0xDFFF ? char32_t{0xFFFD} : char32_t{u});
    }
    void point(char32_t p) {
        flush();
        AppendUtf8(out_, p);
    }
    std::string finish() {
        flush();
        return std::move(out_);
    }

private:
    void flush() {
        if (high_)
            AppendUtf8(out_, 0xFFFD);
        high_ = 0;
    }
    std::string out_;
    char16_t high_ = 0;
};

constexpr char kControlEscapes[33] = ".......abtnvfr.............e....";

} // namespace

std::optional<std::string> Unescape(std::string_view text, char close, std::size_t& length) {
    Utf8Writer out(text.size());
    std::size_t i = 0;
    while (i < text.size() && text[i] != close) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) < 0x80 && c != '\\') {
            out.ascii(c);
            ++i;
            continue;
        }
        if (c != '\\') {
            const std::optional<char32_t> point = NextCodePoint(text, i);
            if (!point)
                return std::nullopt;
            out.point(*point);
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        const char escaped = text[i++];
        if (escaped == 'x') {
            unsigned value = 0;
            int digits = 0;
            for (; digits < 4 && i < text.size() && HexDigit(text[i]) >= 0; ++digits)
                value = value * 16 + static_cast<unsigned>(HexDigit(text[i++]));
            out.unit(digits ? static_cast<char16_t>(value) : u'x');
        } else if (escaped >= '0' && escaped <= '7') {
            unsigned value = static_cast<unsigned>(escaped - '0');
            for (int digits = 1; digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7';
                 ++digits)
                value = value * 8 + static_cast<unsigned>(text[i++] - '0');
            out.unit(static_cast<char16_t>(value));
        } else {
            const std::size_t control = std::string_view(kControlEscapes, 32).find(escaped);
            out.unit(escaped != '.' && control != std::string_view::npos
                         ? static_cast<char16_t>(control)
                         : static_cast<char16_t>(static_cast<unsigned char>(escaped)));
        }
    }
    if (i == text.size())
        return std::nullopt;
    length = i;
    return out.finish();
}

std::optional<std::string> Escape(std::string_view text, std::string_view delimiters) {
    std::vector<char16_t> units;
    units.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::optional<char32_t> point = NextCodePoint(text, i);
        if (!point || *point == 0)
            return std::nullopt;
        if (*point >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((*point - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((*point - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(*point));
        }
    }
    std::string out;
    out.reserve(text.size() + 8);
    char buffer[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool nextIsHex = i + 1 < units.size() && units[i + 1] < 128 &&
                               HexDigit(static_cast<char>(units[i + 1])) >= 0;
        const bool nextIsOctal =
            i + 1 < units.size() && units[i + 1] >= u'0' && units[i + 1] <= u'7';
        if (unit > 127) {
            std::snprintf(buffer, sizeof buffer, nextIsHex ? "\\x%04x" : "\\x%x", unsigned{unit});
            out += buffer;
        } else if (unit < 32) {
            if (kControlEscapes[unit] != '.')
                std::snprintf(buffer, sizeof buffer, "\\%c", kControlEscapes[unit]);
            else
                std::snprintf(buffer, sizeof buffer, nextIsOctal ? "\\%03o" : "\\%o",
                              unsigned{unit});
            out += buffer;
        } else {
            const char c = static_cast<char>(unit);
            if (c == '\\' || delimiters.find(c) != std::string_view::npos)
                out += '\\';
            out += c;
        }
    }
    return out;
}

} // namespace pestrel::wine
