#include "engine/PassAction.h"

#include <iterator>

namespace pestrel {
namespace {

struct VerbRow {
    const char* name;
    std::vector<const char*> fields;
};

// In the order of PassVerb.
const VerbRow kVerbs[] = {
    {"match", {"path", "match"}},
    {"scan", {"path"}},
    {"unscanned", {"path", "reason"}},
    {"terminate", {"pid", "name"}},
    {"backup", {"path", "copy"}},
    {"delete", {"path", "kept"}},
    {"pending", {"name"}},
    {"regdelete", {"place", "name"}},
    {"autostart", {"place", "name", "data"}},
    {"shortcut", {"path", "target"}},
    {"task", {"path", "command"}},
    {"desktop", {"path", "exec"}},
    {"link", {"path", "target"}},
    {"unit", {"path"}},
    {"cron", {"user", "line"}},
    {"repair", {"place", "name", "value"}},
    {"restore", {"path", "copy"}},
    {"regrestore", {"place", "name", "data"}},
    {"relink", {"path", "target"}},
    {"cronrestore", {"user", "line"}},
    {"skip", {"place", "name", "reason"}},
    {"denied", {}},
    {"status", {"text"}},
};
static_assert(std::size(kVerbs) == static_cast<std::size_t>(PassVerb::Status) + 1);

constexpr std::pair<RegRoot, const char*> kRootNames[] = {
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
};

} // namespace

const char* VerbName(PassVerb verb) {
    return kVerbs[static_cast<std::size_t>(verb)].name;
}

std::span<const char* const> FieldNames(PassVerb verb) {
    return kVerbs[static_cast<std::size_t>(verb)].fields;
}

void PassLog::report(const PassAction& action) {
    if (action.verb != PassVerb::Status)
        actions.push_back(action);
}

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
    return value.kind == RegInteger ? std::to_string(value.number) : value.text;
}

} // namespace pestrel
