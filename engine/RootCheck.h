#pragma once
// Running as the administrator over folders that others can write would let them turn the
// program's deletions and copies against the system: they could put a link where the program
// deletes or copies, or swap its working files. The program then refuses to act.

#include <string>

namespace pestrel {

struct Context;

// Why the program must not act, in words for the person running it: it runs as the
// administrator (root) and the program folder, its Temp folder or a data folder of the platform
// could be changed by someone else. Empty when it may act. Call after InitialiseContext.
std::string RootRefusal(Context& context);

} // namespace pestrel
