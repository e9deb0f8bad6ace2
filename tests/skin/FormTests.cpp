#include "skin/SUIMessages.h"
#include "skin/SUIPublic.h"
#include "skin/buttons/SUIButton.h"
#include "skin/window/SUIForm.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

TEST(FormHitTest, GripsAreFivePixelsAtTheLeftAndTopAndFourAtTheRightAndBottom) {
    const QSize size(313, 366);
    const int w = size.width(), h = size.height();
    struct Case {
        QPoint at;
        Qt::Edges edges;
    };
    const Case cases[] = {
        {{4, 4}, Qt::TopEdge | Qt::LeftEdge},
        {{0, 0}, Qt::TopEdge | Qt::LeftEdge},
        {{5, 5}, {}},
        {{4, 100}, Qt::LeftEdge},
        {{5, 100}, {}},
        {{100, 4}, Qt::TopEdge},
        {{100, 5}, {}},
        {{w - 5, 100}, {}},
        {{w - 4, 100}, Qt::RightEdge},
        {{w - 1, 100}, Qt::RightEdge},
        {{100, h - 5}, {}},
        {{100, h - 4}, Qt::BottomEdge},
        {{w - 4, 4}, Qt::TopEdge | Qt::RightEdge},
        {{w - 4, h - 4}, Qt::BottomEdge | Qt::RightEdge},
        {{4, h - 4}, Qt::BottomEdge | Qt::LeftEdge},
        {{w - 5, h - 5}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormEdgeHitTest(c.at, size), c.edges) << c.at.x() << "," << c.at.y();
}

TEST(FormHitTest, DraggedEdgesStayWithinTheSizeLimits) {
    const QRect start(100, 100, 300, 200);
    const QSize minimum(150, 50), maximum(800, 600);
    EXPECT_EQ(DraggedGeometry(start, Qt::RightEdge | Qt::BottomEdge, {40, -30}, minimum, maximum),
              QRect(100, 100, 340, 170));
    EXPECT_EQ(DraggedGeometry(start, Qt::LeftEdge | Qt::TopEdge, {20, 10}, minimum, maximum),
              QRect(120, 110, 280, 190));
    // Too narrow: the right edge stays where it was and the left stops at the minimum width.
    EXPECT_EQ(DraggedGeometry(start, Qt::LeftEdge, {250, 0}, minimum, maximum),
              QRect(250, 100, 150, 200));
}

class Framed : public ::testing::Test {
protected:
    Framed() {
        host.setWindowTitle("Pestrel 1.0");
        form = new TsuiForm(&host);
    }
    void show(int clientWidth, int clientHeight) {
        host.move(50, 40);
        host.resize(clientWidth, clientHeight);
        host.show();
    }
    // Keys reach a window while it is the active one.
    void showActive(int clientWidth, int clientHeight) {
        show(clientWidth, clientHeight);
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }
    QImage grabHost() { return host.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget host;
    TsuiForm* form;
};

TEST_F(Framed, TheHostLosesItsFrameAndKeepsItsTitle) {
    EXPECT_TRUE(host.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form->Caption(), "Pestrel 1.0");
    form->setCaption("Pestrel");
    EXPECT_EQ(host.windowTitle(), "Pestrel");
    EXPECT_EQ(form->TitleBar()->Caption(), "Pestrel");
    EXPECT_EQ(form->UIStyle(), TsuiUIStyle::DeepBlue);
}

TEST_F(Framed, TheBorderIsPaintedAroundTheInnerBounds) {
    form->setUIStyle(TsuiUIStyle::WinXP);
    show(305, 339);
    EXPECT_EQ(form->geometry(), QRect(3, 0, 299, 336));
    EXPECT_EQ(form->TitleBar()->geometry(), QRect(0, 0, 299, 29));

    const QImage shown = grabHost();
    const QRgb border = ColorToQColor(0x00C82C00).rgb();
    const QRgb face = ColorToQColor(0x00DEEBEF).rgb();
    for (int y = 0; y < 339; y += 7) {
        for (int x : {0, 2, 302, 304})
            ASSERT_EQ(shown.pixel(x, y), border) << x << "," << y;
    }
    for (int x = 0; x < 305; x += 5) {
        for (int y : {336, 338})
            ASSERT_EQ(shown.pixel(x, y), border) << x << "," << y;
    }
    EXPECT_EQ(shown.pixel(3, 200), face);
    EXPECT_EQ(shown.pixel(301, 335), face);

    form->setBorderWidth(1);
    EXPECT_EQ(form->geometry(), QRect(1, 0, 303, 338));
    form->setBorderColor(clRed);
    EXPECT_EQ(grabHost().pixel(0, 100), qRgb(255, 0, 0));
    EXPECT_EQ(grabHost().pixel(2, 100), face);
}

// Laid out by the host (as a layout file does), the frame still takes the inner bounds, and
// the frame's own layout starts below the title bar.
TEST_F(Framed, LayoutsOnTheHostAndTheFrameRespectTheBorderAndTheTitleBar) {
    auto* hostLayout = new QVBoxLayout(&host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(form);
    auto* content = new QFrame;
    auto* formLayout = new QVBoxLayout(form);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->addWidget(content);
    form->setUIStyle(TsuiUIStyle::WinXP);
    show(313, 366);
    EXPECT_EQ(form->geometry(), QRect(3, 0, 307, 363));
    EXPECT_EQ(content->geometry(), QRect(0, 29, 307, 363 - 29));

    form->setUIStyle(TsuiUIStyle::DeepBlue);
    QApplication::sendPostedEvents();
    hostLayout->activate();
    formLayout->activate();
    EXPECT_EQ(form->geometry(), QRect(1, 0, 311, 365));
    EXPECT_EQ(content->geometry(), QRect(0, 32, 311, 365 - 32));
}

TEST_F(Framed, TheFormPanelFillsTheFrameBelowTheTitleBar) {
    std::vector<QString> messages;
    const TsuiInformationHandler previous =
        SetSkinInformationHandler([&](const QString& text) { messages.push_back(text); });
    auto* panel = new QFrame(form);
    panel->setFrameShape(QFrame::Box);
    form->setFormPanel(panel);
    form->setFormPanel(form);
    SetSkinInformationHandler(previous);

    EXPECT_EQ(form->FormPanel(), panel);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Sorry, you can't select the Form assign to FormPanel property");
    EXPECT_EQ(panel->frameShape(), QFrame::NoFrame);
    show(200, 150);
    EXPECT_EQ(panel->geometry(), QRect(0, 32, 198, 149 - 32));
    delete panel;
    EXPECT_EQ(form->FormPanel(), nullptr);
}

TEST_F(Framed, PanelWidthAndHeightSizeTheHostForAPanelOfThatSize) {
    form->setUIStyle(TsuiUIStyle::WinXP);
    form->setPanelHeight(300);
    EXPECT_EQ(host.height(), 330);
    form->setPanelWidth(299);
    EXPECT_EQ(host.width(), 313);
}

TEST_F(Framed, TheStyleCascadesToTheTitleBarAndTheControlsOnTheFrame) {
    auto* button = new TsuiButton(form);
    auto* optedOut = new TsuiButton(form);
    optedOut->setUIStyle(TsuiUIStyle::Custom);
    auto* outside = new TsuiButton(&host);
    form->setUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(form->BorderWidth(), 3);
    EXPECT_EQ(form->BorderColor(), TColor(0x00C82C00));
    EXPECT_EQ(form->Color(), TColor(0x00DEEBEF));
    EXPECT_EQ(form->MenuBarColor(), TColor(0x00DEEBEF));
    EXPECT_EQ(form->TitleBar()->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(host.minimumWidth(), 150);
    EXPECT_EQ(button->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(optedOut->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_NE(outside->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(FindFormUIStyle(&host), TsuiUIStyle::WinXP);

    form->setUIStyle(TsuiUIStyle::Custom);
    EXPECT_EQ(form->BorderWidth(), 3);
    EXPECT_EQ(form->Color(), TColor(0x00DEEBEF));
    EXPECT_EQ(form->TitleBar()->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(button->UIStyle(), TsuiUIStyle::WinXP);
}

// A main menu with a style of its own follows the frame unless it opted out.
class StyledMenu : public QMenu {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle MEMBER style)
public:
    TsuiUIStyle style = TsuiUIStyle::DeepBlue;
};

TEST_F(Framed, AMenuFollowsTheStyleAndItsShortcutsWorkAnywhereInTheWindow) {
    StyledMenu menu, customMenu;
    customMenu.style = TsuiUIStyle::Custom;
    form->setMenu(&menu);
    form->setUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(menu.style, TsuiUIStyle::MacOS);
    form->setMenu(&customMenu);
    form->setUIStyle(TsuiUIStyle::Protein);
    EXPECT_EQ(customMenu.style, TsuiUIStyle::Custom);

    QMenu* file = menu.addMenu("File");
    QAction* save = file->addAction("Save");
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    int saved = 0;
    QObject::connect(save, &QAction::triggered, [&] { ++saved; });
    form->setMenu(&menu);
    auto* edit = new QLineEdit(form);
    showActive(200, 150);

    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);
    QTest::keyClick(edit, Qt::Key_S);
    EXPECT_EQ(edit->text(), "s");
    save->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);

    QWidget otherWindow;
    auto* otherEdit = new QLineEdit(&otherWindow);
    save->setEnabled(true);
    otherWindow.show();
    otherWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&otherWindow));
    QTest::keyClick(otherEdit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saved, 1) << "another window's keys are its own";
}

TEST_F(Framed, ARemovedFrameLetsGoOfTheHost) {
    QMenu menu;
    QAction* quit = menu.addAction("Quit");
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    int quits = 0;
    QObject::connect(quit, &QAction::triggered, [&] { ++quits; });
    form->setMenu(&menu);
    auto* edit = new QLineEdit(&host);
    showActive(200, 150);
    EXPECT_EQ(host.contentsMargins(), QMargins(1, 0, 1, 1));
    QTest::keyClick(edit, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);

    delete form;
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(host.contentsMargins(), QMargins());
    QTest::keyClick(edit, Qt::Key_Q, Qt::ControlModifier);
    host.resize(260, 180);
    EXPECT_EQ(quits, 1);
}

TEST_F(Framed, DeactivationGreysTheCaption) {
    show(200, 150);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&host, &deactivate);
    EXPECT_FALSE(form->TitleBar()->FormActive());
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&host, &activate);
    EXPECT_TRUE(form->TitleBar()->FormActive());
}

TEST_F(Framed, ASecondFrameOnOneWindowIsRefusedWithoutTouchingIt) {
    show(200, 150);
    const QSize minimum = host.minimumSize();
    try {
        new TsuiForm(&host);
        FAIL() << "a second frame was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(),
                     "Sorry, You can create only one TsuiForm component in one form!");
    }
    EXPECT_EQ(host.minimumSize(), minimum);
    EXPECT_EQ(host.findChildren<TsuiForm*>().size(), 1);
}

// The offscreen platform, like a bare X server, has no window manager to resize the window:
// the frame follows the pointer itself.
class EdgeResize : public Framed {
protected:
    void SetUp() override {
        form->setUIStyle(TsuiUIStyle::WinXP);
        show(313, 366);
        window = host.windowHandle();
        ASSERT_NE(window, nullptr);
    }
    // Released where the pointer went, wherever the window is by then.
    void drag(QPoint from, QPoint to) {
        const QPoint screenTo = window->mapToGlobal(to);
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        QTest::mouseMove(window, to);
        QTest::mouseRelease(window, Qt::LeftButton, {}, window->mapFromGlobal(screenTo));
    }
    QWindow* window = nullptr;
};

TEST_F(EdgeResize, TheRightAndBottomCornerFollowsThePointer) {
    const QRect start = host.geometry();
    drag({311, 364}, {351, 384});
    EXPECT_EQ(host.geometry(), QRect(start.topLeft(), start.size() + QSize(40, 20)));
    EXPECT_EQ(form->geometry(), QRect(3, 0, 353 - 6, 386 - 3));
}

TEST_F(EdgeResize, TheLeftEdgeOverTheTitleBarResizesInsteadOfDragging) {
    const QRect start = host.geometry();
    drag({4, 100}, {-26, 130});
    EXPECT_EQ(host.geometry(),
              QRect(start.left() - 30, start.top(), start.width() + 30, start.height()));
    drag({4, 15}, {14, 15}); // over the title bar
    EXPECT_EQ(host.geometry(),
              QRect(start.left() - 20, start.top(), start.width() + 20, start.height()));
}

TEST_F(EdgeResize, InsideTheGripsTheWindowDoesNotResize) {
    const QRect start = host.geometry();
    drag({308, 100}, {350, 100});
    EXPECT_EQ(host.size(), start.size());
}

TEST_F(EdgeResize, TheGripsShowResizeCursors) {
    QTest::mouseMove(window, {311, 100});
    EXPECT_EQ(host.cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(window, {2, 2});
    EXPECT_EQ(host.cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(window, {150, 100});
    EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
}

TEST(FormEdges, AFixedSizeOrMaximisedHostIsNotResizedFromItsEdges) {
    QWidget fixed;
    fixed.setFixedSize(300, 200);
    TsuiForm* form = new TsuiForm(&fixed);
    EXPECT_FALSE(form->frame()->hostSizeable());
    fixed.show();
    QTest::mousePress(fixed.windowHandle(), Qt::LeftButton, {}, {298, 100});
    QTest::mouseMove(fixed.windowHandle(), {340, 100});
    QTest::mouseRelease(fixed.windowHandle(), Qt::LeftButton, {}, {340, 100});
    EXPECT_EQ(fixed.width(), 300);

    QWidget maximised;
    new TsuiForm(&maximised);
    maximised.showMaximized();
    QApplication::processEvents();
    const QSize size = maximised.size();
    QTest::mousePress(maximised.windowHandle(), Qt::LeftButton, {}, {2, 100});
    QTest::mouseMove(maximised.windowHandle(), {40, 100});
    QTest::mouseRelease(maximised.windowHandle(), Qt::LeftButton, {}, {40, 100});
    EXPECT_EQ(maximised.size(), size);
}

} // namespace
} // namespace pestrel

#include "FormTests.moc"
