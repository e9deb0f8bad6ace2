#include "app/Printer.h"

#include "app/JsonLines.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace pestrel {
namespace {

// The object of one printed line; a line that is not one JSON object fails the test.
QJsonObject Parsed(const std::string& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    EXPECT_TRUE(document.isObject()) << line;
    return document.object();
}

// The bytes a reader gets back from `key` by the stated rule.
std::string BytesOf(const QJsonObject& object, const QString& key) {
    const QJsonValue exact = object.value(key + "_base64");
    if (exact.isString())
        return QByteArray::fromBase64(exact.toString().toLatin1()).toStdString();
    return object.value(key).toString().toStdString();
}

struct Row {
    const char* what;
    std::string bytes;
    std::string written; // the field as it appears in the line
    bool exact;          // whether a _base64 twin is written
};

TEST(Printer, EveryJsonFieldIsValidJsonAndGivesItsBytesBack) {
    std::vector<Row> rows = {
        {"quote", "a\"b", R"("a\"b")", false},
        {"backslash", "C:\\x", R"("C:\\x")", false},
        {"line end", "a\nb\r", R"("a\nb\r")", false},
        {"tab and nul", std::string("\t\0", 2), R"("\t\u0000")", false},
        {"escape byte", "\x1b[2J", R"("\u001b[2J")", false},
        {"delete byte", "\x7f", "\"\x7f\"", false},
        {"chinese", "病毒.exe", "\"病毒.exe\"", false},
        {"byte order mark", "\xef\xbb\xbfx", "\"\xef\xbb\xbfx\"", false},
        {"four-byte", "\xf0\x9f\x90\x9b", "\"\xf0\x9f\x90\x9b\"", false},
        {"lone high byte",
         "a\xff"
         "b",
         "\"a\xef\xbf\xbd"
         "b\"",
         true},
        {"cut sequence", "\xe7\x97", "\"\xef\xbf\xbd\xef\xbf\xbd\"", true},
        {"lone continuation", "\x80", "\"\xef\xbf\xbd\"", true},
        {"overlong slash", "\xc0\xaf", "\"\xef\xbf\xbd\xef\xbf\xbd\"", true},
        {"surrogate", "\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"", true},
        {"past U+10FFFF", "\xf4\x90\x80\x80",
         "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"", true},
        {"latin-1 name", "caf\xe9\x01.exe", "\"caf\xef\xbf\xbd\\u0001.exe\"", true},
        // Line breaks of readers that split more than LF (Python's splitlines, and so Ansible).
        {"next line", "a\xc2\x85[1]", R"("a\u0085[1]")", false},
        {"line separator", "a\xe2\x80\xa8[1]", R"("a\u2028[1]")", false},
        {"paragraph separator", "\xe2\x80\xa9\xe2\x80\xa9", R"("\u2029\u2029")", false},
        {"separator cut short", "\xe2\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\"", true},
    };
    for (int byte = 0; byte < 0x20; ++byte)
        rows.push_back({"control byte", std::string(1, static_cast<char>(byte)), "", false});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string line = JsonLine(ActionObject({PassVerb::Pending, {row.bytes}}));
        for (const char c : line)
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "a raw control byte in " << line;
        for (const char* mark : {"\xc2\x85", "\xe2\x80\xa8", "\xe2\x80\xa9"})
            EXPECT_EQ(line.find(mark), std::string::npos) << "a raw line break in " << line;
        if (!row.written.empty()) {
            EXPECT_NE(line.find("\"name\":" + row.written), std::string::npos) << line;
        }
        const QJsonObject object = Parsed(line);
        EXPECT_EQ(object.contains("name_base64"), row.exact) << line;
        // Qt's reader drops a byte order mark inside a string: that row's written form holds it.
        if (!row.bytes.starts_with("\xef\xbb\xbf")) {
            EXPECT_EQ(BytesOf(object, "name"), row.bytes);
        }
    }
}

TEST(Printer, JsonFieldsTakeTheirVerbsNames) {
    struct {
        PassAction action;
        QJsonObject expected;
    } rows[] = {
        {{PassVerb::Terminate, {"42", "evil.exe"}},
         {{"verb", "terminate"}, {"pid", "42"}, {"name", "evil.exe"}, {"failed", false}}},
        {{PassVerb::Delete, {"/p/evil.exe", ""}, true},
         {{"verb", "delete"}, {"path", "/p/evil.exe"}, {"kept", ""}, {"failed", true}}},
        {{PassVerb::Skip, {"/p/evil.exe", "exists"}},
         {{"verb", "skip"}, {"place", "/p/evil.exe"}, {"reason", "exists"}, {"failed", false}}},
        {{PassVerb::Skip, {"HKEY_CURRENT_USER\\Run", "evil", "exists"}},
         {{"verb", "skip"},
          {"place", "HKEY_CURRENT_USER\\Run"},
          {"name", "evil"},
          {"reason", "exists"},
          {"failed", false}}},
        {{PassVerb::Denied, {"a", "\xff"}},
         {{"verb", "denied"},
          {"fields", QJsonArray{"a", "\xef\xbf\xbd"}},
          {"fields_base64", QJsonArray{QJsonValue::Null, "/w=="}},
          {"failed", false}}},
        {{PassVerb::Pending, {"a", "b"}},
         {{"verb", "pending"}, {"fields", QJsonArray{"a", "b"}}, {"failed", false}}},
    };
    for (const auto& [action, expected] : rows)
        EXPECT_EQ(Parsed(JsonLine(ActionObject(action))), expected) << VerbName(action.verb);
}

// What `print` writes on standard output.
std::string Printed(const std::function<void()>& print) {
    testing::internal::CaptureStdout();
    print();
    return testing::internal::GetCapturedStdout();
}

// Every verb prints under a name of its own in both forms, "failed" in front of a failed one's
// text, and counts under that name; a status text is the window's and prints nothing.
TEST(Printer, EachVerbPrintsAndCountsUnderItsOwnNameAndAStatusTextNotAtAll) {
    std::set<std::string> names;
    for (int at = 0; at <= static_cast<int>(PassVerb::Status); ++at) {
        const auto verb = static_cast<PassVerb>(at);
        const std::string name = VerbName(verb);
        SCOPED_TRACE(name);
        EXPECT_TRUE(names.insert(name).second) << "named twice";
        const bool shown = verb != PassVerb::Status;
        for (const bool failed : {false, true}) {
            Printer text(Printer::Format::Text), json(Printer::Format::Json);
            EXPECT_EQ(Printed([&] {
                          text.report({verb, {"x"}, failed});
                      }),
                      shown ? (failed ? "failed\t" : "") + name + "\tx\n" : "");
            const std::string line = Printed([&] { json.report({verb, {"x"}, failed}); });
            EXPECT_EQ(line.empty(), !shown);
            if (shown) {
                EXPECT_EQ(Parsed(line.substr(0, line.size() - 1)).value("verb"), name.c_str());
            }
            const Counts counts = text.passCounts(1);
            const Counts counted = {{"entries", 1}, {name, 1}, {"failed", 0}};
            const Counts none = {{"entries", 1}, {"failed", 0}};
            const Counts failedOnce = {{"entries", 1}, {"failed", 1}};
            EXPECT_EQ(counts, !shown ? none : (failed ? failedOnce : counted));
        }
    }
}

// Each field of a text line, whatever it holds, stays in its column on its one line.
TEST(Printer, TextFieldsShowEachControlByteAsAQuestionMark) {
    const struct {
        const char* what;
        std::string field, shown;
    } rows[] = {
        {"line ends", "a\r\nb", "a??b"},
        {"tab", "a\tb", "a?b"},
        {"escape sequence", "\x1b]0;owned\x07", "?]0;owned?"},
        {"nul and delete", std::string("\0\x7f", 2), "??"},
        {"end of text", "\x1a", "?"},
        {"chinese", "病毒.exe", "病毒.exe"},
        {"bytes above ASCII", "caf\xe9", "caf\xe9"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Printer text(Printer::Format::Text);
        EXPECT_EQ(Printed([&] {
                      text.report({PassVerb::Backup, {row.field, row.field}});
                  }),
                  "backup\t" + row.shown + '\t' + row.shown + '\n');
        EXPECT_EQ(
            Printed([&] { text.autostartEntry(row.field, row.field, row.field, true, "pass"); }),
            row.shown + '\t' + row.shown + '\t' + row.shown + "\tlisted\tpass\n");
    }
}

} // namespace
} // namespace pestrel
