#include "platform/posix/ShortcutFile.h"

#include "tests/support/ShortcutBytes.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

TEST(ShortcutFile, ReadsTheTargetAndRefusesPartsThatLieBeyondTheBytes) {
    const std::string good = test::ShortcutBytes("C:\\Program Files\\x\\evil.exe");
    // Link information whose size reaches past the end: liblnk's reading from memory copied
    // past the buffer.
    const auto seed = [](const char* name) {
        return test::ReadFile(std::string(PESTREL_SOURCE_DIR) + "/tests/fuzz/corpus/shortcut/" +
                              name)
            .value_or("");
    };
    const std::string pastTheEnd = seed("link-info-past-the-end.lnk");
    // A path whose size the library reports far beyond the bytes: making room for it threw.
    const std::string sizeBeyond = seed("field-size-beyond-the-bytes.lnk");
    ASSERT_FALSE(pastTheEnd.empty() || sizeBeyond.empty());
    std::string hugeBlock = good;
    hugeBlock.replace(hugeBlock.size() - 4, 4, std::string("\x00\x00\x00\x40", 4));
    const struct {
        const char* what;
        std::string bytes;
        std::optional<std::string> target;
    } cases[] = {
        {"a shortcut", good, "C:\\Program Files\\x\\evil.exe"},
        {"link information past the end", pastTheEnd, std::nullopt},
        {"a path size beyond the bytes", sizeBeyond, std::nullopt},
        {"cut inside the link information", good.substr(0, good.size() - 20), std::nullopt},
        {"an extra block of a gigabyte", hugeBlock, std::nullopt},
        {"the header alone", good.substr(0, 0x4C), std::nullopt},
        {"another header size", std::string("\x4D", 1) + good.substr(1), std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortcutFileTarget(c.bytes), c.target) << c.what;
}

} // namespace
} // namespace pestrel
