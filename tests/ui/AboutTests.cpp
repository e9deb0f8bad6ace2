// The About window and the help button.

#include "tests/ui/UiTest.h"
#include "ui/AboutUnit.h"
#include "ui/TextWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>

namespace pestrel::test {
namespace {

class AboutTest : public UiTest {
protected:
    void SetUp() override {
        WriteFile(appFile("Config.ini"), "[RunData]\r\nVersion=3.0\r\n");
        showForm();
    }
    void TearDown() override { form.reset(); }
    void clickLabel(const char* name) {
        QTest::mouseClick(about()->findChild<QWidget*>(name), Qt::LeftButton);
    }
    QList<TAboutForm*> aboutWindows() {
        QList<TAboutForm*> windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<TAboutForm*>(window))
                windows << about;
        }
        return windows;
    }
    TAboutForm* about() { return aboutWindows().value(0); }
    int visibleAboutWindows() {
        int count = 0;
        for (TAboutForm* window : aboutWindows())
            count += window->isVisible();
        return count;
    }
};

TEST_F(AboutTest, ShowsOneNonModalWindowOnTopThatHidesWhenClosed) {
    EXPECT_TRUE(aboutWindows().isEmpty());
    press("SBAbout");
    press("SBAbout");
    EXPECT_EQ(aboutWindows().size(), 1);
    EXPECT_EQ(visibleAboutWindows(), 1);
    EXPECT_EQ(about()->windowTitle(), "Pestrel 3.0");
    EXPECT_EQ(about()->windowTitle(), form->windowTitle());
    EXPECT_TRUE(about()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(about()->size(), QSize(367, 202));
    EXPECT_FALSE(about()->isModal());
    EXPECT_TRUE(form->isEnabled());

    QTest::mouseClick(about()->findChild<QWidget*>("BOK"), Qt::LeftButton);
    EXPECT_FALSE(about()->isVisible());
    press("SBAbout");
    EXPECT_TRUE(about()->isVisible());
    EXPECT_EQ(aboutWindows().size(), 1);
}

TEST_F(AboutTest, LabelsEndAtOneRightEdgeAndLinksGoToTheDesktop) {
    press("SBAbout");
    for (const char* name : {"Label1", "Lemail", "LHomePage", "Label2"})
        EXPECT_EQ(about()->findChild<QLabel*>(name)->geometry().right() + 1, 201) << name;

    clickLabel("Lemail");
    clickLabel("LHomePage");
    clickLabel("Image1");
    ASSERT_EQ(desktop.opened.size(), 3u);
    EXPECT_EQ(desktop.opened[0].scheme(), "mailto");
    EXPECT_EQ(desktop.opened[0].path(), about()->findChild<QLabel*>("Lemail")->text());
    EXPECT_EQ(desktop.opened[1].toString(), about()->findChild<QLabel*>("LHomePage")->text());
    EXPECT_EQ(desktop.opened[2], desktop.opened[1]);
}

TEST_F(AboutTest, APressDraggedOffALinkOpensNothing) {
    press("SBAbout");
    for (const char* name : {"Lemail", "LHomePage", "Image1"}) {
        QWidget* link = about()->findChild<QWidget*>(name);
        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().bottomRight() + QPoint(5, 5));
    }
    EXPECT_TRUE(desktop.opened.empty());
}

TEST_F(AboutTest, HelpOpensTheReadmeOrSaysItIsMissing) {
    press("suiButton1");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Pestrel 3.0");
    EXPECT_EQ(boxes.shown[0].text,
              "错误：文件" + QString::fromStdString(appFile("Readme.txt")) + "不存在！");
    EXPECT_TRUE(desktop.opened.empty());

    WriteFile(appFile("Readme.txt"), "help");
    press("suiButton1");
    EXPECT_EQ(boxes.shown.size(), 1u);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0],
              QUrl::fromLocalFile(QString::fromStdString(appFile("Readme.txt"))));
}

// An installed program's help is a link to the installed file; a link whose file is gone cannot
// be read.
TEST_F(UiTest, HelpShowsTheReadmeItselfWhenTheDesktopCannotOpenIt) {
    desktop.accepts = false;
    showForm();
    const QString path = QString::fromStdString(appFile("Readme.txt"));
    struct Case {
        const char* bytes; // nothing: the file cannot be read
        QString shown;
        bool linked; // Readme.txt links to the file, as an installed program's does
    };
#ifdef _WIN32
    constexpr bool kLinks = false; // the Windows setup copies the help; it makes no links
#else
    constexpr bool kLinks = true;
#endif
    const Case cases[] = {
        {nullptr, "错误：无法读取文件" + path + "！", kLinks},
        {"帮助\r\nsecond line\r\n", "帮助\nsecond line\n", false},
#ifndef _WIN32
        {"installed\r\n", "installed\n", true},
#endif
    };
    for (const Case& c : cases) {
        std::filesystem::remove(appFile("Readme.txt"));
        if (c.linked) {
            if (c.bytes)
                WriteFile(appFile("installed.txt"), c.bytes);
            std::filesystem::create_symlink(appFile(c.bytes ? "installed.txt" : "gone.txt"),
                                            appFile("Readme.txt"));
        } else if (c.bytes) {
            WriteFile(appFile("Readme.txt"), c.bytes);
        } else {
            std::filesystem::create_directory(appFile("Readme.txt")); // there, but no file
        }
        press("suiButton1");
        const QList<TTextWindow*> windows = form->findChildren<TTextWindow*>();
        ASSERT_EQ(windows.size(), 1);
        EXPECT_TRUE(windows[0]->isVisible());
        EXPECT_EQ(windows[0]->windowTitle(), "Readme.txt");
        EXPECT_EQ(windows[0]->findChild<QPlainTextEdit*>()->toPlainText(), c.shown);
        EXPECT_TRUE(windows[0]->findChild<QPlainTextEdit*>()->isReadOnly());
    }
    EXPECT_EQ(desktop.opened.size(), std::size(cases));
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace pestrel::test
