// The main window's controls by name, with the places, captions and pixel sizes commands and
// people rely on, and the skinned frame, page control and buttons that give it its look.

#include "skin/InterfaceFont.h"
#include "skin/buttons/SUIButton.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/window/SUIForm.h"
#include "tests/ui/UiTest.h"

#include <QFontInfo>
#include <QPainter>

namespace pestrel::test {
namespace {

class LayoutTest : public UiTest {};

struct Placed {
    const char* name;
    QRect geometry;
    const char* caption;
};

TEST_F(LayoutTest, ControlsStandWhereTheLayoutPutsThem) {
    showForm();
    const Placed placed[] = {
        {"SBPestrel", {10, 22, 80, 27}, "杀毒"},
        {"SBCleanList", {8, 56, 80, 27}, "清空列表"},
        {"EADDVirusName", {8, 144, 81, 22}, nullptr},
        {"SBAddToList", {8, 176, 80, 27}, "添加到列表"},
        {"suiButton1", {8, 216, 41, 27}, "Help"},
        {"SBAbout", {48, 216, 41, 27}, "关于"},
        // The bottom pairs are placed around the middle of the window, 313 wide.
        {"SBProcessList", {76, 8, 80, 27}, "进程列表"},
        {"SBKillProcess", {166, 8, 80, 27}, "结束进程"},
        {"BVirusPath", {76, 8, 80, 27}, "病毒路径"},
        {"BAllVirusPath", {166, 8, 80, 27}, "所有进程路径"},
    };
    for (const Placed& p : placed) {
        QWidget* widget = control(p.name);
        EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
        if (p.caption) {
            EXPECT_EQ(widget->property("Caption").toString(), p.caption) << p.name;
        }
    }
    EXPECT_EQ(control("Panel3")->width(), 98);
    EXPECT_EQ(control("Panel1")->height(), 24);
    EXPECT_EQ(control("StatusBar")->height(), 19);
    EXPECT_EQ(control("PanelMain22")->height(), 41);
    EXPECT_EQ(control("PanelMain32")->height(), 41);
}

TEST_F(LayoutTest, FontsAndRowsHaveTheirPixelHeights) {
    WriteFile(appFile("VirusList.txt"), "a.exe\r\n");
    showForm();
    EXPECT_EQ(form->font().pixelSize(), 12);
    auto* pages = control<TsuiPageControl>("suiPageControl1");
    EXPECT_EQ(pages->font().pixelSize(), 11);
    EXPECT_EQ(pages->TabFont().family(), "MS Sans Serif");
    EXPECT_EQ(pages->TabFont().pixelSize(), 11);
    EXPECT_EQ(control("EADDVirusName")->font().pixelSize(), 14);
    auto* list = control<QListView>("ListBox");
    EXPECT_EQ(list->visualRect(list->model()->index(0, 0)).height(), 14);

    auto* frame = control<TsuiForm>("suiForm1");
    EXPECT_EQ(frame->TitleFont().family(), "Tahoma");
    EXPECT_EQ(frame->TitleFont().pixelSize(), 11);
    EXPECT_TRUE(frame->TitleFont().bold());
    EXPECT_EQ(frame->FontColor(), clWhite);
}

// The lists' letters fit their 14-pixel rows, as 宋体's, which fill exactly their 14 pixels: the
// face standing in for it, as the program chooses it, loses no line of a letter to the row's
// edges, descenders included.
TEST_F(LayoutTest, ListLettersFitTheirRows) {
    UseInterfaceFont();
    const QString text = QStringLiteral("gjpqy汉字");
    WriteFile(appFile("VirusList.txt"), text.toStdString() + "\r\n");
    showForm();
    for (const char* name : {"ListBox", "ListBoxProcess"})
        EXPECT_EQ(control(name)->font().family(), "宋体") << name;
    auto* list = control<QListView>("ListBox");
    const QRect row = list->visualRect(list->model()->index(0, 0));
    ASSERT_EQ(row.height(), 14);
    // The lines that hold a letter's ink (dark pixels; the row's own frame is light).
    const auto inkLines = [](const QImage& image) {
        int lines = 0;
        for (int y = 0; y < image.height(); ++y) {
            bool ink = false;
            for (int x = 0; x < image.width() && !ink; ++x)
                ink = qGray(image.pixel(x, y)) < 128;
            lines += ink ? 1 : 0;
        }
        return lines;
    };
    QImage unbounded(row.width(), 60, QImage::Format_RGB32);
    unbounded.fill(Qt::white);
    QPainter canvas(&unbounded);
    canvas.setFont(list->font());
    canvas.drawText(QPoint(4, 40), text);
    canvas.end();
    const int whole = inkLines(unbounded);
    EXPECT_GE(whole, 10);
    // A renderer may smear a letter's edge into one more line; a clipped letter loses lines.
    EXPECT_GE(inkLines(list->viewport()->grab(row).toImage()), whole);
}

TEST_F(LayoutTest, FramelessWindowCarriesOneWinXPFrameWithItsBorder) {
    showForm();
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QList<TsuiForm*> frames = form->findChildren<TsuiForm*>();
    ASSERT_EQ(frames.size(), 1);
    const TsuiForm* frame = frames[0];
    EXPECT_EQ(frame->objectName(), "suiForm1");
    EXPECT_EQ(frame->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(frame->BorderWidth(), 3);
    EXPECT_EQ(frame->BorderColor(), 0x00C82C00u);
    EXPECT_EQ(frame->Color(), 0x00DEEBEFu);
    EXPECT_EQ(frame->MenuBarColor(), 0x00DEEBEFu);
    EXPECT_EQ(frame->MenuBarHeight(), 22);
    EXPECT_FALSE(frame->TitleBarDrawAppIcon());

    // The host's own surface shows the border strips in $00C82C00 (red 0, green 44, blue 200).
    const QImage window = form->grab().toImage();
    const QColor border(0, 44, 200);
    const int w = window.width(), h = window.height();
    for (const QPoint at : {QPoint(0, h / 2), QPoint(2, h / 2), QPoint(w - 1, h / 2),
                            QPoint(w - 3, h / 2), QPoint(w / 2, h - 1), QPoint(w / 2, h - 3)})
        EXPECT_EQ(window.pixelColor(at), border) << at.x() << "," << at.y();
    EXPECT_EQ(frame->geometry(), QRect(3, 0, w - 6, h - 3));

    // The page control fills the frame between the title bar and the status bar.
    const QWidget* pages = control("suiPageControl1");
    const QWidget* status = control("StatusBar");
    EXPECT_EQ(pages->geometry(), QRect(0, frame->TitleBar()->height(), frame->width(),
                                       status->y() - frame->TitleBar()->height()));
    EXPECT_EQ(status->geometry().bottom(), frame->height() - 1);
}

TEST_F(LayoutTest, TitleBarPaintsTheProductWhileTheWindowTitleCarriesTheVersion) {
    WriteFile(appFile("Config.ini"), "[RunData]\r\nFirstRun=False\r\nVersion=2.1\r\n");
    showForm();
    TsuiTitleBar* bar = control<TsuiForm>("suiForm1")->TitleBar();
    EXPECT_EQ(form->windowTitle(), "Pestrel 2.1");
    EXPECT_EQ(bar->Caption(), "Pestrel");
    EXPECT_EQ(bar->captionText(), "Pestrel");
    EXPECT_EQ(bar->UIStyle(), TsuiUIStyle::WinXP);

    // Control box, close, maximise, minimise: opaque, 5 pixels from the top.
    const TsuiTitleBarBtnType types[] = {TsuiTitleBarBtnType::suiControlBox,
                                         TsuiTitleBarBtnType::suiClose, TsuiTitleBarBtnType::suiMax,
                                         TsuiTitleBarBtnType::suiMin};
    auto& buttons = control<TsuiForm>("suiForm1")->TitleBarButtons();
    ASSERT_EQ(buttons.count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(buttons[i].ButtonType(), types[i]) << i;
        EXPECT_FALSE(buttons[i].Transparent()) << i;
        EXPECT_EQ(buttons[i].Top(), 5) << i;
    }
    auto& sections = control<TsuiForm>("suiForm1")->TitleBarSections();
    ASSERT_EQ(sections.count(), 3);
    EXPECT_EQ(sections[0].Align(), TsuiTitleBarAlign::suiLeft);
    EXPECT_TRUE(sections[0].AutoSize());
    EXPECT_EQ(sections[1].Align(), TsuiTitleBarAlign::suiRight);
    EXPECT_TRUE(sections[1].AutoSize());
    EXPECT_EQ(sections[2].Align(), TsuiTitleBarAlign::suiClient);

    // The caption is painted in white where the bar places it.
    const QImage painted = bar->grab().toImage();
    const QPoint at = bar->captionPosition();
    const QFontMetrics metrics(bar->font());
    const QRect text(at, QSize(metrics.horizontalAdvance("Pestrel"), metrics.height()));
    int white = 0;
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x)
            white += painted.pixelColor(x, y) == Qt::white;
    EXPECT_GT(white, 20);
}

TEST_F(LayoutTest, PageControlHoldsTheThreeWhiteSheetsAndTabsSwitchThem) {
    showForm();
    auto* pages = control<TsuiPageControl>("suiPageControl1");
    EXPECT_EQ(pages->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(pages->LeftMargin(), 10);
    EXPECT_EQ(pages->BorderColor(), 6842472u);
    EXPECT_EQ(pages->Color(), clWhite);
    const char* names[] = {"suiTabSheet1", "suiTabSheet2", "suiTabSheet3"};
    const char* captions[] = {"杀毒", "进程列表", "进程路径"};
    ASSERT_EQ(pages->PageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages->pageAt(i)->objectName(), names[i]);
        EXPECT_EQ(pages->pageAt(i)->Caption(), captions[i]);
        EXPECT_EQ(pages->pageAt(i)->Color(), clWhite) << i;
    }
    EXPECT_EQ(pages->TopPanel()->Tabs(), QStringList(std::begin(captions), std::end(captions)));
    EXPECT_EQ(pages->ActivePage(), pages->pageAt(0));

    // Each tab brings its page to the front: what shows in the middle of the page control is
    // that page's content.
    for (const char* inside : {"Memo", "ListBoxProcess", "ListBox"}) {
        QWidget* widget = control(inside);
        showPageOf(widget);
        const QWidget* shown = pages->childAt(pages->width() / 3, pages->height() / 2);
        EXPECT_TRUE(widget == shown || widget->isAncestorOf(shown)) << inside;
    }
}

TEST_F(LayoutTest, NinePushButtonsAreDeepBlueWithoutGlyphs) {
    showForm();
    const QList<TsuiButton*> buttons = form->findChildren<TsuiButton*>();
    QStringList names;
    for (const TsuiButton* button : buttons) {
        names << button->objectName();
        EXPECT_EQ(button->UIStyle(), TsuiUIStyle::DeepBlue) << qPrintable(button->objectName());
        EXPECT_FALSE(button->AutoSize()) << qPrintable(button->objectName());
        EXPECT_FALSE(button->Transparent()) << qPrintable(button->objectName());
        EXPECT_EQ(button->glyphLayout(), TsuiButton::blGlyphLeft);
        EXPECT_EQ(button->Spacing(), 4);
        EXPECT_TRUE(button->Glyph().isNull());
    }
    names.sort();
    EXPECT_EQ(names,
              QStringList({"BAllVirusPath", "BVirusPath", "SBAbout", "SBAddToList", "SBCleanList",
                           "SBKillProcess", "SBPestrel", "SBProcessList", "suiButton1"}));
}

} // namespace
} // namespace pestrel::test
