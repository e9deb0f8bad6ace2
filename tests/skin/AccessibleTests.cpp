// The skinned controls as a screen reader reaches them: role, name, state and default action.

#include "skin/buttons/SUIButton.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/buttons/SUIRadioButton.h"
#include "skin/containers/SUITabControl.h"

#include <QAccessible>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <functional>

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

} // namespace
} // namespace pestrel
