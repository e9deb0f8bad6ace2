#include "platform/posix/RegistryHive.h"

#include "base/AsciiCase.h"
#include "base/FileBytes.h"

#include <algorithm>
#include <cstdio>

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

std::string Quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            result += '\\';
        result += c;
    }
    return result + '"';
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

} // namespace

RegistryHive::RegistryHive(std::string rootName) : rootName_(std::move(rootName)) {}

bool RegistryHive::CanStore(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

RegistryHive RegistryHive::Parse(std::string rootName, std::string_view text) {
    RegistryHive hive(std::move(rootName));
    Key* current = nullptr;
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
                current = &hive.ensureKey(full.substr(root.size()));
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
        // Binary data may continue on the next lines after a trailing backslash.
        while (!data.empty() && data.front() != '"' && data.back() == '\\' &&
               i + 1 < lines.size()) {
            data.pop_back();
            data += TrimmedLeft(lines[++i]);
        }
        current->values.push_back({std::move(name), std::move(data)});
    }
    return hive;
}

std::string RegistryHive::serialize() const {
    std::string text = "REGEDIT4\r\n\r\n";
    for (const Key& key : keys_) {
        text += "[" + rootName_ + (key.path.empty() ? "" : "\\") + key.path + "]\r\n";
        for (const Value& value : key.values)
            text += (value.name.empty() ? "@" : Quoted(value.name)) + "=" + value.data + "\r\n";
        text += "\r\n";
    }
    return text;
}

RegistryHive::Key* RegistryHive::findKey(std::string_view path) {
    const std::string normalised = NormalisedPath(path);
    auto found = std::find_if(keys_.begin(), keys_.end(), [&](const Key& key) {
        return EqualsIgnoringAsciiCase(key.path, normalised);
    });
    return found == keys_.end() ? nullptr : &*found;
}

const RegistryHive::Key* RegistryHive::findKey(std::string_view path) const {
    return const_cast<RegistryHive*>(this)->findKey(path);
}

RegistryHive::Key& RegistryHive::ensureKey(std::string_view path) {
    if (Key* key = findKey(path))
        return *key;
    keys_.push_back({NormalisedPath(path), {}});
    return keys_.back();
}

bool RegistryHive::hasKey(std::string_view path) const {
    const std::string normalised = NormalisedPath(path);
    if (normalised.empty())
        return true;
    // A key also exists when only its subkeys are listed, as an import would create it.
    return std::any_of(keys_.begin(), keys_.end(), [&](const Key& key) {
        return EqualsIgnoringAsciiCase(key.path, normalised) ||
               (key.path.size() > normalised.size() && key.path[normalised.size()] == '\\' &&
                EqualsIgnoringAsciiCase(std::string_view(key.path).substr(0, normalised.size()),
                                        normalised));
    });
}

bool RegistryHive::createKey(std::string_view path) {
    if (hasKey(path))
        return false;
    // Parents first, so the file reads top-down like an export.
    const std::string normalised = NormalisedPath(path);
    for (std::size_t end = normalised.find('\\'); end != std::string::npos;
         end = normalised.find('\\', end + 1)) {
        if (!hasKey(std::string_view(normalised).substr(0, end)))
            ensureKey(std::string_view(normalised).substr(0, end));
    }
    ensureKey(normalised);
    return true;
}

bool RegistryHive::setValue(std::string_view path, std::string_view name, const RegValue& value) {
    createKey(path);
    Key& key = ensureKey(path);
    const std::string data = DataOf(value);
    for (Value& existing : key.values) {
        if (EqualsIgnoringAsciiCase(existing.name, name)) {
            if (existing.data == data)
                return false;
            existing.data = data;
            return true;
        }
    }
    key.values.push_back({std::string(name), data});
    return true;
}

bool RegistryHive::deleteValue(std::string_view path, std::string_view name) {
    Key* key = findKey(path);
    if (!key)
        return false;
    auto found = std::find_if(key->values.begin(), key->values.end(), [&](const Value& value) {
        return EqualsIgnoringAsciiCase(value.name, name);
    });
    if (found == key->values.end())
        return false;
    key->values.erase(found);
    return true;
}

std::optional<RegValue> RegistryHive::value(std::string_view path, std::string_view name) const {
    const Key* key = findKey(path);
    if (!key)
        return std::nullopt;
    for (const Value& value : key->values) {
        if (EqualsIgnoringAsciiCase(value.name, name))
            return ValueOf(value.data);
    }
    return std::nullopt;
}

} // namespace pestrel
