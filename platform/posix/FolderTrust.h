#pragma once
// Whether a folder is in the administrator's hands alone.

#include <string>

namespace pestrel {

// True when someone other than root could change what `folder` holds: it, or a folder above it,
// is not owned by root or is writable by group or others. A world-writable folder with the
// sticky bit (such as /tmp) above is fine, since others cannot rename or remove what root owns
// in it. A missing folder is judged by its nearest existing parent; links are resolved first.
bool OthersCanChange(const std::string& folder);

} // namespace pestrel
