#pragma once
// What a scan by content may spend on one file: anyone can make a file of any size, sparse and
// cheap, or write a rule that never ends, and have root read it.

#include <cstdint>

namespace pestrel {

// Larger files are neither hashed nor scanned by rules; a rule scan stops after its time.
inline constexpr std::uint64_t kDefaultMaxFileBytes = 256u << 20;
inline constexpr int kDefaultRuleSeconds = 60;

struct ScanLimits {
    std::uint64_t maxFileBytes = kDefaultMaxFileBytes;
    int ruleSeconds = kDefaultRuleSeconds;
};

} // namespace pestrel
