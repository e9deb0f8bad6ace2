#include "platform/posix/RegistryHive.h"

#include <gtest/gtest.h>
#include <optional>
#include <utility>

namespace pestrel {
namespace {

RegValue Text(std::string text) {
    RegValue value;
    value.text = std::move(text);
    return value;
}

RegValue Integer(std::uint32_t number) {
    RegValue value;
    value.kind = RegInteger;
    value.number = number;
    return value;
}

TEST(RegistryHive, WritesTheExportFormat) {
    RegistryHive hive("HKEY_CURRENT_USER");
    EXPECT_TRUE(hive.setValue("\\Software\\Test", "", Text("default")));
    EXPECT_TRUE(hive.setValue("Software\\Test", "Path", Text("C:\\Tools\\\"q\" ")));
    EXPECT_TRUE(hive.setValue("Software\\Test", "Count", Integer(10)));
    EXPECT_TRUE(hive.setValue("Software\\Test", "All", Integer(0xFFFFFFFFu)));
    EXPECT_TRUE(hive.setValue("Software\\Test", "we\"ird\\name", Text("")));
    EXPECT_EQ(hive.serialize(), "REGEDIT4\r\n"
                                "\r\n"
                                "[HKEY_CURRENT_USER\\Software]\r\n"
                                "\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                "@=\"default\"\r\n"
                                "\"Path\"=\"C:\\\\Tools\\\\\\\"q\\\" \"\r\n"
                                "\"Count\"=dword:0000000a\r\n"
                                "\"All\"=dword:ffffffff\r\n"
                                "\"we\\\"ird\\\\name\"=\"\"\r\n"
                                "\r\n");
}

TEST(RegistryHive, ReadsBackWhatItWroteAndWhatAPersonWrote) {
    RegistryHive written("HKEY_LOCAL_MACHINE");
    written.setValue("A\\B", "Text", Text("x\\\"y\"\\"));
    written.setValue("A\\B", "", Integer(7));
    const RegistryHive again = RegistryHive::Parse("HKEY_LOCAL_MACHINE", written.serialize());
    EXPECT_EQ(again.serialize(), written.serialize());
    EXPECT_EQ(again.value("a\\b", "TEXT")->text, "x\\\"y\"\\");
    EXPECT_EQ(again.value("A\\B", "")->number, 7u);

    const std::string handWritten = "REGEDIT4\n"
                                    "; a comment\n"
                                    "[hkey_local_machine\\Software\\Mixed]\n"
                                    "\"Bin\"=hex:01,02,\\\n"
                                    "  03,04\n"
                                    "\"N\"=DWORD:0000001F\n"
                                    "[HKEY_CURRENT_USER\\Elsewhere]\n"
                                    "\"Lost\"=\"ignored here\"\n";
    RegistryHive hive = RegistryHive::Parse("HKEY_LOCAL_MACHINE", handWritten);
    EXPECT_EQ(hive.value("SOFTWARE\\MIXED", "n")->number, 31u);
    EXPECT_FALSE(hive.value("Software\\Mixed", "Bin")) << "not a kind the engine reads";
    EXPECT_FALSE(hive.hasKey("Elsewhere"));
    EXPECT_TRUE(hive.hasKey("Software")) << "a parent of a listed key exists";
    const std::string text = hive.serialize();
    EXPECT_NE(text.find("\"Bin\"=hex:01,02,03,04\r\n"), std::string::npos) << text;
}

TEST(RegistryHive, NamesCompareWithoutCaseAndKeepTheirCase) {
    RegistryHive hive("HKEY_CURRENT_USER");
    EXPECT_TRUE(hive.setValue("Software\\MyKey", "MyValue", Text("1")));
    EXPECT_TRUE(hive.setValue("SOFTWARE\\mykey", "MYVALUE", Text("2")));
    EXPECT_FALSE(hive.setValue("software\\MYKEY", "myvalue", Text("2"))) << "nothing changed";
    EXPECT_FALSE(hive.createKey("software\\mykey"));
    EXPECT_EQ(hive.value("software\\mykey", "myvalue")->text, "2");
    const std::string text = hive.serialize();
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\MyKey]"), std::string::npos);
    EXPECT_NE(text.find("\"MyValue\"=\"2\""), std::string::npos);
    EXPECT_EQ(text.find("MYVALUE"), std::string::npos);

    EXPECT_FALSE(hive.deleteValue("Software\\MyKey", "Other"));
    EXPECT_FALSE(hive.deleteValue("Software\\Missing", "MyValue"));
    EXPECT_TRUE(hive.deleteValue("Software\\MyKey", "myVALUE"));
    EXPECT_FALSE(hive.value("Software\\MyKey", "MyValue"));
}

// Read, write, read, write: the second write gives the bytes of the first, and what the first
// read found stays found.
TEST(RegistryHive, RewritingIsAFixedPoint) {
    std::string manyTwice = "[HKEY_CURRENT_USER\\Many]\n";
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 40; ++i)
            manyTwice += "\"V" + std::to_string(i) + "\"=\"r" + std::to_string(round) + "\"\n";
    }
    struct Case {
        const char* what;
        std::string text;
        const char* key;
        const char* name;
        std::optional<std::string> found; // text value of key/name after the first read
    } cases[] = {
        {"stray CRs inside and at the ends of lines",
         "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\r\n\"v\"=\"x\ry\"\r\r\n\"w\"=hex:01,\\\r\r\n"
         "\r\"z\"=\"1\"\r\n\"q\"=\"2\"\r",
         "A", "v", "x\ry"},
        {"a value listed twice keeps its last data",
         "[HKEY_CURRENT_USER\\A]\n\"v\"=\"1\"\n"
         "\"V\"=\"2\"\n\"w\"=\"3\"\n\"v\"=\"4\"\n",
         "a", "V", "4"},
        {"a key listed twice, in other case",
         "[HKEY_CURRENT_USER\\A]\n\"v\"=\"1\"\n"
         "[hkey_current_user\\a]\n\"v\"=\"2\"\n",
         "A", "v", "2"},
        {"many values listed twice", manyTwice, "Many", "v39", "r1"},
        {"continuation on the last line", "[HKEY_CURRENT_USER\\A]\n\"b\"=hex:01,\\", "A", "b",
         std::nullopt},
        {"two backslashes at the end of the last line", "[HKEY_CURRENT_USER\\A]\n\"b\"=hex:01,\\\\",
         "A", "b", std::nullopt},
        {"continuation onto a blank line", "[HKEY_CURRENT_USER\\A]\n\"b\"=hex:01,\\\n\n\"t\"=\"x\"",
         "A", "t", "x"},
        {"empty path parts and a bare root",
         "[HKEY_CURRENT_USER\\\\A\\\\\\B\\]\n@=\"d\"\n"
         "[HKEY_CURRENT_USER]\n\"r\"=\"root\"\n",
         "A\\B", "", "d"},
        {"lines that belong nowhere",
         "\"early\"=\"x\"\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=\"m\"\n"
         "[HKEY_CURRENT_USER\\A\n\"v\"=\"u\"\n; note\n@junk\n",
         "A", "v", std::nullopt},
    };
    for (const Case& c : cases) {
        const RegistryHive first = RegistryHive::Parse("HKEY_CURRENT_USER", c.text);
        const std::string written = first.serialize();
        const RegistryHive second = RegistryHive::Parse("HKEY_CURRENT_USER", written);
        EXPECT_EQ(second.serialize(), written) << c.what;
        for (const RegistryHive* hive : {&first, &second}) {
            const std::optional<RegValue> value = hive->value(c.key, c.name);
            EXPECT_EQ(value ? std::optional(value->text) : std::nullopt, c.found) << c.what;
        }
    }
}

// Whatever the hive held before, a value that was set reads back as it was set, also from the
// rewritten file, and a deleted one is gone.
TEST(RegistryHive, ASetValueReadsBackUnchanged) {
    const std::string messy = "[HKEY_CURRENT_USER\\K]\r\n\"v\"=\"old\"\r\r\n\"V\"=\"older\"\n"
                              "\"bin\"=hex:00,\\\n[HKEY_CURRENT_USER\\K\\Sub]\n";
    const RegValue values[] = {
        Text(""),   Text("x\\"),         Text("\"quoted\" \\\\ \t tab"), Text("ends in CR\r"),
        Integer(0), Integer(0xDEADBEEFu)};
    for (const RegValue& value : values) {
        for (const char* name : {"v", "bin", "new", "", "we\"ird\\"}) {
            RegistryHive hive = RegistryHive::Parse("HKEY_CURRENT_USER", messy);
            hive.setValue("k", name, value);
            const RegistryHive again = RegistryHive::Parse("HKEY_CURRENT_USER", hive.serialize());
            for (const RegistryHive* read : {&std::as_const(hive), &again}) {
                const std::optional<RegValue> back = read->value("K", name);
                ASSERT_TRUE(back) << name;
                EXPECT_EQ(back->kind, value.kind) << name;
                EXPECT_EQ(back->text, value.text) << name;
                EXPECT_EQ(back->number, value.number) << name;
            }
            EXPECT_TRUE(hive.deleteValue("K", name));
            EXPECT_FALSE(hive.value("K", name)) << name << ": no older copy shows through";
        }
    }
}

TEST(RegistryHive, ParentsOfListedKeysExistAndAreListedWhenCreated) {
    RegistryHive hive = RegistryHive::Parse("HKEY_CURRENT_USER", "[HKEY_CURRENT_USER\\A\\B\\C]\n");
    EXPECT_TRUE(hive.hasKey("a\\b"));
    EXPECT_FALSE(hive.hasKey("A\\B\\C\\D"));
    EXPECT_FALSE(hive.hasKey("A\\BC"));
    EXPECT_FALSE(hive.createKey("A\\b")) << "exists already";
    EXPECT_TRUE(hive.setValue("A\\B", "v", Text("x")));
    EXPECT_TRUE(hive.createKey("X\\Y"));
    EXPECT_EQ(hive.serialize(), "REGEDIT4\r\n\r\n"
                                "[HKEY_CURRENT_USER\\A\\B\\C]\r\n\r\n"
                                "[HKEY_CURRENT_USER\\A\\B]\r\n\"v\"=\"x\"\r\n\r\n"
                                "[HKEY_CURRENT_USER\\X]\r\n\r\n"
                                "[HKEY_CURRENT_USER\\X\\Y]\r\n\r\n");
}

TEST(RegistryHive, ListsValuesAndDirectSubKeysOnce) {
    RegistryHive hive =
        RegistryHive::Parse("HKEY_LOCAL_MACHINE", "[HKEY_LOCAL_MACHINE\\S\\Evil\\Parameters]\n"
                                                  "[HKEY_LOCAL_MACHINE\\S\\Beep]\n"
                                                  "\"Start\"=dword:00000002\n@=\"d\"\n"
                                                  "[HKEY_LOCAL_MACHINE\\S\\EVIL]\n"
                                                  "[HKEY_LOCAL_MACHINE\\Sx\\Other]\n");
    EXPECT_EQ(hive.subkeyNames("s"), (std::vector<std::string>{"Evil", "Beep"}));
    EXPECT_EQ(hive.subkeyNames(""), (std::vector<std::string>{"S", "Sx"}));
    EXPECT_EQ(hive.valueNames("S\\beep"), (std::vector<std::string>{"Start", ""}));
    EXPECT_TRUE(hive.valueNames("S\\Missing").empty());
    EXPECT_TRUE(hive.subkeyNames("S\\Beep").empty());
}

TEST(RegistryHive, RefusesTextThatWouldBreakTheFile) {
    EXPECT_TRUE(RegistryHive::CanStore("plain \"quoted\" \\ text"));
    EXPECT_FALSE(RegistryHive::CanStore("two\r\nlines"));
    EXPECT_FALSE(RegistryHive::CanStore("line\n[HKEY_LOCAL_MACHINE\\Injected]"));
    EXPECT_FALSE(RegistryHive::CanStore(std::string("nul\0inside", 10)));
}

} // namespace
} // namespace pestrel
