// The creation sequence of the main window: Config.ini, the title, the virus list load and the
// pending library deletions, with well-formed and with bad files.

#include "tests/support/HeldPath.h"
#include "tests/ui/UiTest.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <filesystem>

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

class StartupTest : public UiTest {};

TEST_F(StartupTest, FirstStartCreatesConfigAndEmptyListAndTitleEndsInBlank) {
    createForm();
    EXPECT_EQ(test::ProfileValue(machine.platform(), appFile("Config.ini"), "RunData", "FirstRun",
                                 "missing"),
              "False");
    EXPECT_EQ(ReadFile(appFile("VirusList.txt")), "");
    EXPECT_EQ(form->windowTitle(), "Pestrel ");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Pestrel ");
    EXPECT_EQ(form->virusEntryCount(), 0);
    EXPECT_EQ(status(), "请先点击\"进程路径\"->\"所有进程路径\",将可疑进程添加到列表中.");
}

TEST_F(StartupTest, VersionGoesIntoTitleAndOnlyExactTrueCountsAsFirstStart) {
    const std::string config = "[RunData]\r\nFirstRun=true\r\nVersion=2.1\r\n";
    WriteFile(appFile("Config.ini"), config);
    createForm();
    EXPECT_EQ(form->windowTitle(), "Pestrel 2.1");
    EXPECT_EQ(ReadFile(appFile("Config.ini")), config);
}

// The platform appends a display name that was set explicitly to the title of every other window
// ("Confirm — Pestrel 2.1"); the title must reach its readers without pinning one.
TEST_F(StartupTest, TitleReachesItsReadersWithoutPinningADisplayName) {
    WriteFile(appFile("Config.ini"), "[RunData]\r\nVersion=2.1\r\n");
    createForm();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Pestrel 2.1");
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
}

TEST_F(StartupTest, WindowIsCentredAndButtonPairsFollowTheWidth) {
    showForm();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Within the width of the frame the platform adds around the window.
    const QPoint offCentre = form->frameGeometry().center() - screen.center();
    EXPECT_LE(offCentre.manhattanLength(), 8);

    form->resize(400, 366);
    QTRY_COMPARE(form->width(), 400);
    for (const char* left : {"SBProcessList", "BVirusPath"})
        EXPECT_EQ(control(left)->x(), 120) << left;
    for (const char* right : {"SBKillProcess", "BAllVirusPath"})
        EXPECT_EQ(control(right)->x(), 210) << right;
}

struct ListLoadCase {
    const char* name;
    std::string file;
    std::vector<std::string> entries;
    std::string fileAfterwards;
};

class ListLoadTest : public UiTest, public ::testing::WithParamInterface<ListLoadCase> {};

TEST_P(ListLoadTest, LoadsEntriesAndRewritesOnlyListsOfTwoOrMore) {
    const ListLoadCase& c = GetParam();
    WriteFile(appFile("VirusList.txt"), c.file);
    createForm();
    std::vector<std::string> loaded;
    for (int i = 0; i < form->virusEntryCount(); ++i)
        loaded.push_back(*form->virusEntry(i));
    EXPECT_EQ(loaded, c.entries);
    EXPECT_EQ(ReadFile(appFile("VirusList.txt")), c.fileAfterwards);
}

const std::string kBinary = std::string("\x80\xfe\xff.exe", 8) + std::string(1, '\0') + "z";

INSTANTIATE_TEST_SUITE_P(
    Files, ListLoadTest,
    ::testing::Values(
        ListLoadCase{"BlankLineDropped",
                     "a.exe\r\n\r\n  b.dll\r\n",
                     {"a.exe", "  b.dll"},
                     "a.exe\r\n  b.dll\r\n"},
        ListLoadCase{"OneEntryLeftAsItIs", "a.exe\r\n\r\n\r\n", {"a.exe"}, "a.exe\r\n\r\n\r\n"},
        ListLoadCase{"BlanksOnlyLineSkipped",
                     "a.exe\n \t \nb.exe",
                     {"a.exe", "b.exe"},
                     "a.exe\r\nb.exe\r\n"},
        ListLoadCase{"BinaryBytesKeptExactly",
                     kBinary + "\r\nc.exe\r\n",
                     {kBinary, "c.exe"},
                     kBinary + "\r\nc.exe\r\n"},
        ListLoadCase{"EndOfTextByteEndsTheList",
                     "a.exe\r\nb.exe\r\n\x1A"
                     "c.exe\r\n",
                     {"a.exe", "b.exe"},
                     "a.exe\r\nb.exe\r\n"},
        ListLoadCase{
            "LoneCarriageReturnsDropped", "a.exe\rb.exe\r\n", {"a.exeb.exe"}, "a.exe\rb.exe\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, HugeListsAndLongLinesLoadWholeAndSaveUnchanged) {
    std::string file;
    std::vector<std::string> entries;
    entries.push_back(std::string(10000, 'x') + ".exe");
    for (int i = 0; i < 100000; ++i)
        entries.push_back("virus" + std::to_string(i) + ".exe");
    for (const std::string& entry : entries)
        file += entry + "\r\n";
    WriteFile(appFile("VirusList.txt"), file);

    createForm();
    ASSERT_EQ(form->virusEntryCount(), static_cast<int>(entries.size()));
    EXPECT_EQ(*form->virusEntry(0), entries.front());
    EXPECT_EQ(*form->virusEntry(100000), entries.back());
    EXPECT_EQ(ReadFile(appFile("VirusList.txt")), file);
}

TEST_F(StartupTest, ConfigThatIsNotAnIniFileStillOpensTheWindowWithTheList) {
    WriteFile(appFile("Config.ini"), std::string("\x00\xff[[[=\r\n\x1a garbage ]\n", 21));
    WriteFile(appFile("VirusList.txt"), "a.exe\r\n");
    createForm();
    EXPECT_EQ(form->virusEntryCount(), 1);
    EXPECT_TRUE(form->windowTitle().startsWith("Pestrel "));
}

TEST_F(StartupTest, PendingDeletionsRemoveLibrariesInsideTheSystemFoldersOnly) {
    Context& context = machine.context();
    const std::string outsideFolder = machine.root() + "outside/";
    fs::create_directories(outsideFolder);
    WriteFile(context.WinDir + "old.dll", "x");
    WriteFile(context.SysDir + "old.dll", "x");
    WriteFile(outsideFolder + "keep.dll", "x");
    WriteFile(machine.root() + "keep.dll", "x");
    WriteFile(appFile("Temp.~txt"), "old.dll\r\n../../outside/keep.dll\r\n" + outsideFolder +
                                        "keep.dll\r\n..\r\n../../../keep.dll\r\n");
    createForm();
    EXPECT_FALSE(fs::exists(context.WinDir + "old.dll"));
    EXPECT_FALSE(fs::exists(context.SysDir + "old.dll"));
    EXPECT_TRUE(fs::exists(outsideFolder + "keep.dll"));
    EXPECT_TRUE(fs::exists(machine.root() + "keep.dll"));
    EXPECT_FALSE(fs::exists(appFile("Temp.~txt")));
}

} // namespace
} // namespace pestrel::test
