#pragma once
// The kill pass: walks the virus list from the last entry to the first and, for each entry,
// handles library files, terminates, backs up, logs and deletes the program, and removes its
// start-up values.

#include "engine/PassAction.h"

#include <optional>
#include <string>
#include <vector>

namespace pestrel {

struct Context;
struct PassFolders;

// What a pass reads: the list. Every call completes before the pass goes on; the list may change
// between calls (the user can empty it). Before it walks the list the pass reads the entries it
// needs of the whole list (its hash lines) up to the first index that holds none.
class PassList {
public:
    virtual ~PassList() = default;
    // The number of entries, read once, as the walk from the last entry to the first begins.
    virtual int count() = 0;
    // Entry i as the list holds it now, or nothing when it no longer exists.
    virtual std::optional<std::string> entry(int index) = 0;
};

// A list held in memory: a file's, or the window's as it was when asked for.
class FixedList final : public PassList {
public:
    explicit FixedList(std::vector<std::string> entries) : entries_(std::move(entries)) {}
    int count() override { return static_cast<int>(entries_.size()); }
    std::optional<std::string> entry(int index) override;

private:
    std::vector<std::string> entries_;
};

inline constexpr int kMaxTerminationRounds = 22;

// Deletes the start-up values named like `entry` from the Run key of both roots, journaled, and
// reports each.
void DeleteRunValues(Context& context, PassSink& sink, const std::string& entry);

// Backs up the file `name` of `folder`, found for `entry` while it is `identity`, into Temp/,
// deletes it keeping a copy for the undo and logs the deletion, reporting each step: what the
// pass does with a listed file that does not run.
void RemoveListedFile(Context& context, PassFolders& folders, PassSink& sink,
                      const std::string& entry, HeldFolder& folder, const std::string& name,
                      const FileIdentity& identity);

// RemoveListedFile for the guard: a file kept already while `folders` are held (refused again,
// or reached by another of its names) is deleted without a fresh backup, so that each file costs
// one copy however often it is met.
void RemoveListedFileOnce(Context& context, PassFolders& folders, PassSink& sink,
                          const std::string& entry, HeldFolder& folder, const std::string& name,
                          const FileIdentity& identity);

// Ends every process of `snapshot` (taken ForEnding) that runs a program of the file name
// `entry`, then backs up and deletes each one's file while its name still is the file the
// program was started from.
void RemoveRunningProgram(Context& context, PassFolders& folders, PassSink& sink,
                          const std::string& entry, const std::vector<ProcessRecord>& snapshot);

// Runs one kill pass over `list`, reporting each action to `sink`. False when it ended early: an
// entry vanished, or a library could not be recorded for the next start.
bool RunKillPass(Context& context, PassList& list, PassSink& sink);

} // namespace pestrel
