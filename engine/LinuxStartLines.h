#pragma once
// Which program a Linux start-up place runs: the Exec of an XDG desktop entry, the ExecStart of
// a systemd service, the command of a crontab line. Text in, program out; no file is touched.

#include <functional>
#include <string>
#include <string_view>

namespace pestrel {

struct StartLine {
    enum class Status {
        None,      // starts nothing: no Exec, a comment, an environment line
        Found,     // `command` starts `program`
        Malformed, // not what the format allows: nothing of it is to be touched
    };
    Status status = Status::None;
    std::string command; // as written: the Exec or ExecStart value, the crontab line's command
    std::string program; // its first word, quotes and escapes undone
};

// The Exec of the [Desktop Entry] group: its string escapes undone, then its first argument,
// quoted or not ("%%" stands for '%'). Malformed: a NUL byte, a line before the first group, a
// line that is neither group, comment nor key, an unclosed quote.
StartLine DesktopEntryStart(std::string_view text);

// The first ExecStart of the [Service] section that an empty ExecStart= did not reset, after
// lines ending in '\' are joined: its first word after the prefixes "@-:+!", in systemd's
// quoting. Malformed as a desktop entry is.
StartLine UnitStart(std::string_view text);

// One crontab line: blank, comment and environment lines start nothing; "@reboot" and the other
// "@" times, or five time fields, come before the command, which ends at its first unescaped
// '%'. The program is the command's first shell word after any NAME=value assignments.
// Malformed: an unknown "@" time, fewer than five time fields or a bad one, no command, an
// unclosed quote.
StartLine CrontabLineStart(std::string_view line);

// `crontab` without its lines (well-formed, with a command) whose program `drops` names; every
// other line stays byte for byte.
std::string CrontabWithout(std::string_view crontab,
                           const std::function<bool(const std::string& program)>& drops);

} // namespace pestrel
