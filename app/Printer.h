#pragma once
// Everything a command-line run prints on standard output, in one of two forms: a line of fields
// separated by TAB, each control byte shown as '?' so that every record stays on one line and
// every field in its column; or JSON Lines (--json, app/JsonLines.h).

#include "engine/PassAction.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pestrel {

struct JournalEntry;

using Counts = std::vector<std::pair<std::string, int>>;

class Printer final : public PassSink {
public:
    enum class Format { Text, Json };
    // A line reaches a terminal at once and a pipe or a file through the output buffer, unless
    // `eachLineAtOnce` (the guard, whose journal reader keeps each line's time).
    explicit Printer(Format format, bool eachLineAtOnce = false);

    // One line per change, counted for passCounts: the verb and its fields, with "failed" in
    // front when it failed. A status text is the window's and is not printed.
    void report(const PassAction& action) override;
    // An autostart entry of --autostart: place, value name, program, "listed" when the program's
    // file name is on the list, and which choice takes it ("pass" or "clean-autostart").
    void autostartEntry(const std::string& place, const std::string& name,
                        const std::string& program, bool listed, const char* taken);
    // A deletion of the journal (--list-backups).
    void journalEntry(const JournalEntry& item);
    // The closing line of a run that acts: "summary" and each count, then "finished" or
    // "ended-early" when given.
    void summary(const Counts& counts, std::optional<bool> finished = std::nullopt);
    // The counts of a listing: a JSON reader gets them as its summary; the text listing ends with
    // its last entry.
    void listingEnd(const Counts& counts);
    // A line of its own, as it is (the guard's notices).
    void line(const std::string& text);

    // `entries`, the count of each verb reported, by name, then the failed actions.
    Counts passCounts(int entries) const;
    bool anyFailed() const { return failed_ > 0; }

private:
    Format format_;
    bool eachLineAtOnce_;
    std::map<std::string, int> counts_;
    int failed_ = 0;
};

// `field` with every byte below 0x20 and 0x7F shown as '?': no line break, escape sequence or
// end-of-text mark of a file name reaches the terminal.
std::string Printable(const std::string& field);

} // namespace pestrel
