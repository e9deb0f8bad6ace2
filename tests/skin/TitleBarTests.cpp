#include "skin/InterfaceFont.h"
#include "skin/SUIMessages.h"
#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "skin/window/SUIForm.h"
#include "skin/window/SUITitleBar.h"

#include <QFontDatabase>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace pestrel {
namespace {

// Collects the information messages instead of showing them.
class RecordedMessages {
public:
    RecordedMessages()
        : previous_(SetSkinInformationHandler([this](const QString& t) { texts.push_back(t); })) {}
    ~RecordedMessages() { SetSkinInformationHandler(previous_); }
    QStringList texts;

private:
    TsuiInformationHandler previous_;
};

// A shown window framed in `style` whose title bar is `barWidth` wide.
struct FramedWindow {
    FramedWindow(TsuiUIStyle style, int barWidth) {
        form = new TsuiForm(&host);
        form->setUIStyle(style);
        host.move(100, 80);
        host.resize(barWidth + 2 * form->BorderWidth(), 200);
        host.show();
        bar = form->TitleBar();
    }
    QImage grabBar() const { return bar->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget host;
    TsuiForm* form;
    TsuiTitleBar* bar;
};

enum Button { ControlBox, Close, Max, Min }; // the default buttons, in collection order

bool SameBlock(const QImage& shown, const QPoint& at, const QImage& picture) {
    const QImage expected = picture.convertToFormat(QImage::Format_RGB32);
    return shown.copy(QRect(at, expected.size())) == expected;
}

// The pixels the caption puts on the bar: the difference between the bar with and without it.
QRect CaptionInk(FramedWindow& window, const QString& caption) {
    window.bar->setCaption(QString());
    const QImage blank = window.grabBar();
    window.bar->setCaption(caption);
    const QImage written = window.grabBar();
    QRect ink;
    for (int y = 0; y < blank.height(); ++y)
        for (int x = 0; x < blank.width(); ++x)
            if (blank.pixel(x, y) != written.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// How wide the white caption's stroke is: across the middle row of the caption "l", the pixels it
// brightens by at least half of what white adds to the bar there.
int CaptionStrokeWidth(FramedWindow& window) {
    const QRect ink = CaptionInk(window, QStringLiteral("l"));
    window.bar->setCaption(QString());
    const QImage blank = window.grabBar();
    window.bar->setCaption(QStringLiteral("l"));
    const QImage written = window.grabBar();
    const int y = ink.center().y();
    int width = 0;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        const int background = qGray(blank.pixel(x, y));
        width += 2 * (qGray(written.pixel(x, y)) - background) >= 255 - background;
    }
    return width;
}

// The caption is bold in the interface face, which has no bold of its own: its strokes are
// measurably wider than regular ones.
TEST(TitleBarCaption, BoldStrokesAreWiderThanRegularOnes) {
    const QString family =
        ChooseInterfaceFamily(QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    if (family.isEmpty())
        GTEST_SKIP() << "no installed font covers Simplified Chinese";
    FramedWindow window(TsuiUIStyle::WinXP, 299);
    QFont font = window.bar->font();
    ASSERT_TRUE(font.bold());
    font.setFamilies({family});
    window.bar->setFont(font);
    const int bold = CaptionStrokeWidth(window);
    font.setBold(false);
    window.bar->setFont(font);
    const int regular = CaptionStrokeWidth(window);
    EXPECT_GE(regular, 1);
    EXPECT_GE(bold, regular + 1);
}

TEST(TitleBarLayout, WinXpPlacesButtonsAndCaptionAsDesigned) {
    FramedWindow window(TsuiUIStyle::WinXP, 299);
    ASSERT_EQ(window.bar->width(), 299);
    EXPECT_EQ(window.bar->height(), 29);
    const std::vector<QRect> rects = window.bar->buttonRects();
    EXPECT_EQ(rects[Close], QRect(276, 5, 21, 21));
    EXPECT_EQ(rects[Max], QRect(254, 5, 21, 21));
    EXPECT_EQ(rects[Min], QRect(232, 5, 21, 21));
    EXPECT_EQ(rects[ControlBox], QRect(2, 5, 21, 21));

    const QImage shown = window.grabBar();
    EXPECT_TRUE(SameBlock(shown, {276, 5}, LoadSkinBitmap("WINXP_TITLEBTN_CLOSE_NORMAL")));
    EXPECT_TRUE(SameBlock(shown, {254, 5}, LoadSkinBitmap("WINXP_TITLEBTN_MAX_NORMAL")));
    EXPECT_TRUE(SameBlock(shown, {232, 5}, LoadSkinBitmap("WINXP_TITLEBTN_MIN_NORMAL")));
    EXPECT_TRUE(SameBlock(shown, {2, 5}, LoadSkinBitmap("WINXP_TITLEBTN_CTLBOX_NORMAL")));

    const int textHeight = QFontMetrics(window.bar->font()).height();
    EXPECT_EQ(window.bar->captionPosition(), QPoint(28, (29 - textHeight) / 2));
    const QRect ink = CaptionInk(window, "Pestrel");
    EXPECT_GE(ink.left(), 28);
    EXPECT_LT(ink.left(), 28 + 3);
    EXPECT_GE(ink.top(), (29 - textHeight) / 2);
    EXPECT_LE(ink.bottom(), (29 - textHeight) / 2 + textHeight);
}

TEST(TitleBarLayout, DeepBlueButtonsSitAtTheRightEdgeAndTheCaptionAtFourPixels) {
    FramedWindow window(TsuiUIStyle::DeepBlue, 250);
    EXPECT_EQ(window.bar->height(), 32);
    const std::vector<QRect> rects = window.bar->buttonRects();
    EXPECT_EQ(rects[Close], QRect(250 - 19, 2, 19, 19));
    EXPECT_EQ(rects[Max], QRect(250 - 39, 2, 19, 19));
    EXPECT_TRUE(
        SameBlock(window.grabBar(), {231, 2}, LoadSkinBitmap("DEEPBLUE_TITLEBTN_CLOSE_NORMAL")));
    EXPECT_EQ(window.bar->captionPosition(), QPoint(19 + 5, 4));
    const QRect ink = CaptionInk(window, "Pestrel");
    EXPECT_GE(ink.top(), 4);
    EXPECT_LE(ink.bottom(), 4 + QFontMetrics(window.bar->font()).height());
}

TEST(TitleBarLayout, WithoutAControlBoxAndOffsetTheCaptionStartsAtSix) {
    FramedWindow window(TsuiUIStyle::DeepBlue, 250);
    TsuiTitleBarButtons& buttons = window.bar->Buttons();
    TsuiTitleBarButtons kept(nullptr);
    kept.assign(buttons);
    buttons.clear();
    for (int i = Close; i <= Min; ++i)
        buttons.add().assign(kept[i]);
    EXPECT_EQ(window.bar->captionPosition().x(), 6);
    window.bar->setDrawAppIcon(true);
    EXPECT_EQ(window.bar->captionPosition().x(), 6);
}

TEST(TitleBarLayout, ACaptionWiderThanTheRoomKeepsTwoBytesAndDots) {
    FramedWindow window(TsuiUIStyle::WinXP, 150);
    struct Case {
        const char* caption;
        const char* shown;
    };
    const Case cases[] = {
        {"Pestrel anti-virus, the complete edition", "Pe..."},
        {"杀毒工具杀毒工具杀毒工具杀毒工具", "杀..."},
        {"a杀毒工具杀毒工具杀毒工具杀毒工具", "a..."},
        {"Pestrel", "Pestrel"},
    };
    for (const Case& c : cases) {
        window.bar->setCaption(QString::fromUtf8(c.caption));
        EXPECT_EQ(window.bar->captionText(), QString::fromUtf8(c.shown)) << c.caption;
    }
}

// Solid pictures make the joins between sections visible column by column.
TEST(TitleBarSections, LeftRightAndClientSectionsMeetWithoutGaps) {
    QWidget parent;
    TsuiTitleBar bar(&parent);
    bar.setUIStyle(TsuiUIStyle::Custom);
    bar.Buttons().clear();
    parent.resize(100, 40);
    const auto solid = [](QRgb color, int w) {
        QImage image(w, 20, QImage::Format_RGB32);
        image.fill(color);
        return TPicture(image);
    };
    const auto add = [&](QRgb color, int w, TsuiTitleBarAlign align) {
        TsuiTitleBarSection& section = bar.Sections().add();
        section.setAutoSize(true);
        section.setPicture(solid(color, w));
        section.setAlign(align);
    };
    add(qRgb(255, 0, 0), 10, TsuiTitleBarAlign::suiLeft);
    add(qRgb(0, 0, 255), 7, TsuiTitleBarAlign::suiRight);
    add(qRgb(0, 255, 0), 3, TsuiTitleBarAlign::suiClient);
    add(qRgb(0, 255, 255), 4, TsuiTitleBarAlign::suiLeft);
    add(qRgb(255, 255, 0), 200, TsuiTitleBarAlign::suiRight); // does not fit: skipped
    bar.setAutoSize(true);
    ASSERT_EQ(bar.height(), 20);

    const QImage shown = bar.grab().toImage();
    const auto column = [&](int x) { return shown.pixel(x, 10) & 0xFFFFFF; };
    for (int x = 0; x < 100; ++x) {
        const QRgb expected = x < 10 ? 0xFF0000 : x < 14 ? 0x00FFFF : x < 93 ? 0x00FF00 : 0x0000FF;
        ASSERT_EQ(column(x), expected) << "column " << x;
    }
}

TEST(TitleBarSections, ASecondClientSectionOrControlBoxIsRefused) {
    RecordedMessages messages;
    QWidget parent;
    TsuiTitleBar bar(&parent);
    TsuiTitleBarSection& left = bar.Sections()[0];
    left.setAlign(TsuiTitleBarAlign::suiClient);
    EXPECT_EQ(left.Align(), TsuiTitleBarAlign::suiLeft);

    TsuiTitleBarButton& close = bar.Buttons()[Close];
    close.setButtonType(TsuiTitleBarBtnType::suiControlBox);
    EXPECT_EQ(close.ButtonType(), TsuiTitleBarBtnType::suiClose);

    const QImage before = close.PicNormal().bitmap();
    close.setPicNormal(TPicture(QImage(5, 5, QImage::Format_RGB32)));
    EXPECT_EQ(close.PicNormal().bitmap(), before);

    EXPECT_EQ(messages.texts,
              QStringList({"Sorry, only one section's Align property can be \"suiClient\"",
                           "Sorry, only one button's ButtonType property can be \"suiControlBox\"",
                           "Sorry, this button is not a \"suiCustom\" or "
                           "\"suiControlBox\"(ButtonType property) button!"}));
}

TEST(TitleBarSections, CustomStyleEmptiesTheBarButKeepsButtonPictures) {
    QWidget parent;
    TsuiTitleBar bar(&parent);
    bar.setUIStyle(TsuiUIStyle::WinXP);
    bar.setUIStyle(TsuiUIStyle::Custom);
    EXPECT_EQ(bar.Sections().count(), 0);
    EXPECT_EQ(bar.Buttons()[Close].PicNormal().bitmap(),
              LoadSkinBitmap("WINXP_TITLEBTN_CLOSE_NORMAL"));
}

// Protein's buttons key out their bottom-left colour: the section shows through there.
TEST(TitleBarButtons, TransparentButtonsShowTheSectionWhereTheyHaveTheirKeyColor) {
    FramedWindow window(TsuiUIStyle::Protein, 300);
    const QRect close = window.bar->buttonRects()[Close];
    const QImage picture = LoadSkinBitmap("PROTEIN_TITLEBTN_CLOSE_NORMAL");
    const QImage withButtons = window.grabBar();
    window.bar->Buttons().clear();
    const QImage sectionsOnly = window.grabBar();
    const QRgb key = picture.pixel(0, picture.height() - 1);
    int keyed = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QPoint at = close.topLeft() + QPoint(x, y);
            const QRgb expected =
                picture.pixel(x, y) == key ? sectionsOnly.pixel(at) : picture.pixel(x, y);
            ASSERT_EQ(withButtons.pixel(at), expected | 0xFF000000) << x << "," << y;
            keyed += picture.pixel(x, y) == key;
        }
    EXPECT_GT(keyed, 0);
}

class TitleBarMouse : public ::testing::Test {
protected:
    FramedWindow window{TsuiUIStyle::WinXP, 299};
    QPoint centre(int button) const { return window.bar->buttonRects()[button].center(); }
    const QPoint emptyBar{150, 15};
};

TEST_F(TitleBarMouse, TheHotButtonShowsItsMouseOnAndMouseDownPictures) {
    QTest::mouseMove(window.host.windowHandle(), window.bar->mapTo(&window.host, centre(Close)));
    EXPECT_EQ(window.bar->HotButtonIndex(), Close);
    const QPoint at = window.bar->buttonRects()[Close].topLeft();
    EXPECT_TRUE(SameBlock(window.grabBar(), at, LoadSkinBitmap("WINXP_TITLEBTN_CLOSE_MOUSEON")));

    // Sliding from a pressed button onto another shows and acts on the other.
    QTest::mousePress(window.bar, Qt::LeftButton, {}, centre(Min));
    QTest::mouseMove(window.bar, centre(Max));
    EXPECT_TRUE(window.bar->MouseIsDown());
    const QPoint maxAt = window.bar->buttonRects()[Max].topLeft();
    EXPECT_TRUE(SameBlock(window.grabBar(), maxAt, LoadSkinBitmap("WINXP_TITLEBTN_MAX_MOUSEDOWN")));
    QTest::mouseRelease(window.bar, Qt::LeftButton, {}, centre(Max));
    EXPECT_TRUE(window.host.isMaximized());
    EXPECT_FALSE(window.host.isMinimized());
    EXPECT_FALSE(window.bar->MouseIsDown());
}

// Through the window, as the platform delivers it: press, release, double click, release.
TEST_F(TitleBarMouse, DoubleClickOnTheEmptyBarMaximisesToTheWorkAreaAndRestores) {
    const QRect normal = window.host.geometry();
    const auto doubleClick = [&] {
        const QPoint at = window.bar->mapTo(&window.host, emptyBar);
        QTest::mouseDClick(window.host.windowHandle(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(window.host.windowHandle(), Qt::LeftButton, {}, at);
    };
    doubleClick();
    EXPECT_TRUE(window.host.isMaximized());
    EXPECT_EQ(window.host.geometry(), GetWorkAreaRect(&window.host).toQRect());
    EXPECT_EQ(window.bar->Buttons()[Max].PicNormal().bitmap(),
              LoadSkinBitmap("WINXP_TITLEBTN_RST_NORMAL"));

    // A press on the empty bar of a maximised window does not move it.
    QTest::mousePress(window.bar, Qt::LeftButton, {}, emptyBar);
    QTest::mouseMove(window.bar, emptyBar + QPoint(40, 30));
    QTest::mouseRelease(window.bar, Qt::LeftButton, {}, emptyBar + QPoint(40, 30));
    EXPECT_EQ(window.host.pos(), GetWorkAreaRect(&window.host).toQRect().topLeft());

    doubleClick();
    EXPECT_FALSE(window.host.isMaximized());
    EXPECT_EQ(window.host.geometry(), normal);
    EXPECT_EQ(window.bar->Buttons()[Max].PicNormal().bitmap(),
              LoadSkinBitmap("WINXP_TITLEBTN_MAX_NORMAL"));
}

TEST_F(TitleBarMouse, DraggingTheEmptyBarMovesTheWindowAndIsNoClick) {
    const QPoint start = window.host.pos();
    QTest::mousePress(window.bar, Qt::LeftButton, {}, emptyBar);
    EXPECT_FALSE(window.bar->MouseIsDown());
    QTest::mouseMove(window.bar, emptyBar + QPoint(30, 20));
    EXPECT_EQ(window.host.pos(), start + QPoint(30, 20));
    // The pointer ends over the close button: the release still only ends the drag.
    QTest::mouseRelease(window.bar, Qt::LeftButton, {}, centre(Close));
    EXPECT_TRUE(window.host.isVisible());
    EXPECT_FALSE(window.bar->MouseIsDown());
}

TEST_F(TitleBarMouse, ButtonsCloseMinimiseAndFireTheirEvents) {
    TsuiTitleBarButtons& buttons = window.bar->Buttons();
    buttons.add().setButtonType(TsuiTitleBarBtnType::suiHelp);
    TsuiTitleBarButton& custom = buttons.add();
    custom.setPicNormal(TPicture(LoadSkinBitmap("WINXP_TITLEBTN_HELP_NORMAL")));
    QSignalSpy help(window.form, &TsuiForm::OnTitleBarHelpBtnClick);
    QSignalSpy customClicks(window.form, &TsuiForm::OnTitleBarCustomBtnsClick);

    QTest::mouseClick(window.bar, Qt::LeftButton, {}, centre(4));
    QTest::mouseClick(window.bar, Qt::LeftButton, {}, centre(5));
    QTest::mouseClick(window.bar, Qt::RightButton, {}, centre(5));
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(1).toInt(), 4);
    ASSERT_EQ(customClicks.count(), 1);
    EXPECT_EQ(customClicks.at(0).at(1).toInt(), 5);

    QTest::mouseClick(window.bar, Qt::LeftButton, {}, centre(Min));
    EXPECT_TRUE(window.host.isMinimized());
    window.host.showNormal();
    QTest::mouseClick(window.bar, Qt::LeftButton, {}, centre(Close));
    EXPECT_FALSE(window.host.isVisible());
}

TEST_F(TitleBarMouse, TheControlBoxDropsItsMenuBelowTheBar) {
    QMenu menu;
    menu.addAction("Close");
    window.bar->Buttons()[ControlBox].setControlBoxMenu(&menu);
    QTest::mouseClick(window.bar, Qt::LeftButton, {}, centre(ControlBox));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), window.bar->mapToGlobal(QPoint(0, window.bar->height())));
    menu.hide();
}

// A handler may delete the whole window, title bar included; the bar must not touch itself after.
TEST(TitleBarClicks, AHandlerMayDeleteTheWindow) {
    for (TsuiTitleBarBtnType type :
         {TsuiTitleBarBtnType::suiCustom, TsuiTitleBarBtnType::suiHelp}) {
        auto* host = new QWidget;
        auto* form = new TsuiForm(host);
        host->resize(300, 200);
        host->show();
        TsuiTitleBarButton& button = form->TitleBarButtons().add();
        button.setButtonType(type);
        if (type == TsuiTitleBarBtnType::suiCustom)
            button.setPicNormal(TPicture(LoadSkinBitmap("WINXP_TITLEBTN_HELP_NORMAL")));
        const auto deleteHost = [&host] { delete host; };
        QObject::connect(form, &TsuiForm::OnTitleBarCustomBtnsClick, deleteHost);
        QObject::connect(form, &TsuiForm::OnTitleBarHelpBtnClick, deleteHost);
        const QPointer<QWidget> alive(host);
        TsuiTitleBar* bar = form->TitleBar();
        const QPoint at = bar->buttonRects()[4].center();
        QTest::mousePress(bar, Qt::LeftButton, {}, at);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
        EXPECT_TRUE(alive.isNull()) << int(type);
        if (alive)
            delete host;
    }
}

// The bar reports its style; only the frame of a skinned window reshapes the window.
TEST(TitleBarRegion, RestylingTheBarReshapesASkinnedWindowOnly) {
    FramedWindow window(TsuiUIStyle::DeepBlue, 300);
    window.bar->setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_FALSE(window.host.mask().contains(QPoint(0, 0)));
    EXPECT_EQ(window.host.minimumWidth(), 150);

    QWidget plain;
    TsuiTitleBar bar(&plain);
    bar.setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_TRUE(plain.mask().isEmpty());
    EXPECT_EQ(plain.minimumWidth(), 0);
}

TEST(TitleBarRegion, WinXpAndBlueGlassRoundTheTopCornersOnly) {
    for (TsuiUIStyle style : {TsuiUIStyle::WinXP, TsuiUIStyle::BlueGlass}) {
        FramedWindow window(style, 300);
        const QRegion mask = window.host.mask();
        const int w = window.host.width(), h = window.host.height();
        EXPECT_FALSE(mask.contains(QPoint(0, 0)));
        EXPECT_FALSE(mask.contains(QPoint(w - 1, 0)));
        EXPECT_TRUE(mask.contains(QPoint(w / 2, 0)));
        EXPECT_TRUE(mask.contains(QPoint(0, h / 2)));
        EXPECT_TRUE(mask.contains(QPoint(0, h - 1)));
        EXPECT_TRUE(mask.contains(QPoint(w - 1, h - 1)));

        window.host.resize(w + 50, h); // the outline follows the size
        EXPECT_TRUE(window.host.mask().contains(QPoint(w + 49, h - 1)));
        window.form->setUIStyle(TsuiUIStyle::DeepBlue);
        EXPECT_TRUE(window.host.mask().isEmpty());
    }
}

} // namespace
} // namespace pestrel
