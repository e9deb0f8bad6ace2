#include "platform/posix/RegistryHive.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"

#include <algorithm>
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

bool IsNormalised(std::string_view path) {
    return path.empty() || (path.front() != '\\' && path.back() != '\\' &&
                            path.find("\\\\") == std::string_view::npos);
}

std::string Quoted(std::string_view text) {
    std::string result;
    AppendQuoted(result, text);
    return result;
}

// Reads a quoted text starting at `text[0] == '"'`; `rest` receives what follows it. A text
// without escapes is answered as a view of `text`, any other as a view of `unescaped`.
std::optional<std::string_view> Unquoted(std::string_view text, std::string& unescaped,
                                         std::string_view* rest = nullptr) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::size_t stop = 1;
    while (stop < text.size() && text[stop] != '"' && text[stop] != '\\')
        ++stop;
    if (stop < text.size() && text[stop] == '"') {
        if (rest)
            *rest = text.substr(stop + 1);
        return text.substr(1, stop - 1);
    }
    unescaped.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            unescaped += text[++i];
        } else if (text[i] == '"') {
            if (rest)
                *rest = text.substr(i + 1);
            return std::string_view(unescaped);
        } else {
            unescaped += text[i];
        }
    }
    return std::nullopt;
}

std::string DataOf(const RegValue& value) {
    if (value.kind == RegText)
        return Quoted(value.text);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(value.number));
    return buffer;
}

std::optional<RegValue> ValueOf(std::string_view data) {
    RegValue value;
    std::string unescaped;
    if (const auto text = Unquoted(data, unescaped)) {
        value.text = *text;
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
    value.kind = RegInteger;
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
            index.emplace(UpperAscii(values[i].name), i);
        const auto found = index.find(UpperAscii(name));
        return found == index.end() ? kMissing : found->second;
    }
    static constexpr std::size_t kMissing = static_cast<std::size_t>(-1);

private:
    std::unordered_map<const void*, std::unordered_map<std::string, std::size_t>> indexes_;
};

} // namespace

RegistryHive::RegistryHive(std::string rootName) : rootName_(std::move(rootName)) {}

bool RegistryHive::CanStore(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

RegistryHive RegistryHive::Parse(std::string rootName, std::string_view input) {
    RegistryHive hive(std::move(rootName));
    // Names, paths and data that need no change are views of the kept text.
    const std::string_view text = hive.own(std::string(input));
    const std::vector<std::string_view> lines = SplitLines(text);
    // Room for every key and a share of parents, counted before the index grows.
    const auto keyLines = static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [](std::string_view line) { return line.starts_with('['); }));
    hive.paths_.reserve(keyLines + keyLines / 4);
    Key* current = nullptr;
    ValueFinder finder;
    std::string unescaped;
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
            if (!EqualsIgnoringAsciiCase(root, hive.rootName_))
                continue;
            const std::string_view path = full.substr(std::min(root.size() + 1, full.size()));
            current = &hive.ensureKey(IsNormalised(path) ? path : hive.own(NormalisedPath(path)));
            // Room for the value lines up to the next key line.
            std::size_t next = i + 1;
            while (next < lines.size() && !TrimmedLeft(lines[next]).starts_with('['))
                ++next;
            current->values.reserve(current->values.size() + (next - i - 1));
            continue;
        }
        if (!current)
            continue;
        std::string_view name, rest;
        if (line.front() == '@') {
            rest = line.substr(1);
        } else if (const auto quoted = Unquoted(line, unescaped, &rest)) {
            // The name as written, unless it had escapes.
            name = quoted->data() == unescaped.data() ? hive.own(unescaped) : *quoted;
        } else {
            continue;
        }
        rest = TrimmedLeft(rest);
        if (rest.empty() || rest.front() != '=')
            continue;
        std::string_view data = TrimmedLeft(rest.substr(1));
        // Binary data may continue on the next lines after a trailing backslash; on the last
        // line the backslash continues onto nothing, as the rewritten file will read.
        if (!data.empty() && data.front() != '"' && data.back() == '\\') {
            std::string joined(data);
            while (!joined.empty() && joined.back() == '\\') {
                joined.pop_back();
                if (i + 1 == lines.size())
                    continue; // every trailing backslash of the last line goes
                joined += TrimmedLeft(lines[++i]);
            }
            data = hive.own(std::move(joined));
        }
        // A value listed again replaces the earlier data, as an import would.
        const std::size_t at = finder.find(current, current->values, name);
        if (at == ValueFinder::kMissing)
            current->values.push_back({name, data});
        else
            current->values[at].data = data;
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
    Key* const* found = paths_.find(normalised);
    return found ? *found : nullptr;
}

std::string_view RegistryHive::own(std::string text) {
    return texts_.emplace_back(std::move(text));
}

RegistryHive::Key& RegistryHive::ensureKey(std::string_view keptPath) {
    const auto [found, added] = paths_.insert(keptPath);
    if (*found)
        return **found;
    Key& key = keys_.emplace_back(Key{keptPath, {}});
    *found = &key;
    if (!added)
        return key; // known as a parent until now, and so are its parents
    // Register the parents up to the first one already known; its own parents are known too.
    // A listed key tends to follow its siblings, whose parent was the last one registered.
    const std::size_t cut = keptPath.rfind('\\');
    if (cut == std::string_view::npos || keptPath.substr(0, cut) == lastParent_)
        return key;
    lastParent_ = keptPath.substr(0, cut);
    for (std::size_t end = cut; end != std::string_view::npos;
         end = keptPath.rfind('\\', end - 1)) {
        if (!paths_.insert(keptPath.substr(0, end)).second)
            break;
    }
    return key;
}

RegistryHive::Key& RegistryHive::keyFor(std::string_view normalised) {
    Key* key = findKey(normalised);
    return key ? *key : ensureKey(own(std::string(normalised)));
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
    return normalised.empty() || paths_.find(normalised);
}

bool RegistryHive::createKey(std::string_view path) {
    if (hasKey(path))
        return false;
    // Parents first, so the file reads top-down like an export.
    const std::string normalised = NormalisedPath(path);
    for (std::size_t end = normalised.find('\\'); end != std::string::npos;
         end = normalised.find('\\', end + 1)) {
        if (!paths_.find(std::string_view(normalised).substr(0, end)))
            keyFor(std::string_view(normalised).substr(0, end));
    }
    keyFor(normalised);
    return true;
}

bool RegistryHive::setValue(std::string_view path, std::string_view name, const RegValue& value) {
    createKey(path);
    Key& key = keyFor(NormalisedPath(path));
    std::string data = DataOf(value);
    if (Value* existing = findValue(key, name)) {
        if (existing->data == data)
            return false;
        existing->data = own(std::move(data));
        return true;
    }
    key.values.push_back({own(std::string(name)), own(std::move(data))});
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

bool RegistryHive::holds(std::string_view path, std::string_view name,
                         const RegValue& value) const {
    Key* key = findKey(NormalisedPath(path));
    const Value* existing = key ? findValue(*key, name) : nullptr;
    return existing && existing->data == DataOf(value);
}

std::vector<std::string> RegistryHive::valueNames(std::string_view path) const {
    std::vector<std::string> names;
    if (const Key* key = findKey(NormalisedPath(path)))
        for (const Value& value : key->values)
            names.emplace_back(value.name);
    return names;
}

std::vector<std::string> RegistryHive::subkeyNames(std::string_view path) const {
    const std::string normalised = NormalisedPath(path);
    const std::string prefix = normalised.empty() ? normalised : normalised + '\\';
    std::vector<std::string> names;
    FoldedIndex<const Key> seen;
    for (const Key& key : keys_) {
        if (key.path.size() <= prefix.size() ||
            !EqualsIgnoringAsciiCase(key.path.substr(0, prefix.size()), prefix))
            continue;
        const std::string_view rest = key.path.substr(prefix.size());
        const std::string_view name = rest.substr(0, rest.find('\\'));
        if (seen.insert(name).second)
            names.emplace_back(name);
    }
    return names;
}

} // namespace pestrel
