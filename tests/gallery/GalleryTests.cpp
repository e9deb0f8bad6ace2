#include "gallery/GalleryWindow.h"
#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUIToolBar.h"
#include "skin/bars/SUITrackBar.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/window/SUIForm.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace pestrel::gallery {
namespace {

// The lines of --print-layout, among the event lines.
const QRegularExpression LayoutLine(R"(^\S+ -?\d+ -?\d+ \d+ \d+$)");

// Runs the gallery offscreen and collects its output until `layoutLines` lines of the layout
// have come, or it ends, or 30 seconds pass; then ends it. The exit code is given only when it
// ended by itself.
QStringList RunGallery(const QStringList& arguments, int layoutLines, int* exitCode = nullptr) {
    QProcess gallery;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    gallery.setProcessEnvironment(environment);
    gallery.start(PESTREL_GALLERY_PROGRAM, arguments);
    QStringList lines;
    const QDeadlineTimer deadline(30000);
    while (lines.filter(LayoutLine).size() < layoutLines && !deadline.hasExpired() &&
           gallery.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        while (gallery.canReadLine())
            lines << QString::fromUtf8(gallery.readLine()).trimmed();
    }
    const bool ended = lines.filter(LayoutLine).size() < layoutLines &&
                       (gallery.state() == QProcess::NotRunning ||
                        gallery.waitForFinished(static_cast<int>(deadline.remainingTime())));
    if (!ended) {
        gallery.kill();
        gallery.waitForFinished();
    } else if (exitCode) {
        *exitCode = gallery.exitCode();
    }
    return lines.filter(LayoutLine);
}

TEST(GalleryProgram, PrintsThePlaceOfEveryRequiredControl) {
    const QStringList required = {
        "pageControl1",  "pagePanels", "imagePanel1", "progressBar1",  "progressBar2",
        "trackBar1",     "trackBar2",  "toolBar1",    "toolButtonNew", "toolButtonOpen",
        "toolButtonPin", "menuFile",   "menuStyle",   "menuHelp"};
    TGalleryWindow reference;
    const int controls = static_cast<int>(reference.layoutLines().size());
    const QStringList lines = RunGallery({"--print-layout", "--skin", "macos"}, controls);
    ASSERT_EQ(lines.size(), controls) << lines.join('\n').toStdString();
    for (const QString& name : required) {
        const QStringList line = lines.filter(QRegularExpression("^" + name + " "));
        ASSERT_EQ(line.size(), 1) << name.toStdString();
        const QStringList fields = line[0].split(' ');
        ASSERT_EQ(fields.size(), 5) << line[0].toStdString();
        EXPECT_GT(fields[3].toInt(), 0) << name.toStdString();
        EXPECT_GT(fields[4].toInt(), 0) << name.toStdString();
    }
}

TEST(GalleryProgram, RefusesAnUnknownSkinOrPage) {
    for (const QStringList& arguments :
         {QStringList{"--skin", "Aqua"}, QStringList{"--page", "x"}}) {
        int exitCode = -1;
        RunGallery(arguments, 1, &exitCode);
        EXPECT_EQ(exitCode, 2) << arguments.join(' ').toStdString();
    }
}

TEST(GalleryWindow, StyleSwitchReachesEveryControlAndTheTrackBarDrivesTheProgressBar) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    window.show();
    auto* progress = window.findChild<TsuiProgressBar*>("progressBar1");
    auto* track = window.findChild<TsuiTrackBar*>("trackBar1");
    auto* verticalTrack = window.findChild<TsuiTrackBar*>("trackBar2");
    auto* tools = window.findChild<TsuiToolBar*>("toolBar1");
    ASSERT_TRUE(progress && track && verticalTrack && tools);
    window.setSkin(TsuiUIStyle::MacOS);
    for (const QObject* control :
         {static_cast<QObject*>(progress), static_cast<QObject*>(track),
          static_cast<QObject*>(verticalTrack), static_cast<QObject*>(tools)})
        EXPECT_EQ(control->property("UIStyle").value<TsuiUIStyle>(), TsuiUIStyle::MacOS)
            << control->objectName().toStdString();
    EXPECT_TRUE(tools->Transparent());

    track->setPosition(75);
    EXPECT_EQ(progress->Position(), 75);
    EXPECT_EQ(progress->Caption(), "75%");

    EXPECT_FALSE(window.showPage("pageNone"));
    EXPECT_TRUE(window.showPage("pagePanels"));
    window.setAllDisabled(true);
    EXPECT_FALSE(track->isEnabled());
    EXPECT_FALSE(tools->isEnabled());
}

TEST(GalleryWindow, StyleMenuSwitchesTheWindowAndMarksTheStyleShown) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    auto* choice = window.findChild<QAction*>("menuStyleProtein");
    ASSERT_TRUE(choice);
    choice->trigger();
    EXPECT_EQ(window.form()->UIStyle(), TsuiUIStyle::Protein);
    window.setSkin(TsuiUIStyle::MacOS);
    QMenu* styles = choice->associatedObjects().isEmpty()
                        ? nullptr
                        : qobject_cast<QMenu*>(choice->associatedObjects().first());
    ASSERT_TRUE(styles);
    emit styles->aboutToShow();
    EXPECT_TRUE(window.findChild<QAction*>("menuStyleMacOS")->isChecked());
    EXPECT_FALSE(choice->isChecked());
}

TEST(GalleryStyles, NamesWithoutCase) {
    EXPECT_EQ(StyleFromName("blueglass"), TsuiUIStyle::BlueGlass);
    EXPECT_EQ(StyleFromName("WinXP"), TsuiUIStyle::WinXP);
    EXPECT_EQ(StyleFromName("Custom"), std::nullopt);
    EXPECT_EQ(StyleFromName(""), std::nullopt);
}

} // namespace
} // namespace pestrel::gallery

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
