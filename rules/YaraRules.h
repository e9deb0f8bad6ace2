#pragma once
// YARA rules from folders of *.yar files, compiled once, through libyara. Each file is read
// through its held folder; a file that does not compile is left out with one line saying why,
// and the others are used.

#include "engine/ContentScan.h"
#include "platform/Platform.h"

#include <memory>
#include <string>
#include <vector>

struct YR_RULES;

namespace pestrel {

// Rule files and the files they include are refused over this size.
inline constexpr std::uint64_t kMaxRuleFileBytes = 1u << 20;

class YaraRules final : public ContentRules {
public:
    // Takes the compiled rules over.
    explicit YaraRules(YR_RULES* rules) : rules_(rules) {}
    ~YaraRules() override;
    YaraRules(const YaraRules&) = delete;
    YaraRules& operator=(const YaraRules&) = delete;
    RulesVerdict firstMatch(std::string_view bytes, bool mayFault, int seconds) override;

private:
    YR_RULES* rules_;
};

struct RulesLoad {
    std::unique_ptr<YaraRules> rules;  // null when no file compiled
    std::vector<std::string> problems; // one line for each file left out, or folder not read
};

// Compiles every *.yar file of each folder (in name order; includes only of plain names of the
// same folder, never in a loop). A missing folder is no problem.
RulesLoad LoadRules(Platform& platform, const std::vector<std::string>& folders);

// The rules of a pass over the list that lies in `listFolder`: those of the Rules folder beside
// it, then those of each of `more`. Run as root, a folder that someone else could change (not
// root's, or reached through a link) is left out with a line saying so: its rules would be
// another user's word on what root deletes and how long root scans.
RulesLoad LoadListRules(Platform& platform, const std::string& listFolder,
                        const std::vector<std::string>& more = {});

} // namespace pestrel
