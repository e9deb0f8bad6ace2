#pragma once
// Takes a listed program out of every registry place it starts from, journaling each change so
// that the undo puts it back.

#include <cstdint>
#include <string>

namespace pestrel {

struct Context;
struct PassFolders;
class AutostartIndex;
class PassSink;

// For each place of `index` that starts a program of the file name `entry`, as it still is when
// its turn comes: deletes a command value, takes the program out of a list value (writing
// Windows' default when nothing stays), or disables a service (Start = 4; the service's key
// stays). Each change is journaled first, shown in the status text and reported as an
// `autostart ROOT\KEY NAME DATA` action. Then the program file each place named, where it still
// lies (a dormant copy), is backed up and deleted while it is the file found, with a kept copy
// for the undo, on the word of the place's owner: with that user's rights only.
void RemoveAutostartEntries(Context& context, PassFolders& folders, const AutostartIndex& index,
                            PassSink& sink, const std::string& entry);

// The list value `data` of `valueName` without the items whose program is `entry`.
std::string ListWithout(const Context& context, const std::string& data,
                        const std::string& valueName, const std::string& entry);

inline constexpr std::uint32_t kServiceDisabled = 4;

} // namespace pestrel
