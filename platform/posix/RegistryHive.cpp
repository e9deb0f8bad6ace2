#include "platform/posix/RegistryHive.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"

#include <cstdio>
#include <unordered_map>

namespace pestrel {
namespace {

// "a\\\b\" -> "a\b": the parts of a key path joined by single backslashes.
std::string NormalisedPath(std::string_view path) {
    std::string result;
    while (!path.empty()) {
        const std::size_t end = path.find('\\');
        const std::string_view part = path.substr(0, end);
        if (!part.empty()) {
            if (!result.empty())
                result += '\\';
            result += part;
        }
        if (end == std::string_view::npos)
            break;
        path.remove_prefix(end + 1);
    }
    return result;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

std::string Quoted(std::string_view text) {
    std::string result;
    AppendQuoted(result, text);
    return result;
}

// Reads a quoted text starting at `text[0] == '"'`; `rest` receives what follows it.
std::optional<std::string> Unquoted(std::string_view text, std::string_view* rest = nullptr) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            result += text[++i];
        } else if (text[i] == '"') {
            if (rest)
                *rest = text.substr(i + 1);
            return result;
        } else {
            result += text[i];
        }
    }
    return std::nullopt;
}

std::string DataOf(const RegValue& value) {
    if (value.kind == RegValue::Kind::Text)
        return Quoted(value.text);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(value.number));
    return buffer;
}

std::optional<RegValue> ValueOf(std::string_view data) {
    RegValue value;
    if (auto text = Unquoted(data)) {
        value.text = std::move(*text);
        return value;
    }
    constexpr std::string_view dword = "dword:";
    if (data.size() != dword.size() + 8 || !EqualsIgnoringAsciiCase(data.substr(0, 6), dword))
        return std::nullopt;
    unsigned number = 0;
    for (char c : data.substr(dword.size())) {
        const char upper = UpperAsciiChar(c);
        if (upper >= '0' && upper <= '9')
            number = number * 16 + static_cast<unsigned>(upper - '0');
        else if (upper >= 'A' && upper <= 'F')
            number = number * 16 + static_cast<unsigned>(upper - 'A' + 10);
        else
            return std::nullopt;
    }
    value.kind = RegValue::Kind::Integer;
    value.number = number;
    return value;
}

std::string_view TrimmedLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// Finds values by name while a key is parsed: a scan while the key is small, an index of the
// folded names once it is large, so that a key listing thousands of values still parses in
// linear time.
class ValueFinder {
public:
    template <typename Values>
    std::size_t find(const void* key, const Values& values, std::string_view name) {
        constexpr std::size_t kScanned = 16;
        if (values.size() <= kScanned) {
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (EqualsIgnoringAsciiCase(values[i].name, name))
                    return i;
            }
            return kMissing;
        }
        std::unordered_map<std::string, std::size_t>& index = indexes_[key];
        for (std::size_t i = index.size(); i < values.size(); ++i)
            index.emplace(Folded(values[i].name), i);
        const auto found = index.find(Folded(name));
        return found == index.end() ? kMissing : found->second;
    }
    static constexpr std::size_t kMissing = static_cast<std::size_t>(-1);

private:
    static std::string Folded(std::string_view text) {
        std::string folded(text);
        for (char& c : folded)
            c = UpperAsciiChar(c);
        return folded;
    }
    std::unordered_map<const void*, std::unordered_map<std::string, std::size_t>> indexes_;
};

} // namespace

RegistryHive::RegistryHive(std::string rootName) : rootName_(std::move(rootName)) {}

bool RegistryHive::CanStore(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::size_t RegistryHive::FoldedHash::operator()(std::string_view text) const {
    std::size_t hash = 14695981039346656037ull;
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(UpperAsciiChar(c))) * 1099511628211ull;
    return hash;
}

bool RegistryHive::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsIgnoringAsciiCase(a, b);
}

RegistryHive RegistryHive::Parse(std::string rootName, std::string_view text) {
    RegistryHive hive(std::move(rootName));
    Key* current = nullptr;
    ValueFinder finder;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimmedLeft(lines[i]);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            current = nullptr;
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos)
                continue;
            const std::string_view full = line.substr(1, close - 1);
            const std::string_view root = full.substr(0, full.find('\\'));
            if (EqualsIgnoringAsciiCase(root, hive.rootName_))
                current = &hive.ensureKey(NormalisedPath(full.substr(root.size())));
            continue;
        }
        if (!current)
            continue;
        std::string name;
        std::string_view rest;
        if (line.front() == '@') {
            rest = line.substr(1);
        } else if (auto quoted = Unquoted(line, &rest)) {
            name = std::move(*quoted);
        } else {
            continue;
        }
        rest = TrimmedLeft(rest);
        if (rest.empty() || rest.front() != '=')
            continue;
        std::string data(TrimmedLeft(rest.substr(1)));
        // Binary data may continue on the next lines after a trailing backslash; on the last
        // line the backslash continues onto nothing, as the rewritten file will read.
        while (!data.empty() && data.front() != '"' && data.back() == '\\') {
            data.pop_back();
            if (i + 1 == lines.size())
                break;
            data += TrimmedLeft(lines[++i]);
        }
        // A value listed again replaces the earlier data, as an import would.
        const std::size_t at = finder.find(current, current->values, name);
        if (at == ValueFinder::kMissing)
            current->values.push_back({std::move(name), std::move(data)});
        else
            current->values[at].data = std::move(data);
    }
    return hive;
}

std::string RegistryHive::serialize() const {
    std::size_t size = 16;
    for (const Key& key : keys_) {
        size += rootName_.size() + key.path.size() + 8;
        for (const Value& value : key.values)
            size += 2 * value.name.size() + value.data.size() + 6;
    }
    std::string text;
    text.reserve(size);
    text += "REGEDIT4\r\n\r\n";
    for (const Key& key : keys_) {
        text += '[';
        text += rootName_;
        if (!key.path.empty())
            text += '\\';
        text += key.path;
        text += "]\r\n";
        for (const Value& value : key.values) {
            if (value.name.empty())
                text += '@';
            else
                AppendQuoted(text, value.name);
            text += '=';
            text += value.data;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

RegistryHive::Key* RegistryHive::findKey(std::string_view normalised) const {
    const auto found = paths_.find(normalised);
    return found == paths_.end() ? nullptr : found->second;
}

RegistryHive::Key& RegistryHive::ensureKey(std::string&& normalised) {
    const auto found = paths_.find(normalised);
    if (found != paths_.end() && found->second)
        return *found->second;
    Key& key = keys_.emplace_back(Key{std::move(normalised), {}});
    if (found != paths_.end()) {
        found->second = &key; // a parent until now
        return key;
    }
    const std::string_view path = key.path;
    paths_.emplace(path, &key);
    // Register the parents up to the first one already known; its own parents are known too.
    for (std::size_t end = path.rfind('\\'); end != std::string_view::npos;
         end = path.rfind('\\', end - 1)) {
        if (!paths_.emplace(path.substr(0, end), nullptr).second)
            break;
    }
    return key;
}

RegistryHive::Value* RegistryHive::findValue(Key& key, std::string_view name) {
    for (Value& value : key.values) {
        if (EqualsIgnoringAsciiCase(value.name, name))
            return &value;
    }
    return nullptr;
}

bool RegistryHive::hasKey(std::string_view path) const {
    const std::string normalised = NormalisedPath(path);
    return normalised.empty() || paths_.count(normalised) != 0;
}

bool RegistryHive::createKey(std::string_view path) {
    if (hasKey(path))
        return false;
    // Parents first, so the file reads top-down like an export.
    std::string normalised = NormalisedPath(path);
    for (std::size_t end = normalised.find('\\'); end != std::string::npos;
         end = normalised.find('\\', end + 1)) {
        if (!paths_.count(std::string_view(normalised).substr(0, end)))
            ensureKey(normalised.substr(0, end));
    }
    ensureKey(std::move(normalised));
    return true;
}

bool RegistryHive::setValue(std::string_view path, std::string_view name, const RegValue& value) {
    createKey(path);
    Key& key = ensureKey(NormalisedPath(path));
    std::string data = DataOf(value);
    if (Value* existing = findValue(key, name)) {
        if (existing->data == data)
            return false;
        existing->data = std::move(data);
        return true;
    }
    key.values.push_back({std::string(name), std::move(data)});
    return true;
}

bool RegistryHive::deleteValue(std::string_view path, std::string_view name) {
    Key* key = findKey(NormalisedPath(path));
    Value* value = key ? findValue(*key, name) : nullptr;
    if (!value)
        return false;
    key->values.erase(key->values.begin() + (value - key->values.data()));
    return true;
}

std::optional<RegValue> RegistryHive::value(std::string_view path, std::string_view name) const {
    Key* key = findKey(NormalisedPath(path));
    const Value* value = key ? findValue(*key, name) : nullptr;
    return value ? ValueOf(value->data) : std::nullopt;
}

} // namespace pestrel
