#include "skin/SUIThemes.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace pestrel {
namespace {

// Stands in for the skinned form's helper object.
class FakeForm : public QObject, public TsuiFormStyleSource {
public:
    FakeForm(QObject* parent, TsuiUIStyle style, TColor color)
        : QObject(parent), style_(style), color_(color) {}
    TsuiUIStyle formUIStyle() const override { return style_; }
    TColor formColor() const override { return color_; }

private:
    TsuiUIStyle style_;
    TColor color_;
};

TEST(FormStyle, WithoutAFormTheFallbacksApply) {
    QWidget window;
    QWidget panel(&window);
    new FakeForm(&panel, TsuiUIStyle::WinXP, 0x123456); // a grandchild does not count
    for (const QObject* container :
         {static_cast<const QObject*>(&window), static_cast<const QObject*>(nullptr)}) {
        EXPECT_EQ(FindFormUIStyle(container), TsuiUIStyle::DeepBlue);
        EXPECT_EQ(FindFormColor(container), clBtnFace);
        EXPECT_EQ(FindFormControlBorderColor(container), TColor(0));
    }
}

TEST(FormStyle, TheFirstDirectChildFormAnswers) {
    QWidget window;
    QWidget before(&window);
    new FakeForm(&window, TsuiUIStyle::MacOS, 0x00E7E7E7);
    new FakeForm(&window, TsuiUIStyle::WinXP, 0x00DEEBEF);
    EXPECT_EQ(FindFormUIStyle(&window), TsuiUIStyle::MacOS);
    EXPECT_EQ(FindFormColor(&window), TColor(0x00E7E7E7));
    EXPECT_EQ(FindFormControlBorderColor(&window), TColor(0x007F7F7F));
}

TEST(FormStyle, ACustomFormHasNoBorderColor) {
    QWidget window;
    new FakeForm(&window, TsuiUIStyle::Custom, clRed);
    EXPECT_EQ(FindFormUIStyle(&window), TsuiUIStyle::Custom);
    EXPECT_EQ(FindFormControlBorderColor(&window), TColor(0));
}

// --- the restyle walk ---------------------------------------------------------------------------
std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

class StyledControl : public QWidget {
public:
    using QWidget::QWidget;
    TsuiUIStyle UIStyle() const { return style_; }
    void setUIStyle(TsuiUIStyle style) {
        style_ = style;
        Log().push_back(objectName().toStdString() + "=" + std::to_string(int(style)));
    }

private:
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
};
class CheckLike : public StyledControl {
    using StyledControl::StyledControl;
};
class RadioLike : public CheckLike {
    using CheckLike::CheckLike;
};
class AlwaysRestyled : public StyledControl {
    using StyledControl::StyledControl;
};
class Framed : public QWidget {
public:
    using QWidget::QWidget;
    void setBorderColor(TColor color) { border = color; }
    TColor border = clRed;
};
class Container : public QWidget {
    using QWidget::QWidget;
};

void RadioRule(QObject* child, TsuiUIStyle style) {
    if (dynamic_cast<RadioLike*>(child))
        Log().push_back("radio rule");
    ApplyStyleUnlessCustom<RadioLike>(child, style);
}
void CheckRule(QObject* child, TsuiUIStyle style) {
    if (dynamic_cast<CheckLike*>(child))
        Log().push_back("check rule");
    ApplyStyleUnlessCustom<CheckLike>(child, style);
}

// Registered out of order on purpose: the walk sorts by position.
const bool registered = RegisterStyleRule(srCheckBox, CheckRule) &&
                        RegisterStyleRule(srRadioButton, RadioRule) &&
                        RegisterStyleRule(srListBox, ApplyControlBorderColor<Framed>) &&
                        RegisterStyleRule(srComboBox, ApplyStyle<AlwaysRestyled>) &&
                        RegisterStyledContainer(IsInstanceOf<Container>);

template <class T> T* Make(QWidget* parent, const char* name) {
    auto* control = new T(parent);
    control->setObjectName(name);
    return control;
}

TEST(RestyleWalk, RulesRunInTheirOrderAndCustomOptsOut) {
    ASSERT_TRUE(registered);
    QWidget form;
    auto* radio = Make<RadioLike>(&form, "radio");
    auto* custom = Make<CheckLike>(&form, "custom");
    custom->setUIStyle(TsuiUIStyle::Custom);
    auto* always = Make<AlwaysRestyled>(&form, "always");
    always->setUIStyle(TsuiUIStyle::Custom);
    auto* framed = Make<Framed>(&form, "framed");
    Log().clear();

    ContainerApplyUIStyle(&form, TsuiUIStyle::WinXP);

    const std::vector<std::string> expected = {"radio rule", "radio=2",    "check rule",
                                               "radio=2",    "check rule", "always=2"};
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(radio->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(custom->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(always->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(framed->border, TColor(0x00686868));
}

TEST(RestyleWalk, OneLevelDeepUnlessNested) {
    QWidget form;
    auto* outer = Make<CheckLike>(&form, "outer");
    auto* box = Make<Container>(&form, "box");
    auto* inBox = Make<CheckLike>(box, "inBox");
    auto* plain = new QWidget(&form);
    auto* inPlain = Make<CheckLike>(plain, "inPlain");

    ContainerApplyUIStyle(&form, TsuiUIStyle::Protein);
    EXPECT_EQ(outer->UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(inBox->UIStyle(), TsuiUIStyle::DeepBlue);

    ContainerApplyUIStyleNested(&form, TsuiUIStyle::BlueGlass);
    EXPECT_EQ(inBox->UIStyle(), TsuiUIStyle::BlueGlass);
    EXPECT_EQ(outer->UIStyle(), TsuiUIStyle::Protein) << "nested walk restyles containers only";
    EXPECT_EQ(inPlain->UIStyle(), TsuiUIStyle::DeepBlue);
}

// A rule that deletes a later sibling must not leave the walk touching freed memory.
class SelfRemoving : public QWidget {
public:
    using QWidget::QWidget;
    void setBorderColor(TColor) { delete victim; }
    QWidget* victim = nullptr;
};

TEST(RestyleWalk, ChildrenRemovedDuringTheWalkAreSkipped) {
    static const bool added = RegisterStyleRule(srEdit, ApplyControlBorderColor<SelfRemoving>);
    ASSERT_TRUE(added);
    QWidget form;
    auto* remover = new SelfRemoving(&form);
    remover->victim = Make<CheckLike>(&form, "victim");
    Log().clear();
    ContainerApplyUIStyle(&form, TsuiUIStyle::MacOS);
    EXPECT_TRUE(Log().empty());
}

} // namespace
} // namespace pestrel
