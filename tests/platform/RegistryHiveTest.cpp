#include "platform/posix/RegistryHive.h"

#include <gtest/gtest.h>

namespace pestrel {
namespace {

RegValue Text(std::string text) {
    RegValue value;
    value.text = std::move(text);
    return value;
}

RegValue Integer(std::uint32_t number) {
    RegValue value;
    value.kind = RegValue::Kind::Integer;
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

TEST(RegistryHive, RefusesTextThatWouldBreakTheFile) {
    EXPECT_TRUE(RegistryHive::CanStore("plain \"quoted\" \\ text"));
    EXPECT_FALSE(RegistryHive::CanStore("two\r\nlines"));
    EXPECT_FALSE(RegistryHive::CanStore("line\n[HKEY_LOCAL_MACHINE\\Injected]"));
    EXPECT_FALSE(RegistryHive::CanStore(std::string("nul\0inside", 10)));
}

} // namespace
} // namespace pestrel
