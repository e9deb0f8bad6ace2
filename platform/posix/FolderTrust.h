#pragma once
// Whether a folder is in the administrator's hands alone.

#include <string>

namespace pestrel {

// True when someone other than root could change what `folder` holds: it, or a folder above it,
// is not owned by root or is writable by group or others. A world-writable folder with the
// sticky bit (such as /tmp) above is fine, since others cannot rename or remove what root owns
// in it. The path is walked as given, one component at a time, and a link at any component
// counts as a change others could make, whoever owns it: what it leads to is never judged. A
// missing folder is judged by its nearest existing parent. A relative path, or one holding
// "..", cannot be judged and counts as changeable.
bool OthersCanChange(const std::string& folder);

} // namespace pestrel
