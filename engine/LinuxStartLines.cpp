#include "engine/LinuxStartLines.h"

#include "base/FileBytes.h"

#include <array>
#include <optional>

namespace pestrel {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

StartLine Malformed() {
    return {StartLine::Status::Malformed, {}, {}};
}

// The first word of `text`, quotes and backslash escapes undone; nothing for an unclosed quote.
// In the shell's rules a single-quoted part takes backslashes as they are; in systemd's both
// kinds of quotes undo them.
std::optional<std::string> FirstWord(std::string_view text, bool shell,
                                     std::size_t* end = nullptr) {
    std::string word;
    std::size_t at = text.find_first_not_of(kBlanks);
    if (at == std::string_view::npos)
        at = text.size();
    char quote = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (quote && c == quote) {
            quote = 0;
        } else if (!quote && (c == '"' || c == '\'')) {
            quote = c;
        } else if (!quote && (c == ' ' || c == '\t')) {
            break;
        } else if (c == '\\' && at + 1 < text.size() && !(shell && quote == '\'')) {
            word += text[++at];
        } else {
            word += c;
        }
    }
    if (quote)
        return std::nullopt;
    if (end)
        *end = at;
    return word;
}

// The key and value of a "Key = value" line; nothing for a line without '='.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return std::pair{Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))};
}

// Calls `onKey(key, value)` for every key of the group `group` of an INI-like text whose
// comments start with one of `comments`. False when the text is not of that shape.
template <typename OnKey>
bool ForEachKey(std::string_view text, std::string_view group, std::string_view comments,
                OnKey onKey) {
    if (text.find('\0') != std::string_view::npos)
        return false;
    bool inGroup = false, anyGroup = false;
    for (std::string_view line : SplitLines(text)) {
        line = Trimmed(line);
        if (line.empty() || comments.find(line.front()) != std::string_view::npos)
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return false;
            anyGroup = true;
            inGroup = line.substr(1, line.size() - 2) == group;
            continue;
        }
        const auto pair = KeyValue(line);
        if (!anyGroup || !pair)
            return false;
        if (inGroup)
            onKey(pair->first, pair->second);
    }
    return true;
}

// A desktop entry's string value with its escapes (\s \n \t \r \\) undone.
std::string DesktopString(std::string_view value) {
    std::string out;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if (value[at] != '\\' || at + 1 == value.size()) {
            out += value[at];
            continue;
        }
        switch (const char next = value[++at]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += next;
        }
    }
    return out;
}

// The first argument of an Exec value: in double quotes, where '\' escapes " ` $ and itself.
std::optional<std::string> ExecProgram(std::string_view exec) {
    exec = Trimmed(exec);
    std::string program;
    if (!exec.empty() && exec.front() == '"') {
        std::size_t at = 1;
        for (; at < exec.size() && exec[at] != '"'; ++at) {
            if (exec[at] == '\\' && at + 1 < exec.size() &&
                std::string_view("\"`$\\").find(exec[at + 1]) != std::string_view::npos)
                ++at;
            program += exec[at];
        }
        if (at == exec.size())
            return std::nullopt;
    } else {
        program = std::string(exec.substr(0, exec.find_first_of(kBlanks)));
    }
    for (std::size_t at = program.find("%%"); at != std::string::npos;
         at = program.find("%%", at + 1))
        program.erase(at, 1);
    return program;
}

bool IsAssignment(const std::string& word) {
    const std::size_t equals = word.find('=');
    if (equals == 0 || equals == std::string::npos)
        return false;
    for (std::size_t at = 0; at < equals; ++at) {
        const char c = word[at];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && !(at > 0 && c >= '0' && c <= '9'))
            return false;
    }
    return true;
}

// The command of a crontab line as the shell gets it: up to the first '%' not escaped.
std::string_view CronCommand(std::string_view rest) {
    for (std::size_t at = 0; at < rest.size(); ++at) {
        if (rest[at] == '\\')
            ++at;
        else if (rest[at] == '%')
            return rest.substr(0, at);
    }
    return rest;
}

bool IsTimeField(std::string_view field) {
    for (char c : field) {
        const bool allowed = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                             (c >= 'a' && c <= 'z') || c == '*' || c == ',' || c == '-' || c == '/';
        if (!allowed)
            return false;
    }
    return !field.empty();
}

// What follows the time of a crontab line; nothing when the time is not one.
std::optional<std::string_view> AfterTime(std::string_view line) {
    if (line.front() == '@') {
        static constexpr std::array<std::string_view, 8> kTimes = {
            "@reboot", "@yearly", "@annually", "@monthly",
            "@weekly", "@daily",  "@midnight", "@hourly"};
        const std::size_t end = std::min(line.size(), line.find_first_of(kBlanks));
        for (std::string_view time : kTimes) {
            if (line.substr(0, end) == time)
                return line.substr(end);
        }
        return std::nullopt;
    }
    for (int field = 0; field < 5; ++field) {
        line = line.substr(std::min(line.size(), line.find_first_not_of(kBlanks)));
        const std::size_t end = std::min(line.size(), line.find_first_of(kBlanks));
        if (!IsTimeField(line.substr(0, end)))
            return std::nullopt;
        line = line.substr(end);
    }
    return line;
}

} // namespace

StartLine DesktopEntryStart(std::string_view text) {
    std::optional<std::string> exec;
    if (!ForEachKey(text, "Desktop Entry", "#", [&](std::string_view key, std::string_view value) {
            if (key == "Exec" && !exec)
                exec = DesktopString(value);
        }))
        return Malformed();
    if (!exec || Trimmed(*exec).empty())
        return {};
    const std::optional<std::string> program = ExecProgram(*exec);
    if (!program)
        return Malformed();
    return {StartLine::Status::Found, *exec, *program};
}

StartLine UnitStart(std::string_view text) {
    // A line ending in '\' goes on in the next one.
    std::string joined;
    for (std::string_view line : SplitLines(text)) {
        const bool goesOn = !line.empty() && line.back() == '\\';
        joined += goesOn ? line.substr(0, line.size() - 1) : line;
        joined += goesOn ? ' ' : '\n';
    }
    std::optional<std::string> start;
    if (!ForEachKey(joined, "Service", "#;", [&](std::string_view key, std::string_view value) {
            if (key != "ExecStart")
                return;
            if (value.empty())
                start.reset();
            else if (!start)
                start = std::string(value);
        }))
        return Malformed();
    if (!start)
        return {};
    const std::size_t word = start->find_first_not_of("@-:+!");
    const std::optional<std::string> program =
        word == std::string::npos ? std::nullopt : FirstWord(start->substr(word), false);
    if (!program || program->empty())
        return Malformed();
    return {StartLine::Status::Found, *start, *program};
}

StartLine CrontabLineStart(std::string_view line) {
    line = Trimmed(line);
    if (!line.empty() && line.back() == '\r')
        line = Trimmed(line.substr(0, line.size() - 1));
    if (line.empty() || line.front() == '#')
        return {};
    const bool timed =
        line.front() == '@' || line.front() == '*' || (line.front() >= '0' && line.front() <= '9');
    if (!timed)
        return line.find('=') == std::string_view::npos ? Malformed() : StartLine{};
    const std::optional<std::string_view> rest = AfterTime(line);
    const std::string_view command = rest ? Trimmed(CronCommand(*rest)) : std::string_view();
    if (command.empty())
        return Malformed();
    std::string_view words = command;
    for (;;) {
        std::size_t end = 0;
        const std::optional<std::string> word = FirstWord(words, true, &end);
        if (!word)
            return Malformed();
        if (word->empty())
            return {};
        if (!IsAssignment(*word))
            return {StartLine::Status::Found, std::string(command), *word};
        words = words.substr(end);
    }
}

std::string CrontabWithout(std::string_view crontab,
                           const std::function<bool(const std::string& program)>& drops) {
    std::string kept;
    for (std::size_t at = 0; at < crontab.size();) {
        const std::size_t lineEnd = crontab.find('\n', at);
        const std::size_t end = lineEnd == std::string_view::npos ? crontab.size() : lineEnd + 1;
        const std::string_view line = crontab.substr(at, end - at);
        const StartLine start = CrontabLineStart(line.substr(0, line.find('\n')));
        if (start.status != StartLine::Status::Found || !drops(start.program))
            kept += line;
        at = end;
    }
    return kept;
}

} // namespace pestrel
