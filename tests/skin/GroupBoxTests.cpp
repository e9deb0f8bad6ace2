#include "skin/SUIPublic.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/buttons/SUIRadioButton.h"
#include "skin/containers/SUIRadioGroup.h"
#include "skin/framed/SUIComboBox.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace pestrel {
namespace {

void SetFontHeight(QWidget& widget, int pixels) {
    QFont font = widget.font();
    font.setPixelSize(pixels);
    widget.setFont(font);
}

TEST(SkinGroupBox, FrameLeavesAGapForTheCaption) {
    for (const QString& caption : {QString("Caption"), QString()}) {
        TsuiGroupBox box;
        SetFontHeight(box, 12);
        box.setCaption(caption);
        box.setFontColor(0x000000FF); // red text on the black lines
        const QImage image = box.grab().toImage();
        const QRgb border = ColorToQColor(box.BorderColor()).rgb();
        const int y = 12 / 2 + 1;
        const int gapEnd =
            caption.isEmpty() ? 2 : QFontMetrics(box.font()).horizontalAdvance(caption) + 6;
        for (int x = 0; x < box.width(); ++x) {
            const bool inGap = x > 2 && x <= gapEnd;
            EXPECT_EQ(image.pixel(x, y) == border, !inGap) << x;
            EXPECT_EQ(image.pixel(x, box.height() - 1), border) << x;
        }
        for (int row = y; row < box.height(); ++row)
            EXPECT_TRUE(image.pixel(0, row) == border &&
                        image.pixel(box.width() - 1, row) == border);
    }
}

TEST(SkinGroupBox, DisablingReachesTheChildrenAndGreysTheCaption) {
    QWidget window;
    auto& box = *new TsuiGroupBox(&window);
    box.setCaption("Caption");
    auto* inside = new TsuiCheckBox(&box);
    auto* disabledAlone = new TsuiCheckBox(&box);
    disabledAlone->move(10, 60);
    disabledAlone->setEnabled(false);
    const auto greyShown = [&box] {
        const QImage image = box.grab().toImage();
        for (int y = 0; y < 12; ++y)
            for (int x = 5; x < 40; ++x)
                if (image.pixel(x, y) == DisabledCaptionGrey)
                    return true;
        return false;
    };
    EXPECT_FALSE(greyShown());
    box.setEnabled(false);
    EXPECT_FALSE(inside->isEnabled());
    EXPECT_EQ(inside->PicNormalResName(), "DEEPBLUE_CHECKBOX_DISABLE_UNCHECK");
    EXPECT_TRUE(greyShown());
    box.setEnabled(true);
    EXPECT_TRUE(inside->isEnabled());
    EXPECT_TRUE(disabledAlone->isEnabled()) << "the box's state goes to every child";

    // A state that comes down from the window is Qt's: the child keeps its own.
    disabledAlone->setEnabled(false);
    window.setEnabled(false);
    window.setEnabled(true);
    EXPECT_TRUE(inside->isEnabled());
    EXPECT_FALSE(disabledAlone->isEnabled());
}

std::vector<QPoint> Positions(const TsuiCheckGroup& group) {
    std::vector<QPoint> at;
    for (int i = 0; i < group.boxCount(); ++i)
        at.push_back(group.boxAt(i)->pos());
    return at;
}

TEST(SkinCheckGroup, LaysBoxesOutInColumnsEvenAtItsEdges) {
    // 185 x 105 with a 12-pixel font: the boxes' area runs from y = 12 + 8 down to 103.
    struct Row {
        int columns, height;
        std::vector<QPoint> expected;
    };
    const Row rows[] = {
        {2, 105, {{8, 21}, {8, 48}, {8, 75}, {95, 21}, {95, 48}}},
        // No columns lays out one; no room stacks the rows at the top instead of above it.
        {0, 105, {{8, 21}, {8, 37}, {8, 53}, {8, 69}, {8, 85}}},
        {1, 10, {{8, 20}, {8, 20}, {8, 20}, {8, 20}, {8, 20}}},
    };
    for (const Row& row : rows) {
        TsuiCheckGroup group;
        SetFontHeight(group, 12);
        group.resize(185, row.height);
        group.setItems({"a", "b", "c", "d", "e"});
        group.setColumns(row.columns);
        group.setColumns(-1);
        group.setTopMargin(-1);
        EXPECT_EQ(Positions(group), row.expected) << row.columns << " " << row.height;
    }
}

struct Receiver : QObject {
    QList<QObject*> senders;
    void take() { senders << sender(); }
};

TEST(SkinCheckGroup, BoxesFollowTheItemsAndTheirClicksAreTheGroups) {
    TsuiCheckGroup group;
    group.setItems({"a", "b", "c", "d", "e"});
    const QPointer<TsuiCheckBox> kept = group.boxAt(1), dropped = group.boxAt(4);
    group.setItems({"a", "renamed", "c"});
    EXPECT_EQ(group.boxCount(), 3);
    EXPECT_EQ(group.boxAt(1), kept.data());
    EXPECT_EQ(kept->Caption(), "renamed");
    EXPECT_TRUE(dropped.isNull());
    Receiver receiver;
    QObject::connect(&group, &TsuiCheckGroup::clicked, &receiver, &Receiver::take);
    QTest::mouseClick(group.boxAt(2), Qt::LeftButton, {}, {3, 3});
    EXPECT_EQ(receiver.senders, QList<QObject*>({&group}));
    EXPECT_TRUE(group.boxAt(2)->isChecked());
}

TEST(SkinStyleWalk, ReachesTheNewControls) {
    QWidget window;
    auto* custom = new TsuiCheckBox(&window);
    custom->setUIStyle(TsuiUIStyle::Custom);
    auto* radio = new TsuiRadioButton(&window);
    // A group box on a page, not on the form itself, still hands the style inside.
    auto* box = new TsuiGroupBox(new QWidget(&window));
    auto* inside = new TsuiCheckBox(box);
    auto* group = new TsuiCheckGroup(&window);
    group->setItems({"a"});
    auto* combo = new TsuiComboBox(&window);
    combo->setUIStyle(TsuiUIStyle::Custom);
    ContainerApplyUIStyle(&window, TsuiUIStyle::WinXP);
    ContainerApplyUIStyle(box->parent(), TsuiUIStyle::WinXP);
    EXPECT_EQ(custom->UIStyle(), TsuiUIStyle::Custom);
    for (TsuiCheckBox* b : std::vector<TsuiCheckBox*>{radio, inside, group->boxAt(0)})
        EXPECT_EQ(b->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(box->BorderColor(), 0x00686868u);
    EXPECT_EQ(box->FontColor(), 0x00CF4602u);
    EXPECT_EQ(box->Color(), 0x00DEEBEFu);
    EXPECT_EQ(group->BorderColor(), 0x00686868u);
    EXPECT_EQ(combo->UIStyle(), TsuiUIStyle::WinXP);
    // A Custom walk keeps the colours: nothing turns black and vanishes.
    ContainerApplyUIStyle(&window, TsuiUIStyle::Custom);
    EXPECT_EQ(box->BorderColor(), 0x00686868u);
    EXPECT_EQ(combo->ArrowColor(), 0x00686868u);
}

} // namespace
} // namespace pestrel
