#include "engine/HashLine.h"

#include "engine/WorkFiles.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

const std::string kLower = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(HashLine, KindsAndDigestsOfListLines) {
    const struct Case {
        std::string line;
        ListLineKind kind;
    } cases[] = {
        {"sha256:" + kLower, ListLineKind::Hash},
        {"sha256:" + Upper(kLower), ListLineKind::Hash},
        {"SHA256:" + kLower, ListLineKind::Hash},
        {" \tsha256:" + kLower + " ", ListLineKind::Hash},
        {"evil.exe", ListLineKind::Name},
        {"sha256.exe", ListLineKind::Name},
        {"sha25:" + kLower, ListLineKind::Name},
        {"sha256:" + kLower.substr(1), ListLineKind::MalformedHash},
        {"sha256:" + kLower + "0", ListLineKind::MalformedHash},
        {"sha256:" + kLower.substr(1) + "g", ListLineKind::MalformedHash},
        {"sha256:" + kLower.substr(0, 32) + " " + kLower.substr(33), ListLineKind::MalformedHash},
        {"sha256:", ListLineKind::MalformedHash},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KindOfListLine(c.line), c.kind) << c.line;
        const std::optional<std::string> hash = HashOfListLine(c.line);
        EXPECT_EQ(hash, c.kind == ListLineKind::Hash ? std::optional(kLower) : std::nullopt)
            << c.line;
    }
}

TEST(HashLine, ParsedListWarnsOnceForEachMalformedLineAndKeepsEveryLine) {
    const std::string bad = "sha256:" + kLower.substr(2);
    const ListFile list = ParseListFile("evil.exe\r\nsha256:" + kLower + "\r\n" + bad + "\r\n");
    EXPECT_EQ(list.entries.size(), 3u);
    ASSERT_EQ(list.warnings.size(), 1u);
    EXPECT_NE(list.warnings[0].find(bad), std::string::npos) << list.warnings[0];
}

} // namespace
} // namespace pestrel
