#include "engine/RepairReport.h"

namespace pestrel {

bool RepairReport::setValue(RegRoot root, const std::string& key, const std::string& name,
                            const RegValue& value) {
    const bool written = ForwardingPlatform::setValue(root, key, name, value);
    sink_.report({PassVerb::Repair, {RegPlace(root, key), name, RegData(value)}, !written});
    return written;
}

} // namespace pestrel
