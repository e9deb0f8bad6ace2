#include "app/Printer.h"

#include "app/JsonLines.h"
#include "engine/Journal.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace pestrel {
namespace {

bool OutputIsTerminal() {
#ifdef _WIN32
    static const bool terminal = _isatty(_fileno(stdout)) != 0;
#else
    static const bool terminal = isatty(fileno(stdout)) != 0;
#endif
    return terminal;
}

std::string ActionLine(const PassAction& action) {
    const std::string verb = VerbName(action.verb);
    std::string line = action.failed ? "failed\t" + verb : verb;
    for (const std::string& field : action.fields)
        line += '\t' + Printable(field);
    return line;
}

std::string JournalLine(const JournalEntry& item) {
    const BackupWords words = BackupWordsOf(item);
    const std::string name = item.name.empty() ? "" : "  name " + Printable(item.name);
    return Printable(item.time) + "  " + Printable(item.entry) + "  " + words.verb + " " +
           Printable(item.place) + name + "  " + words.kept + " " + Printable(item.kept) +
           (item.restored ? "  (restored)" : "");
}

} // namespace

Printer::Printer(Format format, bool eachLineAtOnce)
    : format_(format), eachLineAtOnce_(eachLineAtOnce) {}

void Printer::report(const PassAction& action) {
    if (action.verb == PassVerb::Status)
        return;
    line(format_ == Format::Json ? JsonLine(ActionObject(action)) : ActionLine(action));
    ++(action.failed ? failed_ : counts_[VerbName(action.verb)]);
}

void Printer::autostartEntry(const std::string& place, const std::string& name,
                             const std::string& program, bool listed, const char* taken) {
    if (format_ == Format::Json)
        line(JsonLine(AutostartObject(place, name, program, listed, taken)));
    else
        line(Printable(place) + '\t' + Printable(name) + '\t' + Printable(program) +
             (listed ? "\tlisted" : "") + (taken ? std::string("\t") + taken : std::string()));
}

void Printer::journalEntry(const JournalEntry& item) {
    line(format_ == Format::Json ? JsonLine(JournalObject(item)) : JournalLine(item));
}

void Printer::summary(const Counts& counts, std::optional<bool> finished) {
    if (format_ == Format::Json)
        return line(JsonLine(SummaryObject(counts, finished)));
    std::string text = "summary";
    for (const auto& [name, count] : counts)
        text += '\t' + name + '=' + std::to_string(count);
    if (finished)
        text += *finished ? "\tfinished" : "\tended-early";
    line(text);
}

void Printer::listingEnd(const Counts& counts) {
    if (format_ == Format::Json)
        line(JsonLine(SummaryObject(counts)));
}

void Printer::line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    if (eachLineAtOnce_ || OutputIsTerminal())
        std::fflush(stdout);
}

Counts Printer::passCounts(int entries) const {
    Counts counts = {{"entries", entries}};
    counts.insert(counts.end(), counts_.begin(), counts_.end());
    counts.emplace_back("failed", failed_);
    return counts;
}

std::string Printable(const std::string& field) {
    std::string shown = field;
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127)
            c = '?';
    }
    return shown;
}

} // namespace pestrel
