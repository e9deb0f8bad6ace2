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

// What the pass needs of the window that shows the list. Every call completes before the pass
// goes on; the window may change between calls (the user can empty the list).
class KillPassView {
public:
    virtual ~KillPassView() = default;
    virtual int entryCount() = 0;
    // Entry i, or nothing when it no longer exists.
    virtual std::optional<std::string> entry(int index) = 0;
    virtual int marker() = 0; // index of the focus mark, -1 when none
    virtual void setMarker(int index) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void enableKillButton() = 0;
    // Each change the pass made or tried to make, as it happens.
    virtual void reportAction(const PassAction&) {}
};

inline constexpr const char* kKillPassDoneText = "列表中的病毒已经清杀完毕,建议重新启动一下计算机!";
inline constexpr int kMaxTerminationRounds = 22;

// Deletes the start-up values named like `entry` from the Run key of both roots, journaled, and
// reports each.
void DeleteRunValues(Context& context, KillPassView& view, const std::string& entry);

// Backs up the file `name` of `folder`, found for `entry` while it is `identity`, into Temp/,
// deletes it keeping a copy for the undo and logs the deletion, reporting each step: what the
// pass does with a listed file that does not run.
void RemoveListedFile(Context& context, PassFolders& folders, KillPassView& view,
                      const std::string& entry, HeldFolder& folder, const std::string& name,
                      const FileIdentity& identity);

// RemoveListedFile for the guard: a file kept already while `folders` are held (refused again,
// or reached by another of its names) is deleted without a fresh backup, so that each file costs
// one copy however often it is met.
void RemoveListedFileOnce(Context& context, PassFolders& folders, KillPassView& view,
                          const std::string& entry, HeldFolder& folder, const std::string& name,
                          const FileIdentity& identity);

// Ends every process of `snapshot` (taken ForEnding) that runs a program of the file name
// `entry`, then backs up and deletes each one's file while its name still is the file the
// program was started from.
void RemoveRunningProgram(Context& context, PassFolders& folders, KillPassView& view,
                          const std::string& entry, const std::vector<ProcessRecord>& snapshot);

// Runs one kill pass; `completionPauseMs` is how long the completion message stays (6000).
// Returns false when the pass ended early (then the kill button was enabled and the status text
// cleared).
bool RunKillPass(Context& context, KillPassView& view, unsigned completionPauseMs = 6000);

} // namespace pestrel
