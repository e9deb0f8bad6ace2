#include "skin/SUIPublic.h"
#include "skin/SkinBitmaps.h"
#include "skin/buttons/SUIButton.h"
#include "skin/buttons/SUICustomButtonEx.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace pestrel {
namespace {

// Stands in for the skinned form on a window.
class StyleOfForm : public QObject, public TsuiFormStyleSource {
public:
    StyleOfForm(QObject* window, TsuiUIStyle style) : QObject(window), style_(style) {}
    TsuiUIStyle formUIStyle() const override { return style_; }
    TColor formColor() const override { return clBtnFace; }

private:
    TsuiUIStyle style_;
};

QImage Render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// What a styled button of `size` shows for the picture `name` when it has no caption.
QImage Stretched(const QString& name, QSize size) {
    QImage expected(size, QImage::Format_RGB32);
    QPainter canvas(&expected);
    DrawSkinStretched(LoadSkinBitmap(name), canvas, {0, 0, size.width(), size.height()}, false);
    return expected;
}

// The bounding box of the pixels that differ from `background`.
QRect Ink(const QImage& image, QRgb background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & RGB_MASK) != (background & RGB_MASK))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool HasPixel(const QImage& image, QColor color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                return true;
    return false;
}

void Enter(QWidget& widget) {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&widget, &enter);
}

void SendKey(QWidget& widget, QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r", autoRepeat);
    QApplication::sendEvent(&widget, &event);
}

// A shown, active window with one button in it.
struct Window {
    Window() {
        widget.resize(200, 100);
        button = new TsuiButton(&widget);
        button->move(10, 10);
        widget.show();
        widget.activateWindow();
        ready = QTest::qWaitForWindowActive(&widget);
    }
    QWidget widget;
    TsuiButton* button;
    bool ready = false;
};

// A Custom button whose pictures all fail to load: a flat background behind the caption. The
// background is light, so that the greyed rendering of the disabled stand-in picture shows nothing.
const QRgb Flat = qRgb(230, 240, 200);

std::unique_ptr<TsuiButton> FlatButton(const QString& caption) {
    auto button = std::make_unique<TsuiButton>();
    button->setPicNormalResName("NO_SUCH_PICTURE");
    button->setPicMouseOnResName("NO_SUCH_PICTURE");
    button->setPicMouseDownResName("NO_SUCH_PICTURE");
    button->setAutoSize(false);
    button->resize(80, 27);
    QPalette colors = button->palette();
    colors.setColor(QPalette::Window, QColor(Flat));
    colors.setColor(QPalette::WindowText, Qt::black);
    button->setPalette(colors);
    QFont font = button->font();
    font.setPixelSize(16);
    font.setBold(true);
    button->setFont(font);
    button->setCaption(caption);
    return button;
}

// --- style
// ----------------------------------------------------------------------------------------

TEST(SkinButton, TakesTheStyleOfItsWindowsSkinnedForm) {
    QWidget plain;
    EXPECT_EQ(TsuiButton(&plain).UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(TsuiButton().UIStyle(), TsuiUIStyle::DeepBlue);

    QWidget skinned;
    new StyleOfForm(&skinned, TsuiUIStyle::WinXP);
    QWidget panel(&skinned);
    EXPECT_EQ(TsuiButton(&panel).UIStyle(), TsuiUIStyle::WinXP);
}

TEST(SkinButton, TheFormsRestyleReachesStyledButtonsOnly) {
    QWidget form;
    auto* styled = new TsuiButton(&form);
    auto* custom = new TsuiButton(&form);
    custom->setPicNormalResName("MACOS_BUTTON_NORMAL");
    ContainerApplyUIStyle(&form, TsuiUIStyle::Protein);
    EXPECT_EQ(styled->UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(custom->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(custom->PicNormalResName(), "MACOS_BUTTON_NORMAL");
}

TEST(SkinButton, MacOSLocksTheHeightUntilTheStyleChanges) {
    TsuiButton button;
    button.setUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(button.height(), 23);
    button.resize(80, 30);
    EXPECT_EQ(button.height(), 23);
    button.setUIStyle(TsuiUIStyle::DeepBlue);
    button.resize(80, 30);
    EXPECT_EQ(button.height(), 30);
}

TEST(SkinButton, OnlyBlueGlassIsTransparent) {
    const struct {
        TsuiUIStyle style;
        bool transparent;
    } cases[] = {{TsuiUIStyle::BlueGlass, true}, {TsuiUIStyle::MacOS, false},
                 {TsuiUIStyle::WinXP, false},    {TsuiUIStyle::DeepBlue, false},
                 {TsuiUIStyle::Protein, false},  {TsuiUIStyle::Custom, false}};
    for (const auto& c : cases) {
        TsuiButton button;
        button.setUIStyle(TsuiUIStyle::BlueGlass);
        button.setUIStyle(c.style);
        EXPECT_EQ(button.Transparent(), c.transparent) << int(c.style);
        EXPECT_EQ(button.MaskPicture(), c.transparent) << int(c.style);
    }
}

TEST(SkinButton, APictureNameMakesTheButtonCustom) {
    TsuiButton button;
    EXPECT_EQ(button.PicNormalResName(), "");
    EXPECT_EQ(button.PicMouseOnResName(), "");
    button.setPicMouseOnResName("WINXP_BUTTON_MOUSEON");
    EXPECT_EQ(button.UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(button.PicMouseOnResName(), "WINXP_BUTTON_MOUSEON");
    // The styled names stay underneath until replaced.
    EXPECT_EQ(button.PicNormalResName(), "DEEPBLUE_BUTTON_NORMAL");
    button.setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(button.PicMouseOnResName(), "");
}

TEST(SkinButton, AutoSizeTakesTheNormalPictureOrTheFallback) {
    TsuiButton button;
    button.setPicNormalResName("MACOS_BUTTON_NORMAL");
    button.setAutoSize(true);
    EXPECT_EQ(button.size(), QSize(84, 23));
    button.setPicNormalResName("NO_SUCH_PICTURE");
    EXPECT_EQ(button.size(), QSize(74, 21));
    button.setPicNormalResName("../skins/MACOS_BUTTON_NORMAL");
    EXPECT_EQ(button.size(), QSize(74, 21));
}

TEST(SkinButton, ResHandleZeroIsTheProgramAndOthersLoadNothing) {
    TsuiButton button;
    EXPECT_EQ(button.ResHandle(), 0u);
    button.setPicNormalResName("MACOS_BUTTON_NORMAL");
    button.setResHandle(1234);
    EXPECT_EQ(button.ResHandle(), 1234u);
    button.setAutoSize(true);
    EXPECT_EQ(button.size(), QSize(74, 21));
}

// --- pictures
// -------------------------------------------------------------------------------------

TEST(SkinButton, EachStateShowsItsPictureStretched) {
    const char* styles[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
    const TsuiUIStyle values[] = {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue,
                                  TsuiUIStyle::Protein, TsuiUIStyle::BlueGlass};
    for (int s = 0; s < 5; ++s) {
        const QString prefix = QString(styles[s]) + "_BUTTON_";
        TsuiButton button;
        button.setUIStyle(values[s]);
        button.setTransparent(false); // BlueGlass would mask the picture over the background
        const QSize size = button.size();
        EXPECT_EQ(Render(button), Stretched(prefix + "NORMAL", size)) << styles[s];
        Enter(button);
        EXPECT_EQ(Render(button), Stretched(prefix + "MOUSEON", size)) << styles[s];
        QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
        EXPECT_EQ(Render(button), Stretched(prefix + "MOUSEDOWN", size)) << styles[s];
        QTest::mouseRelease(&button, Qt::LeftButton, {}, {5, 5});
        // Disabled shows the normal picture, not greyed.
        button.setEnabled(false);
        EXPECT_EQ(Render(button), Stretched(prefix + "NORMAL", size)) << styles[s];
    }
}

TEST(SkinButton, BlueGlassShowsTheParentThroughTheKeyColor) {
    QWidget parent;
    parent.resize(100, 40);
    QPalette colors = parent.palette();
    colors.setColor(QPalette::Window, QColor(10, 200, 30));
    parent.setPalette(colors);
    auto* button = new TsuiButton(&parent);
    button->setUIStyle(TsuiUIStyle::BlueGlass);
    button->move(5, 5);
    const QImage picture = LoadSkinBitmap("BLUEGLASS_BUTTON_NORMAL");
    const QImage shown = Render(*button);
    // The picture's corner holds the key colour; there the parent shows.
    ASSERT_EQ(button->size(), QSize(80, 27));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(10, 200, 30));
    EXPECT_NE(picture.pixelColor(0, 0), QColor(10, 200, 30));
}

TEST(SkinButton, ACustomButtonDrawsItsPictureUnscaledAtTheTopLeft) {
    TsuiButton button;
    button.setPicNormalResName("MACOS_BUTTON_NORMAL");
    button.resize(100, 40);
    QPalette colors = button.palette();
    colors.setColor(QPalette::Window, QColor(1, 2, 3));
    button.setPalette(colors);
    const QImage picture =
        LoadSkinBitmap("MACOS_BUTTON_NORMAL").convertToFormat(QImage::Format_RGB32);
    const QImage shown = Render(button);
    EXPECT_EQ(shown.copy(0, 0, 84, 23), picture);
    EXPECT_EQ(shown.pixelColor(90, 30), QColor(1, 2, 3));
    // Disabled, the picture is greyed.
    button.setEnabled(false);
    EXPECT_NE(Render(button).copy(0, 0, 84, 23), picture);
}

TEST(SkinButton, AnUnloadablePictureStillPaintsTheCaption) {
    auto button = FlatButton("OK");
    const QImage shown = Render(*button);
    const QRect ink = Ink(shown, Flat);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 40, 2);
    EXPECT_NEAR(ink.center().y(), 13, 2);
}

// --- caption
// --------------------------------------------------------------------------------------

TEST(SkinButton, CaptionStates) {
    auto button = FlatButton("M");
    const QRect normal = Ink(Render(*button), Flat);
    QTest::mousePress(button.get(), Qt::LeftButton, {}, {5, 5});
    const QRect pressed = Ink(Render(*button), Flat);
    EXPECT_EQ(pressed, normal.translated(1, 1));
    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, {5, 5});

    EXPECT_FALSE(HasPixel(Render(*button), QColor(128, 128, 128)));
    button->setEnabled(false);
    const QImage disabled = Render(*button);
    EXPECT_TRUE(HasPixel(disabled, QColor(128, 128, 128)));
    EXPECT_TRUE(HasPixel(disabled, QColor(255, 255, 255)));
    // The white copy lies one pixel lower right, under the grey one.
    EXPECT_EQ(Ink(disabled, Flat), normal.adjusted(0, 0, 1, 1));
}

TEST(SkinButton, BlankCaptionsDrawNothing) {
    auto button = FlatButton(" \t\x01 ");
    EXPECT_TRUE(Ink(Render(*button), Flat).isEmpty());
}

TEST(SkinButton, TheAcceleratorMarkIsNotDrawn) {
    auto marked = FlatButton("&M");
    auto plain = FlatButton("M");
    // The same letter, underlined: not an ampersand beside it.
    const QRect withMark = Ink(Render(*marked), Flat);
    const QRect without = Ink(Render(*plain), Flat);
    EXPECT_NEAR(withMark.center().x(), without.center().x(), 1);
    EXPECT_LE(withMark.width(), without.width() + 2);
    EXPECT_GT(withMark.bottom(), without.bottom());
}

// --- glyph
// ----------------------------------------------------------------------------------------

TEST(SkinButton, GlyphPlacement) {
    using B = TsuiButton;
    const QSize button(80, 27), text(40, 12), glyph(16, 16);
    const struct {
        B::TButtonLayout layout;
        QPoint glyph, text;
    } cases[] = {
        {B::blGlyphLeft, {10, 5}, {30, 7}},
        {B::blGlyphRight, {54, 5}, {10, 7}},
        {B::blGlyphTop, {32, -2}, {20, 18}},
        {B::blGlyphBottom, {32, 13}, {20, -3}},
    };
    for (const auto& c : cases) {
        const TGlyphPlacement at = B::placeGlyph(c.layout, button, text, glyph, 4);
        EXPECT_EQ(at.glyph, c.glyph) << c.layout;
        EXPECT_EQ(at.text, c.text) << c.layout;
    }
    // Without a caption the spacing still counts; odd differences round toward zero.
    EXPECT_EQ(B::placeGlyph(B::blGlyphLeft, {80, 27}, {0, 12}, {16, 16}, 4).glyph, QPoint(30, 5));
    EXPECT_EQ(B::placeGlyph(B::blGlyphLeft, {20, 27}, {40, 12}, {16, 16}, 4).glyph, QPoint(-20, 5));
    EXPECT_EQ(B::placeGlyph(B::blGlyphLeft, {19, 27}, {0, 12}, {16, 16}, 4).glyph, QPoint(0, 5));
}

TEST(SkinButton, TwoFrameGlyphShowsFrameZeroEnabledAndFrameOneDisabled) {
    // Frame 0 green, frame 1 red, magenta around both.
    QImage glyph(32, 16, QImage::Format_RGB32);
    glyph.fill(Qt::magenta);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) {
            glyph.setPixel(x, y, qRgb(0, 200, 0));
            glyph.setPixel(x + 16, y, qRgb(200, 0, 0));
        }
    auto button = FlatButton("");
    button->setGlyph(glyph);
    // Empty caption: the glyph at ((80 - 16 - 4) / 2, (27 - 16) / 2) = (30, 5).
    QImage shown = Render(*button);
    EXPECT_EQ(Ink(shown, Flat), QRect(34, 9, 8, 8));
    EXPECT_EQ(shown.pixelColor(34, 9), QColor(0, 200, 0));

    QTest::mousePress(button.get(), Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(Ink(Render(*button), Flat), QRect(35, 10, 8, 8));
    QTest::mouseRelease(button.get(), Qt::LeftButton, {}, {5, 5});

    button->setEnabled(false);
    shown = Render(*button);
    EXPECT_EQ(Ink(shown, Flat), QRect(34, 9, 8, 8));
    EXPECT_EQ(shown.pixelColor(34, 9), QColor(200, 0, 0));
}

TEST(SkinButton, SingleFrameGlyphIsGreyedWhenDisabled) {
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::magenta);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            glyph.setPixel(x, y, qRgb(0, 0, 200));
    auto button = FlatButton("");
    button->setGlyph(glyph);
    EXPECT_EQ(Render(*button).pixelColor(34, 9), QColor(0, 0, 200));
    button->setEnabled(false);
    EXPECT_NE(Render(*button).pixelColor(34, 9), QColor(0, 0, 200));
}

TEST(SkinButton, TheCaptionFollowsTheGlyph) {
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::magenta);
    auto button = FlatButton("M");
    const QRect centred = Ink(Render(*button), Flat);
    button->setGlyph(glyph); // an invisible glyph: only the caption moves
    const QRect beside = Ink(Render(*button), Flat);
    const int textWidth = QFontMetrics(button->font()).horizontalAdvance("M");
    EXPECT_EQ(button->TextOrigin(), QPoint((80 - (textWidth + 16 + 4)) / 2 + 16 + 4,
                                           (27 - QFontMetrics(button->font()).height()) / 2));
    EXPECT_NEAR(beside.left() - centred.left(), 10, 1);
}

// --- focus
// ----------------------------------------------------------------------------------------

TEST(SkinButton, FocusMarks) {
    Window window;
    ASSERT_TRUE(window.ready);
    TsuiButton& button = *window.button;
    const QImage unfocused = Render(button);
    button.setFocus();
    ASSERT_TRUE(button.hasFocus());
    // TabStop gates the mark.
    EXPECT_EQ(Render(button), unfocused);
    button.setTabStop(true);
    const QImage dotted = Render(button);
    EXPECT_NE(dotted.pixel(2, 2), unfocused.pixel(2, 2));
    EXPECT_EQ(dotted.pixel(3, 2), unfocused.pixel(3, 2));
    EXPECT_EQ(dotted.pixel(1, 1), unfocused.pixel(1, 1));
    EXPECT_NE(dotted.pixel(77, 23), unfocused.pixel(77, 23));
    EXPECT_EQ(dotted.pixel(77, 24), unfocused.pixel(77, 24));

    for (TsuiUIStyle style : {TsuiUIStyle::MacOS, TsuiUIStyle::BlueGlass}) {
        button.setUIStyle(style);
        const QImage line = Render(button);
        const int y = button.height() - 5;
        EXPECT_EQ(line.pixelColor(10, y), QColor(0, 0, 255)) << int(style);
        EXPECT_EQ(line.pixelColor(69, y), QColor(0, 0, 255)) << int(style);
        EXPECT_NE(line.pixelColor(70, y), QColor(0, 0, 255)) << int(style);
        EXPECT_NE(line.pixelColor(9, y), QColor(0, 0, 255)) << int(style);
    }
}

// --- clicks
// ---------------------------------------------------------------------------------------

TEST(SkinButton, OneClickPerPressAndReleaseInside) {
    TsuiButton button;
    QSignalSpy clicks(&button, &TsuiButton::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    EXPECT_TRUE(button.isDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {70, 20});
    EXPECT_FALSE(button.isDown());
    EXPECT_EQ(clicks.count(), 1);
    // A release without a press does nothing.
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(clicks.count(), 1);
}

TEST(SkinButton, LeavingWhilePressedCancelsTheClick) {
    TsuiButton button;
    QSignalSpy clicks(&button, &TsuiButton::clicked);
    Enter(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(&button, {81, 5});
    EXPECT_FALSE(button.isDown());
    EXPECT_FALSE(button.MouseOver());
    QTest::mouseMove(&button, {5, 5});
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(clicks.count(), 0);

    // The right and bottom edge pixels just outside still count as inside.
    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QTest::mouseMove(&button, {80, 27});
    EXPECT_TRUE(button.isDown());
    QTest::mouseMove(&button, {-1, 5});
    EXPECT_FALSE(button.isDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(clicks.count(), 0);
}

TEST(SkinButton, TheRightButtonNeitherPressesNorClicks) {
    TsuiButton button;
    QSignalSpy clicks(&button, &TsuiButton::clicked);
    QTest::mousePress(&button, Qt::RightButton, {}, {5, 5});
    EXPECT_FALSE(button.isDown());
    QTest::mouseRelease(&button, Qt::RightButton, {}, {5, 5});
    EXPECT_EQ(clicks.count(), 0);
}

TEST(SkinButton, HoverFollowsEnterAndLeave) {
    TsuiButton button;
    QSignalSpy entered(&button, &TsuiButton::mouseEnter);
    QSignalSpy left(&button, &TsuiButton::mouseExit);
    Enter(button);
    EXPECT_TRUE(button.MouseOver());
    QTest::mousePress(&button, Qt::LeftButton, {}, {5, 5});
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.MouseOver());
    EXPECT_TRUE(button.isDown()); // leaving alone does not release
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(left.count(), 1);
}

TEST(SkinButton, SpaceAndEnterClickOnReleaseWhenFocused) {
    Window window;
    ASSERT_TRUE(window.ready);
    TsuiButton& button = *window.button;
    QSignalSpy clicks(&button, &TsuiButton::clicked);
    for (int key : {int(Qt::Key_Space), int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        // Not focused: nothing.
        SendKey(button, QEvent::KeyPress, key);
        EXPECT_FALSE(button.isDown());
        SendKey(button, QEvent::KeyRelease, key);

        button.setFocus();
        ASSERT_TRUE(button.hasFocus());
        SendKey(button, QEvent::KeyPress, key);
        EXPECT_TRUE(button.isDown());
        // Holding the key repeats releases and presses: no click until the real release.
        SendKey(button, QEvent::KeyRelease, key, true);
        SendKey(button, QEvent::KeyPress, key, true);
        EXPECT_EQ(Render(button), Stretched("DEEPBLUE_BUTTON_MOUSEDOWN", button.size()));
        SendKey(button, QEvent::KeyRelease, key);
        EXPECT_FALSE(button.isDown());
        button.clearFocus();
    }
    EXPECT_EQ(clicks.count(), 3);

    button.setFocus();
    button.setEnabled(false);
    SendKey(button, QEvent::KeyPress, Qt::Key_Space);
    SendKey(button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 3);
}

TEST(SkinButton, TheAcceleratorFocusesAndClicks) {
    Window window;
    ASSERT_TRUE(window.ready);
    TsuiButton& button = *window.button;
    button.setCaption("&Help");
    QSignalSpy clicks(&button, &TsuiButton::clicked);
    QTest::keyClick(&window.widget, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(button.hasFocus());
    QTest::keyClick(&window.widget, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);

    button.setEnabled(false);
    QTest::keyClick(&window.widget, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    button.setEnabled(true);

    button.setCaption("He&lp");
    QTest::keyClick(&window.widget, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&window.widget, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(SkinButton, EveryClickWritesTheModalResult) {
    QWidget window;
    auto* button = new TsuiButton(&window);
    window.setProperty("ModalResult", 7);
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(WindowModalResult(&window), 0);
    button->setModalResult(3);
    QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(WindowModalResult(&window), 3);

    // A modal dialog ends with a non-zero result.
    QDialog dialog;
    auto* ok = new TsuiButton(&dialog);
    ok->setModalResult(QDialog::Accepted);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.open();
    QTest::mouseClick(ok, Qt::LeftButton, {}, {5, 5});
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), int(QDialog::Accepted));

    // Without a window, a click still fires.
    TsuiButton alone;
    QSignalSpy clicks(&alone, &TsuiButton::clicked);
    QTest::mouseClick(&alone, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(clicks.count(), 1);
}

TEST(SkinButton, AClickHandlerMayDeleteTheButton) {
    QWidget window;
    auto* button = new TsuiButton(&window);
    QObject::connect(button, &TsuiButton::clicked, [button] { delete button; });
    QTest::mousePress(button, Qt::LeftButton, {}, {5, 5});
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &release);
    EXPECT_TRUE(window.findChildren<TsuiButton*>().isEmpty());
}

// --- the check-type base
// --------------------------------------------------------------------------

class CheckLike : public TsuiCustomButtonEx {
public:
    using TsuiCustomButtonEx::TsuiCustomButtonEx;
    int toggles = 0;

protected:
    void nextCheckState() override { ++toggles; }
    int GetPictureWidth() const override { return 13; }
    int GetPictureHeight() const override { return 13; }
    void ApplyUIStyle(TsuiUIStyle&) override {}
};

// Every mouse-button release toggles, also after the press left the control, and only a left
// press released without leaving clicks: coming back does not press again.
TEST(SkinCheckBase, EveryMouseButtonReleaseTogglesAlsoAfterThePressLeftTheControl) {
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        CheckLike check;
        QSignalSpy clicks(&check, &TsuiCustomButton::clicked);
        QTest::mouseClick(&check, button, {}, {5, 5});
        EXPECT_EQ(check.toggles, 1) << button;
        QTest::mousePress(&check, button, {}, {5, 5});
        QTest::mouseMove(&check, {200, 5});
        QTest::mouseRelease(&check, button, {}, {5, 5});
        EXPECT_EQ(check.toggles, 2) << button;
        EXPECT_EQ(clicks.count(), button == Qt::LeftButton ? 1 : 0) << button;
    }
}

TEST(SkinCheckBase, DefaultsAndAutoSize) {
    CheckLike check;
    EXPECT_TRUE(check.TabStop());
    EXPECT_FALSE(check.isChecked());
    EXPECT_EQ(check.width(), 93);
    QFont font = check.font();
    font.setPixelSize(12);
    check.setFont(font);
    check.setCaption("Check");
    check.setAutoSize(true);
    EXPECT_EQ(check.height(), std::max(12 + 2, 13) + 4);
    EXPECT_EQ(check.width(), 13 + 8 + QFontMetrics(font).horizontalAdvance("Check"));
    check.show(); // a hidden widget gets its resize events when shown
    check.resize(300, 300);
    EXPECT_EQ(check.height(), 18);
}

TEST(SkinCheckBase, TheFirstFocusMarkIsEmpty) {
    QWidget window;
    auto* check = new CheckLike(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QImage unfocused = Render(*check);
    check->setFocus();
    ASSERT_TRUE(check->hasFocus());
    EXPECT_EQ(Render(*check), unfocused);
    check->setCaption("Check");
    const QImage first = Render(*check);
    const QImage second = Render(*check);
    EXPECT_NE(first, second); // the mark appears once the caption has been placed
    EXPECT_EQ(check->TextRect().Left, 13 + 4);
}

TEST(SkinCheckBase, ABlankCaptionKeepsTheFocusMarkInPlace) {
    QWidget window;
    auto* check = new CheckLike(&window);
    check->setCaption("Check");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    check->setFocus();
    Render(*check);
    check->setCaption("");
    const QImage first = Render(*check);
    EXPECT_EQ(Render(*check), first);
}

// A check box in miniature: the click flips the state; the log shows what happens in which order.
class Flipper : public TsuiCustomButtonEx {
public:
    explicit Flipper(QWidget* parent = nullptr) : TsuiCustomButtonEx(parent) {
        connect(this, &QAbstractButton::clicked, this,
                [this](bool checked) { log << (checked ? "clicked on" : "clicked off"); });
    }
    QStringList log;

protected:
    void nextCheckState() override {
        log << "next";
        setChecked(!isChecked());
    }
    void CheckedChanged() override { log << "changed"; }
    int GetPictureWidth() const override { return 13; }
    int GetPictureHeight() const override { return 13; }
    void ApplyUIStyle(TsuiUIStyle&) override {}
};

TEST(SkinCheckBase, EveryClickPathChangesTheStateBeforeReportingTheClick) {
    QWidget window;
    auto* check = new Flipper(&window);
    check->setCaption("&Check");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::function<void()> paths[] = {
        [&] {
            QTest::mouseClick(check, Qt::LeftButton, {}, {5, 5});
        },
        [&] { QTest::keyClick(check, Qt::Key_Space); },
        [&] { QTest::keyClick(check, Qt::Key_Return); },
        [&] { QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier); },
    };
    bool on = false;
    for (const auto& click : paths) {
        check->log.clear();
        click();
        on = !on;
        EXPECT_EQ(check->isChecked(), on);
        EXPECT_EQ(check->log, QStringList({"next", "changed", on ? "clicked on" : "clicked off"}));
    }
}

TEST(SkinCheckBase, QtButtonGroupsWorkWithTheState) {
    QWidget window;
    auto* first = new Flipper(&window);
    auto* second = new Flipper(&window);
    QButtonGroup group;
    group.addButton(first);
    group.addButton(second);
    QTest::mouseClick(first, Qt::LeftButton, {}, {5, 5});
    QTest::mouseClick(second, Qt::LeftButton, {}, {5, 5});
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(second->isChecked());
    EXPECT_EQ(group.checkedButton(), second);
    // The checked button of an exclusive group stays checked; restating a state changes nothing.
    second->log.clear();
    QTest::mouseClick(second, Qt::LeftButton, {}, {5, 5});
    second->setProperty("Checked", true);
    EXPECT_TRUE(second->isChecked());
    EXPECT_EQ(second->log, QStringList({"next", "clicked on"}));
}

TEST(SkinButton, QtButtonHabitsStayOut) {
    Window window;
    ASSERT_TRUE(window.ready);
    auto* other = new TsuiButton(&window.widget);
    other->move(100, 10);
    for (TsuiButton* b : {window.button, other}) {
        b->setTabStop(true);
        EXPECT_EQ(b->sizePolicy(), QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    }
    window.button->setFocus();
    // The arrow keys do not move the focus to the next button.
    QTest::keyClick(window.button, Qt::Key_Right);
    QTest::keyClick(window.button, Qt::Key_Down);
    EXPECT_TRUE(window.button->hasFocus());
    // Disabling a pressed button lets go of the press: enabling it again does not click later.
    QSignalSpy clicks(window.button, &TsuiButton::clicked);
    QTest::mousePress(window.button, Qt::LeftButton, {}, {5, 5});
    window.button->setEnabled(false);
    window.button->setEnabled(true);
    QTest::mouseRelease(window.button, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(clicks.count(), 0);
}

TEST(SkinButton, RestatingTheStyleKeepsWhatWasSetAfterIt) {
    TsuiButton button;
    button.setUIStyle(TsuiUIStyle::MacOS);
    button.setTransparent(true);
    button.setMaximumHeight(QWIDGETSIZE_MAX);
    button.resize(80, 30);
    button.setUIStyle(TsuiUIStyle::MacOS);
    EXPECT_TRUE(button.Transparent());
    EXPECT_EQ(button.height(), 30);
    button.setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_FALSE(button.Transparent());
}

} // namespace
} // namespace pestrel
