#include "skin/SkinBitmaps.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/buttons/SUIRadioButton.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace pestrel {
namespace {

// Stands in for the skinned form of a window.
class FormStyle : public QObject, public TsuiFormStyleSource {
public:
    FormStyle(QObject* window, TsuiUIStyle style) : QObject(window), style_(style) {}
    TsuiUIStyle formUIStyle() const override { return style_; }
    TColor formColor() const override { return clBtnFace; }

private:
    TsuiUIStyle style_;
};

using S = TsuiUIStyle;

TEST(SkinCheckBox, PicturesFollowTheStateAndTheStyle) {
    struct Row {
        bool radio;
        S style;
        bool checked, enabled;
        QString normal, mouseOn, mouseDown;
    };
    const Row rows[] = {
        {false, S::DeepBlue, false, true, "DEEPBLUE_CHECKBOX_UNCHECK", "DEEPBLUE_CHECKBOX_UNCHECK",
         "DEEPBLUE_CHECKBOX_UNCHECK"},
        {false, S::DeepBlue, true, false, "DEEPBLUE_CHECKBOX_DISABLE_CHECK",
         "DEEPBLUE_CHECKBOX_CHECK", "DEEPBLUE_CHECKBOX_CHECK"},
        {false, S::WinXP, true, true, "WINXP_CHECKBOX_NORMAL_CHECK", "WINXP_CHECKBOX_MOUSEON_CHECK",
         "WINXP_CHECKBOX_MOUSEDOWN_CHECK"},
        {false, S::WinXP, false, false, "WINXP_CHECKBOX_DISABLE_UNCHECK",
         "WINXP_CHECKBOX_MOUSEON_UNCHECK", "WINXP_CHECKBOX_MOUSEDOWN_UNCHECK"},
        {true, S::MacOS, true, true, "MACOS_RADIOBUTTON_CHECK", "MACOS_RADIOBUTTON_CHECK",
         "MACOS_RADIOBUTTON_CHECK"},
        {true, S::WinXP, false, true, "WINXP_RADIOBUTTON_NORMAL_UNCHECK",
         "WINXP_RADIOBUTTON_MOUSEON_UNCHECK", "WINXP_RADIOBUTTON_MOUSEDOWN_UNCHECK"},
        {true, S::Protein, true, false, "PROTEIN_RADIOBUTTON_DISABLE_CHECK",
         "PROTEIN_RADIOBUTTON_CHECK", "PROTEIN_RADIOBUTTON_CHECK"},
        // Custom keeps the pictures of the style before it and still shows the state.
        {false, S::Custom, true, true, "BLUEGLASS_CHECKBOX_CHECK", "BLUEGLASS_CHECKBOX_CHECK",
         "BLUEGLASS_CHECKBOX_CHECK"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.normal.toStdString());
        QWidget window;
        TsuiCheckBox* box = row.radio ? new TsuiRadioButton(&window) : new TsuiCheckBox(&window);
        box->setUIStyle(row.style == S::Custom ? S::BlueGlass : row.style);
        box->setUIStyle(row.style);
        box->setChecked(row.checked);
        box->setEnabled(row.enabled);
        EXPECT_EQ(box->PicNormalResName(), row.normal);
        EXPECT_EQ(box->PicMouseOnResName(), row.mouseOn);
        EXPECT_EQ(box->PicMouseDownResName(), row.mouseDown);
        if (row.radio)
            continue;
        // A check box draws its picture unmasked at the left, centred in height.
        const QImage picture = LoadSkinBitmap(row.normal).convertToFormat(QImage::Format_RGB32);
        const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown.copy(1, (17 - picture.height()) / 2, picture.width(), picture.height()),
                  picture);
    }
}

TEST(SkinCheckBox, DefaultsSizesAndTransparencyByStyle) {
    struct Row {
        S form;
        int pictureWidth;
        bool transparent;
    };
    // Radio buttons are measured by the check box picture: MacOS's is 15 wide, its radio 16.
    for (const Row& row : {Row{S::DeepBlue, 13, false}, Row{S::MacOS, 15, true},
                           Row{S::Protein, 13, true}, Row{S::Custom, 13, false}}) {
        QWidget window;
        new FormStyle(&window, row.form);
        TsuiCheckBox check(&window);
        TsuiRadioButton radio(&window);
        EXPECT_EQ(check.Caption(), "suiCheckBox");
        EXPECT_EQ(radio.Caption(), "suiRadioButton");
        for (TsuiCheckBox* box : {&check, static_cast<TsuiCheckBox*>(&radio)}) {
            EXPECT_EQ(box->height(), 17);
            EXPECT_EQ(box->UIStyle(), row.form);
            EXPECT_EQ(box->Transparent(), row.transparent);
            box->setAutoSize(true);
            box->setCaption("");
            EXPECT_EQ(box->width(), row.pictureWidth + 8);
        }
        // Transparent or not, only the radio button keys its picture.
        check.setTransparent(!check.Transparent());
        radio.setTransparent(!radio.Transparent());
        EXPECT_FALSE(check.MaskPicture());
        EXPECT_TRUE(radio.MaskPicture());
    }
}

TEST(SkinRadioButton, ChecksClearOnlyTheSameParentAndGroupIndex) {
    QWidget window, elsewhere;
    auto* first = new TsuiRadioButton(&window);
    auto* second = new TsuiRadioButton(&window);
    auto* otherIndex = new TsuiRadioButton(&window);
    auto* otherParent = new TsuiRadioButton(&elsewhere);
    auto* check = new TsuiCheckBox(&window);
    otherIndex->setGroupIndex(1);
    const std::vector<TsuiCheckBox*> untouched{otherIndex, otherParent, check};
    for (TsuiCheckBox* b : untouched)
        b->setChecked(true);

    QTest::mouseClick(first, Qt::LeftButton, {}, {5, 5});
    EXPECT_TRUE(first->isChecked());
    QTest::mouseClick(second, Qt::LeftButton, {}, {5, 5});
    QTest::mouseClick(second, Qt::LeftButton, {}, {5, 5});
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(second->isChecked());
    EXPECT_EQ(second->PicNormalResName(), "DEEPBLUE_RADIOBUTTON_CHECK");
    EXPECT_EQ(first->PicNormalResName(), "DEEPBLUE_RADIOBUTTON_UNCHECK");
    for (TsuiCheckBox* b : untouched)
        EXPECT_TRUE(b->isChecked());
    // Setting the state directly clears the group as a click does.
    first->setChecked(true);
    EXPECT_FALSE(second->isChecked());
}

TEST(SkinCheckBox, KeysAndClicksToggleAndReportTheNewState) {
    QWidget window;
    auto* check = new TsuiCheckBox(&window);
    auto* radio = new TsuiRadioButton(&window);
    check->setCaption("&Check");
    radio->move(0, 30);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QList<bool> reported;
    QObject::connect(check, &TsuiCheckBox::clicked, [&](bool on) { reported << on; });
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
    QTest::keyClick(check, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(reported, QList<bool>({true, false, true}));
    EXPECT_TRUE(check->isChecked());
    radio->setFocus();
    QTest::keyClick(radio, Qt::Key_Space);
    QTest::keyClick(radio, Qt::Key_Space);
    EXPECT_TRUE(radio->isChecked());
}

} // namespace
} // namespace pestrel
