#include "platform/wine/WineHive.h"

#include "base/AsciiCase.h"
#include "platform/wine/WineText.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace pestrel::wine {
namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSeconds1601To1970 = 11'644'473'600;

// One logical line: its physical lines joined where a line ends in '\'.
struct Line {
    std::size_t begin = 0, end = 0; // bytes, the final line break included
    std::string_view first;         // the first physical line without its break
    std::string joined;             // the whole logical line when it was continued
    std::string_view content() const { return joined.empty() ? first : joined; }
};

std::string_view WithoutBreak(std::string_view text, std::size_t begin, std::size_t end) {
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The logical line at `pos`, or nothing when the text ends inside it.
std::optional<Line> ReadLine(std::string_view text, std::size_t pos) {
    Line line;
    line.begin = pos;
    std::size_t newline = text.find('\n', pos);
    if (newline == std::string_view::npos)
        return std::nullopt;
    line.first = WithoutBreak(text, pos, newline + 1);
    std::string_view physical = line.first;
    while (!physical.empty() && physical.back() == '\\') {
        if (line.joined.empty())
            line.joined = line.first;
        line.joined.pop_back();
        const std::size_t next = newline + 1;
        newline = text.find('\n', next);
        if (newline == std::string_view::npos)
            return std::nullopt;
        physical = WithoutBreak(text, next, newline + 1);
        const std::size_t indent = physical.find_first_not_of(" \t");
        line.joined += physical.substr(std::min(indent, physical.size()));
    }
    line.end = newline + 1;
    return line;
}

std::string_view TrimLeft(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A key line: "[escaped path]" and an optional time stamp. Sets `nameEnd` to the position of ']'.
std::optional<std::string> KeyPathOf(std::string_view line, std::size_t& nameEnd) {
    std::size_t length = 0;
    std::optional<std::string> path = Unescape(line.substr(1), ']', length);
    if (!path)
        return std::nullopt;
    nameEnd = 1 + length;
    const std::string_view rest = TrimLeft(line.substr(nameEnd + 1));
    if (!std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return path;
}

// A value line's name ("" for '@') and the data after '='.
struct ValueLine {
    std::string name;
    std::string_view rawName; // the name as the line writes it ("@" or the quoted text)
    std::string_view data;
};

std::optional<ValueLine> ValueOf(std::string_view line) {
    ValueLine value;
    std::size_t pos = 1;
    if (line[0] == '"') {
        std::size_t length = 0;
        std::optional<std::string> name = Unescape(line.substr(1), '"', length);
        if (!name)
            return std::nullopt;
        value.name = std::move(*name);
        pos = length + 2;
    }
    value.rawName = line.substr(0, pos);
    const std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest[0] != '=')
        return std::nullopt;
    value.data = TrimLeft(rest.substr(1));
    return value;
}

// Text of a quoted string that must end the data, or nothing.
std::optional<std::string> QuotedText(std::string_view data) {
    if (data.empty() || data[0] != '"')
        return std::nullopt;
    std::size_t length = 0;
    std::optional<std::string> text = Unescape(data.substr(1), '"', length);
    if (!text || length + 2 != data.size())
        return std::nullopt;
    return text;
}

// "str(N):" or "hex(N):" with N in hex, or the bare "hex:"; answers what follows the colon.
std::optional<std::string_view> AfterKind(std::string_view data, std::string_view kind,
                                          bool bareAllowed, unsigned* type = nullptr) {
    if (!data.starts_with(kind))
        return std::nullopt;
    data.remove_prefix(kind.size());
    if (bareAllowed && data.starts_with(':'))
        return data.substr(1);
    if (!data.starts_with('('))
        return std::nullopt;
    const std::size_t close = data.find(')');
    if (close == std::string_view::npos || close == 1 || close > 9 || close + 1 >= data.size() ||
        data[close + 1] != ':' || !std::all_of(data.begin() + 1, data.begin() + close, IsHex))
        return std::nullopt;
    if (type)
        *type =
            static_cast<unsigned>(std::stoul(std::string(data.substr(1, close - 1)), nullptr, 16));
    return data.substr(close + 2);
}

bool IsDword(std::string_view data) {
    if (!data.starts_with("dword:"))
        return false;
    data.remove_prefix(6);
    return !data.empty() && data.size() <= 8 && std::all_of(data.begin(), data.end(), IsHex);
}

bool IsHexBytes(std::string_view bytes) {
    while (!bytes.empty()) {
        if (bytes.size() < 2 || !IsHex(bytes[0]) || !IsHex(bytes[1]))
            return false;
        bytes.remove_prefix(2);
        if (bytes.starts_with(','))
            bytes.remove_prefix(1);
        else if (!bytes.empty())
            return false;
    }
    return true;
}

// Whether Wine loads the data: a string, str(N), dword or hex bytes of any kind.
bool IsValidData(std::string_view data) {
    if (QuotedText(data) || IsDword(data))
        return true;
    if (const auto text = AfterKind(data, "str", false))
        return QuotedText(*text).has_value();
    if (const auto bytes = AfterKind(data, "hex", true))
        return IsHexBytes(*bytes);
    return false;
}

std::optional<RegValue> RegValueOf(std::string_view data) {
    RegValue value;
    unsigned type = 0;
    if (std::optional<std::string> text = QuotedText(data)) {
        value.text = std::move(*text);
        return value;
    }
    if (const auto quoted = AfterKind(data, "str", false, &type); quoted && type == 2) {
        if (std::optional<std::string> text = QuotedText(*quoted)) {
            value.text = std::move(*text);
            return value;
        }
    }
    if (IsDword(data)) {
        value.kind = RegInteger;
        value.number =
            static_cast<std::uint32_t>(std::stoul(std::string(data.substr(6)), nullptr, 16));
        return value;
    }
    return std::nullopt;
}

// Key path with empty parts dropped.
std::string CleanPath(std::string_view path) {
    std::string clean;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t next = path.find('\\', pos);
        if (next == std::string_view::npos)
            next = path.size();
        if (next > pos) {
            if (!clean.empty())
                clean += '\\';
            clean += path.substr(pos, next - pos);
        }
        pos = next + 1;
    }
    return clean;
}

// Wine's order of keys: parts compared one by one, a key before its sub-keys.
bool ComesBefore(std::string_view a, std::string_view b) {
    const auto rank = [](char c) { return c == '\\' ? 0 : static_cast<unsigned char>(c) + 1; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return rank(x) < rank(y); });
}

std::string StampLines(std::string_view escapedName, WineTime now) {
    char buffer[64];
    std::string lines = "[";
    lines += escapedName;
    std::snprintf(buffer, sizeof buffer, "] %llu\n#time=%llx\n",
                  static_cast<unsigned long long>(now.unixSeconds()),
                  static_cast<unsigned long long>(now.ticks));
    return lines + buffer;
}

std::optional<std::string> DataText(const RegValue& value) {
    if (value.kind == RegInteger) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(value.number));
        return buffer;
    }
    const std::optional<std::string> text = Escape(value.text, "\"\"");
    return text ? std::optional<std::string>('"' + *text + '"') : std::nullopt;
}

std::optional<std::string> NameText(std::string_view name) {
    if (name.empty())
        return "@";
    const std::optional<std::string> text = Escape(name, "\"\"");
    return text ? std::optional<std::string>('"' + *text + '"') : std::nullopt;
}

// The value line named `name` (without regard to ASCII case) among the lines of a block, or
// nothing. The views of the answer point into `line`, which it fills.
std::optional<ValueLine> FindValue(std::string_view block, std::string_view name, Line& line) {
    for (std::size_t pos = 0; pos < block.size();) {
        line = *ReadLine(block, pos);
        pos = line.end;
        const std::string_view text = TrimLeft(line.content());
        if (!text.starts_with('"') && !text.starts_with('@'))
            continue;
        std::optional<ValueLine> value = ValueOf(text);
        if (value && EqualsIgnoringAsciiCase(value->name, name))
            return value;
    }
    return std::nullopt;
}

// The block of one key with the value `name` given `data` (kept where it was, with the case of
// its name; added at the end when missing) or removed (no `data`), and a fresh time stamp.
// Nothing when the value to remove is missing.
std::optional<std::string> EditBlock(std::string_view block, std::string_view name,
                                     const std::optional<std::string>& data, WineTime now) {
    std::string out;
    out.reserve(block.size() + 64);
    bool found = false;
    bool timeWritten = false;
    for (std::size_t pos = 0; pos < block.size();) {
        const Line current = *ReadLine(block, pos);
        pos = current.end;
        const std::string_view text = TrimLeft(current.first);
        const std::optional<ValueLine> value =
            !found && (text.starts_with('"') || text.starts_with('@'))
                ? ValueOf(TrimLeft(current.content()))
                : std::nullopt;
        if (text.starts_with('[')) {
            std::size_t nameEnd = 0;
            KeyPathOf(text, nameEnd);
            out += StampLines(text.substr(1, nameEnd - 1), now);
            timeWritten = true;
        } else if (text.starts_with("#time=") && timeWritten) {
            continue; // written with the key line
        } else if (value && EqualsIgnoringAsciiCase(value->name, name)) {
            found = true;
            if (data)
                out.append(value->rawName).append("=").append(*data).append("\n");
        } else {
            out += block.substr(current.begin, current.end - current.begin);
        }
    }
    if (!found && !data)
        return std::nullopt;
    if (!found)
        out.append(*NameText(name)).append("=").append(*data).append("\n");
    return out;
}

} // namespace

WineTime WineTime::Now() {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<duration<std::int64_t, std::ratio<1, 10'000'000>>>(
        system_clock::now().time_since_epoch());
    return WineTime{static_cast<std::uint64_t>(sinceEpoch.count()) +
                    kSeconds1601To1970 * kTicksPerSecond};
}

WineTime WineTime::FromUnixSeconds(std::uint64_t seconds) {
    return WineTime{(seconds + kSeconds1601To1970) * kTicksPerSecond};
}

std::uint64_t WineTime::unixSeconds() const {
    return ticks / kTicksPerSecond - kSeconds1601To1970;
}

std::string_view WineHive::Key::bytes(const std::string& text) const {
    return edited ? std::string_view(*edited) : std::string_view(text).substr(begin, end - begin);
}

std::variant<WineHive, HiveError> WineHive::Parse(std::string text) {
    WineHive hive;
    hive.text_ = std::move(text);
    const std::string_view all = hive.text_;
    if (!all.starts_with(kHeader) ||
        (all.size() > kHeader.size() && all[kHeader.size()] != '\n' && all[kHeader.size()] != '\r'))
        return HiveError{1, "it does not start with \"" + std::string(kHeader) + "\""};

    std::size_t lineNumber = 0;
    std::size_t blankRun = std::string::npos; // where the blank lines before the next key start
    bool inKey = false;
    hive.headerEnd_ = all.size();
    for (std::size_t pos = 0; pos < all.size();) {
        ++lineNumber;
        const std::optional<Line> line = ReadLine(all, pos);
        if (!line)
            return HiveError{lineNumber, "the file ends inside this line (is it cut off?)"};
        pos = line->end;
        const std::string_view content = TrimLeft(line->content());
        if (lineNumber == 1 || content.empty() || content[0] == '#' || content[0] == ';') {
            if (content.empty() && blankRun == std::string::npos)
                blankRun = line->begin;
            if (!content.empty())
                blankRun = std::string::npos;
            continue;
        }
        const std::size_t blockBegin = blankRun == std::string::npos ? line->begin : blankRun;
        blankRun = std::string::npos;
        if (content[0] == '[') {
            std::size_t nameEnd = 0;
            const std::optional<std::string> path = KeyPathOf(content, nameEnd);
            if (!path)
                return HiveError{lineNumber, "a key line that cannot be read"};
            if (hive.keys_.empty())
                hive.headerEnd_ = blockBegin;
            else
                hive.keys_.back().end = blockBegin;
            hive.keys_.push_back(Key{UpperAscii(CleanPath(*path)), blockBegin, all.size(), {}});
            inKey = true;
        } else if (content[0] == '"' || content[0] == '@') {
            const std::optional<ValueLine> value = ValueOf(content);
            if (!inKey || !value || !IsValidData(value->data))
                return HiveError{lineNumber, "a value line that cannot be read"};
        } else {
            return HiveError{lineNumber, "a line that is neither a key, a value nor a comment"};
        }
        lineNumber += static_cast<std::size_t>(
            std::count(all.begin() + static_cast<std::ptrdiff_t>(line->begin),
                       all.begin() + static_cast<std::ptrdiff_t>(line->end) - 1, '\n'));
    }
    hive.reindex();
    return hive;
}

std::string WineHive::serialize() const {
    if (!changed_)
        return text_;
    std::string out;
    out.reserve(text_.size() + 256);
    out.append(text_, 0, headerEnd_);
    for (const Key& key : keys_)
        out += key.bytes(text_);
    return out;
}

void WineHive::reindex() {
    index_.clear();
    index_.reserve(keys_.size());
    for (std::size_t i = 0; i < keys_.size(); ++i)
        index_.emplace(keys_[i].upperPath, i); // the first block of a path wins, as in Wine
}

const WineHive::Key* WineHive::findKey(std::string_view upperPath) const {
    const auto found = index_.find(upperPath);
    return found == index_.end() ? nullptr : &keys_[found->second];
}

WineHive::Key* WineHive::findKey(std::string_view upperPath) {
    return const_cast<Key*>(std::as_const(*this).findKey(upperPath));
}

bool WineHive::hasKey(std::string_view path) const {
    const std::string upper = UpperAscii(CleanPath(path));
    if (upper.empty() || findKey(upper))
        return true;
    const auto known = impliedKeys_.find(upper);
    if (known != impliedKeys_.end())
        return known->second;
    const std::string parent = upper + '\\';
    const bool implied = std::any_of(keys_.begin(), keys_.end(), [&](const Key& key) {
        return key.upperPath.starts_with(parent);
    });
    impliedKeys_.emplace(upper, implied);
    return implied;
}

WineHive::Key& WineHive::ensureKey(const std::string& path, WineTime now) {
    const std::string upper = UpperAscii(path);
    if (Key* key = findKey(upper))
        return *key;
    const auto before = std::find_if(keys_.begin(), keys_.end(), [&](const Key& key) {
        return ComesBefore(upper, key.upperPath);
    });
    Key key{upper, 0, 0, "\n" + StampLines(*Escape(path, "[]"), now)};
    const auto inserted = keys_.insert(before, std::move(key));
    const std::size_t position = static_cast<std::size_t>(inserted - keys_.begin());
    reindex();
    impliedKeys_.clear();
    changed_ = true;
    return keys_[position];
}

bool WineHive::CanStore(std::string_view text) {
    return Escape(text, "").has_value();
}

bool WineHive::createKey(std::string_view path, WineTime now) {
    const std::string clean = CleanPath(path);
    if (!CanStore(clean) || hasKey(clean))
        return false;
    ensureKey(clean, now);
    return true;
}

bool WineHive::setValue(std::string_view path, std::string_view name, const RegValue& value,
                        WineTime now) {
    const std::string clean = CleanPath(path);
    const std::optional<std::string> data = DataText(value);
    if (clean.empty() || !CanStore(clean) || !NameText(name) || !data)
        return false;
    if (const Key* key = findKey(UpperAscii(clean))) {
        Line line;
        const std::optional<ValueLine> existing = FindValue(key->bytes(text_), name, line);
        if (existing && existing->data == *data)
            return false; // already so, byte for byte
    }
    Key& key = ensureKey(clean, now);
    key.edited = EditBlock(key.bytes(text_), name, data, now);
    changed_ = true;
    return true;
}

bool WineHive::deleteValue(std::string_view path, std::string_view name, WineTime now) {
    Key* key = findKey(UpperAscii(CleanPath(path)));
    if (!key)
        return false;
    std::optional<std::string> edited = EditBlock(key->bytes(text_), name, std::nullopt, now);
    if (!edited)
        return false;
    key->edited = std::move(edited);
    changed_ = true;
    return true;
}

std::optional<RegValue> WineHive::value(std::string_view path, std::string_view name) const {
    const Key* key = findKey(UpperAscii(CleanPath(path)));
    if (!key)
        return std::nullopt;
    Line line;
    const std::optional<ValueLine> value = FindValue(key->bytes(text_), name, line);
    return value ? RegValueOf(value->data) : std::nullopt;
}

std::vector<std::string> WineHive::valueNames(std::string_view path) const {
    std::vector<std::string> names;
    const Key* key = findKey(UpperAscii(CleanPath(path)));
    const std::string_view block = key ? key->bytes(text_) : std::string_view();
    for (std::size_t pos = 0; pos < block.size();) {
        const Line line = *ReadLine(block, pos);
        pos = line.end;
        const std::string_view text = TrimLeft(line.content());
        if (!text.starts_with('"') && !text.starts_with('@'))
            continue;
        if (std::optional<ValueLine> value = ValueOf(text))
            names.push_back(std::move(value->name));
    }
    return names;
}

std::vector<std::string> WineHive::subkeyNames(std::string_view path) const {
    const std::string clean = UpperAscii(CleanPath(path));
    const std::string prefix = clean.empty() ? clean : clean + '\\';
    std::vector<std::string> names;
    std::unordered_map<std::string, bool> seen;
    for (const Key& key : keys_) {
        if (key.upperPath.size() <= prefix.size() || !key.upperPath.starts_with(prefix))
            continue;
        const std::size_t depth = std::count(prefix.begin(), prefix.end(), '\\');
        const std::string upper = key.upperPath.substr(
            prefix.size(), key.upperPath.find('\\', prefix.size()) - prefix.size());
        if (!seen.emplace(upper, true).second)
            continue;
        // The name in its own case, from the block's key line.
        // A block begins with the blank lines before its key line.
        const std::string_view block = key.bytes(text_);
        const std::string_view line = block.substr(std::min(block.size(), block.find('[')));
        std::size_t nameEnd = 0;
        const std::optional<std::string> written =
            line.starts_with('[') ? KeyPathOf(line.substr(0, line.find('\n')), nameEnd)
                                  : std::nullopt;
        std::string name = upper;
        if (written) {
            const std::string cleanWritten = CleanPath(*written);
            std::size_t start = 0;
            for (std::size_t part = 0; part < depth; ++part)
                start = cleanWritten.find('\\', start) + 1;
            const std::string own = cleanWritten.substr(start, upper.size());
            if (EqualsIgnoringAsciiCase(own, upper))
                name = own;
        }
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace pestrel::wine
