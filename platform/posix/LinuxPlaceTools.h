#pragma once
// What the Linux start-up places need of the system: its users, their crontabs through the
// `crontab` program, and systemd through `systemctl`, each run as the user it is about.

#include "platform/Platform.h"

#include <optional>
#include <string>

namespace pestrel {

// As root every user of the password database and the machine's places; otherwise the user
// running the program.
LinuxPlaces ReadLinuxPlaces();

// `crontab -l` for `user` (`-u USER` as root). A user without a crontab has "": as root, one
// that Debian's cron keeps none of (/var/spool/cron/crontabs) is not even asked. Nothing without
// the crontab program or when it fails for a user that has one.
std::optional<std::string> ReadUserCrontab(const std::string& user);
// `crontab [-u USER] -` with `text` on its standard input.
bool WriteUserCrontab(const std::string& user, const std::string& text);

// `systemctl [--user] ARGUMENTS...`, only while systemd runs for `user` (the machine's manager
// for "": /run/systemd/system; a user's: the bus in /run/user/UID), as that user.
bool RunSystemctl(const std::string& user, const std::vector<std::string>& arguments);

} // namespace pestrel
