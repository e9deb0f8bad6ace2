#include "engine/GuardList.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

TEST(GuardList, NamesTheExactFileNameWithoutRegardToCase) {
    const GuardList list({"Evil.exe", "EVIL.EXE", "sha256:" + std::string(64, 'a'), "b.dll"});
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"Evil.exe", "b.dll"}));
    const struct {
        const char* path;
        const char* entry; // null: not listed
    } rows[] = {
        {"/usr/bin/evil.EXE", "Evil.exe"},
        {"evil.exe", "Evil.exe"},
        {"/tmp/B.DLL", "b.dll"},
        {"/tmp/xevil.exe", nullptr},
        {"/tmp/evil.exe.sh", nullptr},
        {"/tmp/evil.exe (deleted)", nullptr},
        {"/tmp/evil.exe/", nullptr},
        {"/tmp/a\\evil.exe", nullptr}, // one Linux file name holding a backslash
    };
    for (const auto& row : rows) {
        const std::string* entry = list.entryFor(row.path);
        EXPECT_EQ(entry ? *entry : "-", row.entry ? row.entry : "-") << row.path;
    }
}

TEST(GuardList, NamesAFileByTheDigestOfAHashLine) {
    const std::string line = "SHA256:" + std::string(64, 'A');
    EXPECT_FALSE(GuardList({"evil.exe"}).hasHashes());
    const GuardList list({"evil.exe", line});
    EXPECT_TRUE(list.hasHashes());
    ASSERT_TRUE(list.entryForDigest(std::string(64, 'a')));
    EXPECT_EQ(*list.entryForDigest(std::string(64, 'a')), line);
    EXPECT_FALSE(list.entryForDigest(std::string(64, 'b')));
}

} // namespace
} // namespace pestrel
