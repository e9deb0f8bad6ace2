#include "platform/wine/WineHive.h"

#include <gtest/gtest.h>

namespace pestrel::wine {
namespace {

const WineTime kLater = WineTime::FromUnixSeconds(1800000000);

// A file with every kind of line Wine writes, and some it might.
const std::string kFile =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Classes\\\\txtfile\\\\shell\\\\open\\\\command] 1796679055\n"
    "#time=1dd86a00aa062a6\n"
    "@=str(2):\"%SystemRoot%\\\\system32\\\\notepad.exe %1\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1796679055\n"
    "#time=1dd86a00aa062a6\n"
    ";; a comment Wine never wrote\n"
    "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,\\\n"
    "  13,14\n"
    "\"evil.exe\"=\"C:\\\\evil.exe\"\n"
    "\"Count\"=dword:0000000a\n"
    "\"List\"=hex(7):61,00,00,00,00,00\n"
    "\"Odd\"=hex(100000):00\n"
    "\"Quoted \\\"name\\\"\"=\"caf\\xe9 \\\"x\\\" \\t\"\n"
    "\n"
    "[Software\\\\Wine\\\\A\\[b\\]] 1796679055\n"
    "#time=1dd86a00aa062a6\n"
    "#class=\"keep me\"\n";

const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

WineHive Parsed(std::string text) {
    auto parsed = WineHive::Parse(std::move(text));
    if (auto* error = std::get_if<HiveError>(&parsed))
        ADD_FAILURE() << "line " << error->line << ": " << error->reason;
    return std::move(std::get<WineHive>(parsed));
}

TEST(WineHive, ListsValuesAndDirectSubKeysInTheirOwnCase) {
    const WineHive hive = Parsed(kFile);
    EXPECT_EQ(hive.valueNames(kRun), (std::vector<std::string>{"Blob", "evil.exe", "Count", "List",
                                                               "Odd", "Quoted \"name\""}));
    EXPECT_EQ(hive.subkeyNames("SOFTWARE"),
              (std::vector<std::string>{"Classes", "Microsoft", "Wine"}));
    EXPECT_EQ(hive.subkeyNames("Software\\Wine"), (std::vector<std::string>{"A[b]"}));
    EXPECT_TRUE(hive.valueNames("Software\\Nothing").empty());
}

TEST(WineHive, ReadsEveryValueKindAndWritesTheFileBackUnchanged) {
    WineHive hive = Parsed(kFile);
    EXPECT_EQ(hive.serialize(), kFile);
    struct Case {
        const char* key;
        const char* name;
        std::optional<RegValue> expected;
    };
    const auto text = [](const char* t) {
        return std::optional<RegValue>(RegValue{RegText, t, 0});
    };
    const Case cases[] = {
        {kRun, "EVIL.EXE", text("C:\\evil.exe")},
        {kRun, "Count", RegValue{RegInteger, "", 10}},
        {kRun, "Quoted \"name\"", text("caf\xc3\xa9 \"x\" \t")},
        {"\\software\\classes\\TXTFILE\\shell\\open\\command\\", "",
         text("%SystemRoot%\\system32\\notepad.exe %1")},
        {kRun, "Blob", std::nullopt},
        {kRun, "List", std::nullopt},
        {kRun, "Missing", std::nullopt},
        {"Software\\Wine\\A[b]", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<RegValue> got = hive.value(c.key, c.name);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
        if (got) {
            EXPECT_EQ(got->kind, c.expected->kind) << c.name;
            EXPECT_EQ(got->text, c.expected->text) << c.name;
            EXPECT_EQ(got->number, c.expected->number) << c.name;
        }
    }
    EXPECT_TRUE(hive.hasKey("Software\\Wine\\a[B]"));
    EXPECT_TRUE(hive.hasKey("Software\\Microsoft")); // implied by its sub-keys
    EXPECT_FALSE(hive.hasKey("Software\\Micro"));
}

TEST(WineHive, AChangeTouchesOnlyItsKeyAndStampsIt) {
    WineHive hive = Parsed(kFile);
    EXPECT_TRUE(hive.deleteValue(kRun, "Evil.exe", kLater));
    EXPECT_FALSE(hive.deleteValue(kRun, "evil.exe", kLater));
    // The value keeps its place and the case of its name.
    EXPECT_TRUE(hive.setValue(kRun, "COUNT", RegValue{RegInteger, "", 0}, kLater));
    EXPECT_FALSE(hive.setValue(kRun, "count", RegValue{RegInteger, "", 0}, kLater));

    std::string expected = kFile;
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace(
        "CurrentVersion\\\\Run] 1796679055\n#time=1dd86a00aa062a6",
        "CurrentVersion\\\\Run] 1800000000\n#time=" + [] {
            char hex[32];
            std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(kLater.ticks));
            return std::string(hex);
        }());
    replace("\"evil.exe\"=\"C:\\\\evil.exe\"\n", "");
    replace("dword:0000000a", "dword:00000000");
    EXPECT_EQ(hive.serialize(), expected);
    EXPECT_EQ(Parsed(hive.serialize()).serialize(), expected);
}

TEST(WineHive, NewKeysAndValuesAreWrittenAsWineWritesThem) {
    WineHive hive = Parsed(kFile);
    EXPECT_TRUE(hive.setValue("Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                              "DisableRegistryTools", RegValue{RegInteger, "", 0}, kLater));
    EXPECT_TRUE(hive.setValue("Software\\Zzz", "Path",
                              RegValue{RegText,
                                       "C:\\a \"b\" \xe2\x82\xac"
                                       "1",
                                       0},
                              kLater));
    EXPECT_FALSE(hive.createKey("software\\zzz", kLater));
    EXPECT_TRUE(hive.createKey("Software\\Aaa", kLater));
    const std::string text = hive.serialize();

    const std::size_t aaa = text.find("\n[Software\\\\Aaa] 1800000000\n#time=");
    const std::size_t classes = text.find("[Software\\\\Classes");
    const std::size_t policies =
        text.find("\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Policies\\\\System] "
                  "1800000000\n#time=");
    const std::size_t run = text.find("CurrentVersion\\\\Run]");
    const std::size_t zzz = text.find("\n[Software\\\\Zzz] 1800000000\n");
    ASSERT_NE(aaa, std::string::npos);
    ASSERT_NE(policies, std::string::npos);
    ASSERT_NE(zzz, std::string::npos);
    EXPECT_LT(aaa, classes); // in Wine's order of keys
    EXPECT_LT(policies, run);
    EXPECT_GT(zzz, run);
    EXPECT_NE(text.find("\"DisableRegistryTools\"=dword:00000000\n"), std::string::npos);
    EXPECT_NE(text.find("\"Path\"=\"C:\\\\a \\\"b\\\" \\x20ac1\"\n"), std::string::npos);

    WineHive again = Parsed(text);
    EXPECT_EQ(again.value("Software\\Zzz", "path")->text, "C:\\a \"b\" \xe2\x82\xac"
                                                          "1");
    EXPECT_EQ(again.serialize(), text);
}

TEST(WineHive, RefusesWhatWineWouldNotLoad) {
    const std::string header = "WINE REGISTRY Version 2\n";
    const struct {
        std::string text;
        std::size_t line;
    } cases[] = {
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", 1},
        {"", 1},
        {header + "\n[Software] 1\n\"a\"=\"cut off", 4},
        {header + "\n[Software] 1\n\"a\"=hex:01,02,\\\n", 4},
        {header + "\n[Software] 1\n\"a\"=\"open\n", 4},
        {header + "\n[Software] 1\n\"a\"=dword:1234567890\n", 4},
        {header + "\n[Software] 1\n\"a\"=hex:1,2\n", 4},
        {header + "\n[Software] 1\n\"a\"=wide:\"x\"\n", 4},
        {header + "\n[Software 1\n", 3},
        {header + "\"a\"=\"value before any key\"\n", 2},
        {header + "\n[Software] 1\nplain words\n", 4},
        {header + "\n[Software] 1\n\"a\"=\"\xff\"\n", 4},
    };
    for (const auto& c : cases) {
        auto parsed = WineHive::Parse(c.text);
        const HiveError* error = std::get_if<HiveError>(&parsed);
        ASSERT_NE(error, nullptr) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
    }
    EXPECT_FALSE(WineHive::CanStore(std::string("a\0b", 3)));
    EXPECT_FALSE(WineHive::CanStore("\xc3"));
}

} // namespace
} // namespace pestrel::wine
