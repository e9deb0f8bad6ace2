// The skinned controls as a screen reader reaches them: role, name, state and default action.

#include "skin/bars/SUIProgressBar.h"
#include "skin/bars/SUITrackBar.h"
#include "skin/buttons/SUIButton.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/buttons/SUIRadioButton.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/containers/SUITabControl.h"
#include "skin/window/SUITitleBar.h"

#include <QAccessible>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

struct ButtonCase {
    const char* what;
    std::function<TsuiCustomButton*(QWidget*)> make;
    QAccessible::Role role;
    bool checksOnPress;
};

class SkinnedButtonAccess : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(SkinnedButtonAccess, IsNamedByItsCaptionAndPressedByItsAction) {
    QWidget window;
    TsuiCustomButton* button = GetParam().make(&window);
    button->setCaption(QStringLiteral("&Save && go"));
    window.show();
    QSignalSpy clicks(button, &QAbstractButton::clicked);

    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), GetParam().role);
    EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("Save & go"));
    ASSERT_NE(access->actionInterface(), nullptr);
    const QString action = GetParam().checksOnPress ? QAccessibleActionInterface::toggleAction()
                                                    : QAccessibleActionInterface::pressAction();
    ASSERT_TRUE(access->actionInterface()->actionNames().contains(action));
    access->actionInterface()->doAction(action);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(access->state().checked, GetParam().checksOnPress);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SkinnedButtonAccess,
    ::testing::Values(ButtonCase{"PushButton", [](QWidget* p) { return new TsuiButton(p); },
                                 QAccessible::Button, false},
                      ButtonCase{"CheckBox", [](QWidget* p) { return new TsuiCheckBox(p); },
                                 QAccessible::CheckBox, true},
                      ButtonCase{"RadioButton", [](QWidget* p) { return new TsuiRadioButton(p); },
                                 QAccessible::RadioButton, true}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.what); });

TEST(TabStripAccess, ListsItsTabsAndSelectsOneByItsAction) {
    TsuiTabControl tabs;
    tabs.TopPanel()->setTabs({QStringLiteral("&One"), QStringLiteral("Two")});
    tabs.show();
    QSignalSpy activated(&tabs, &TsuiTab::OnTabActive);

    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs.TopPanel());
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->role(), QAccessible::PageTabList);
    ASSERT_EQ(strip->childCount(), 2);
    QAccessibleInterface* second = strip->child(1);
    EXPECT_EQ(second->role(), QAccessible::PageTab);
    EXPECT_EQ(strip->child(0)->text(QAccessible::Name), QStringLiteral("One"));
    EXPECT_EQ(second->text(QAccessible::Name), QStringLiteral("Two"));
    EXPECT_EQ(strip->indexOfChild(second), 1);
    EXPECT_FALSE(second->state().selected);

    second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tabs.TabIndex(), 1);
    EXPECT_TRUE(second->state().selected);
    EXPECT_EQ(activated.count(), 1);
}

TEST(TitleBarAccess, NamesItsButtonsAndClicksOneByItsAction) {
    TsuiTitleBar bar;
    bar.resize(300, 30);
    bar.show();
    QSignalSpy clicked(&bar, &TsuiTitleBar::buttonClicked);

    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_EQ(access->childCount(), bar.Buttons().count());
    int close = -1;
    for (int i = 0; i < access->childCount(); ++i) {
        EXPECT_EQ(access->child(i)->role(), QAccessible::Button);
        EXPECT_FALSE(access->child(i)->text(QAccessible::Name).isEmpty()) << i;
        if (bar.Buttons()[i].ButtonType() == TsuiTitleBarBtnType::suiClose)
            close = i;
    }
    ASSERT_NE(close, -1);
    EXPECT_EQ(access->child(close)->text(QAccessible::Name), QStringLiteral("关闭"));
    access->child(close)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), close);
}

TEST(BarAccess, TellsItsValueAndOnlyATrackBarIsMovedByIt) {
    TsuiProgressBar progress;
    TsuiTrackBar track;
    for (QWidget* bar : {static_cast<QWidget*>(&progress), static_cast<QWidget*>(&track)}) {
        bar->setProperty("Max", 50);
        bar->setProperty("Position", 20);
    }
    QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(&progress);
    QAccessibleInterface* moved = QAccessible::queryAccessibleInterface(&track);
    EXPECT_EQ(shown->role(), QAccessible::ProgressBar);
    EXPECT_EQ(moved->role(), QAccessible::Slider);
    for (QAccessibleInterface* bar : {shown, moved}) {
        ASSERT_NE(bar->valueInterface(), nullptr);
        EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 20);
        EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 50);
        bar->valueInterface()->setCurrentValue(30);
    }
    EXPECT_EQ(progress.Position(), 20);
    EXPECT_EQ(track.Position(), 30);
}

TEST(PageAccess, APageIsAPaneNamedByItsTab) {
    TsuiPageControl pages;
    auto* sheet = new TsuiTabSheet(&pages);
    sheet->setCaption(QStringLiteral("One"));
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(sheet);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->role(), QAccessible::Pane);
    EXPECT_EQ(page->text(QAccessible::Name), QStringLiteral("One"));
}

} // namespace
} // namespace pestrel
