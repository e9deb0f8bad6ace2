#pragma once
// Puts back what kill passes deleted, by the journal.

#include "engine/PassAction.h"

#include <string>
#include <vector>

namespace pestrel {

struct Context;

struct RestoreOutcome {
    bool journalRead = true;    // false: the journal could not be read, nothing was done
    bool journalWritten = true; // false: restored items could not be marked
    int restored = 0, skipped = 0, failed = 0;
    std::vector<std::string> notFound; // names asked for that the journal does not hold
};

// For each name asked for (every name when none is; names compare without ASCII case), the
// latest deletion at each place is put back: a file copied back to its path, a start-up value
// written again with its data. A file that exists again or a value that is set again is reported
// and skipped. Every item put back is marked restored in the journal, and a put-back library
// leaves the pending deletions. `sink` hears one action per item.
RestoreOutcome RestoreDeleted(Context& context, const std::vector<std::string>& names,
                              PassSink& sink);

// The same for the journal lines `lines` (each as FormatJournalLine wrote it, not restored) and
// for nothing else: a line is put back only while the journal still holds it, unrestored, as
// the latest deletion at its place. Two deletions of one name are told apart by their lines.
RestoreOutcome RestoreJournalLines(Context& context, const std::vector<std::string>& lines,
                                   PassSink& sink);

} // namespace pestrel
