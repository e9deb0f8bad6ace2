#include "engine/PassAction.h"

namespace pestrel {
namespace {

constexpr std::pair<RegRoot, const char*> kRootNames[] = {
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
};

} // namespace

std::string RegRootName(RegRoot root) {
    for (const auto& [known, name] : kRootNames) {
        if (known == root)
            return name;
    }
    return std::to_string(static_cast<std::uint32_t>(root));
}

std::optional<RegRoot> RegRootNamed(const std::string& name) {
    for (const auto& [root, known] : kRootNames) {
        if (name == known)
            return root;
    }
    return std::nullopt;
}

std::string RegPlace(RegRoot root, const std::string& key) {
    return RegRootName(root) + (key.starts_with('\\') ? "" : "\\") + key;
}

std::string RegData(const RegValue& value) {
    return value.kind == RegValue::Kind::Integer ? std::to_string(value.number) : value.text;
}

} // namespace pestrel
