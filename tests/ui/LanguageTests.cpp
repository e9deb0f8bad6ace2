// The language the program speaks for the locale variables, and the English window it then shows.

#include "skin/containers/SUIPageControl.h"
#include "tests/ui/UiTest.h"
#include "translations/Language.h"
#include "ui/AboutUnit.h"
#include "ui/EngineText.h"
#include "ui/RunExecute.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace pestrel::test {
namespace {

struct Choice {
    const char* what;
    LocaleVariables variables;
    Language expected;
};

class LanguageChoice : public ::testing::TestWithParam<Choice> {};

TEST_P(LanguageChoice, FollowsTheLocaleVariables) {
    EXPECT_EQ(ChooseLanguage(GetParam().variables), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LanguageChoice,
    ::testing::Values(
        Choice{"nothing set", {}, Language::Chinese},
        Choice{"C", {"", "", "", "C"}, Language::Chinese},
        Choice{"POSIX", {"", "", "", "POSIX"}, Language::Chinese},
        Choice{"C.UTF-8", {"", "", "", "C.UTF-8"}, Language::Chinese},
        Choice{"Chinese", {"", "", "", "zh_CN.UTF-8"}, Language::Chinese},
        Choice{"Taiwan Chinese", {"", "", "", "zh_TW"}, Language::Chinese},
        Choice{"English", {"", "", "", "en_US.UTF-8"}, Language::English},
        Choice{"English with a modifier", {"", "", "", "en_IE@euro"}, Language::English},
        Choice{"untranslated German", {"", "", "", "de_DE.UTF-8"}, Language::English},
        Choice{"LC_MESSAGES over LANG", {"", "", "en_GB.UTF-8", "zh_CN.UTF-8"}, Language::English},
        Choice{
            "LC_ALL over LC_MESSAGES", {"", "zh_CN.UTF-8", "en_GB.UTF-8", ""}, Language::Chinese},
        Choice{"C messages in an English LANG", {"", "", "C", "en_US.UTF-8"}, Language::Chinese},
        Choice{"LANGUAGE first", {"zh_CN:en", "", "", "en_US.UTF-8"}, Language::Chinese},
        Choice{"LANGUAGE skips the untranslated", {"de:zh", "", "", "fr_FR"}, Language::Chinese},
        Choice{"LANGUAGE without a translation", {"de:fr", "", "", "zh_CN"}, Language::Chinese},
        Choice{"LANGUAGE ignored in C", {"en", "C", "", ""}, Language::Chinese}),
    [](const ::testing::TestParamInfo<Choice>& info) {
        return QString::fromUtf8(info.param.what)
            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"))
            .toStdString();
    });

// Every widget of a window whose text a person reads, with the room the widget gives the text.
struct ShownText {
    QString owner, text;
    int room;
    QFont font;
};

std::vector<ShownText> ShownTexts(QWidget* window) {
    std::vector<ShownText> texts;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        const QString owner = widget->objectName();
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap())
            texts.push_back({owner, label->text(), label->contentsRect().width(), label->font()});
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts.push_back(
                {owner, button->text().remove(QLatin1Char('&')), button->width(), button->font()});
        else if (auto* status = qobject_cast<QStatusBar*>(widget))
            texts.push_back({owner, status->currentMessage(), status->width(), status->font()});
    }
    return texts;
}

class EnglishWindow : public UiTest {
protected:
    void SetUp() override { ASSERT_TRUE(InstallTranslation(Language::English)); }
    void TearDown() override {
        form.reset();
        InstallTranslation(Language::Chinese);
    }
};

TEST_F(EnglishWindow, ShowsNoChineseText) {
    const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    showForm();
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        for (const char* property : {"text", "Caption", "windowTitle"})
            EXPECT_FALSE(widget->property(property).toString().contains(chinese))
                << widget->objectName().toStdString() << "." << property;
    }
    for (const QAction* action : form->findChildren<QAction*>())
        EXPECT_FALSE(action->text().contains(chinese)) << action->text().toStdString();
    EXPECT_FALSE(EngineText(kKillPassDoneText).contains(chinese));
    const QString refusal = RootRefusalText({"/a/", "/b/"});
    EXPECT_FALSE(refusal.contains(chinese)) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains("/a/, /b/")) << refusal.toStdString();
}

TEST_F(EnglishWindow, EveryTextFitsItsControl) {
    showForm();
    TAboutForm about(desktop);
    about.show();
    std::vector<ShownText> texts = ShownTexts(form.get());
    for (const ShownText& text : ShownTexts(&about))
        texts.push_back(text);
    // The texts the status bar shows later: the pass's end, and Wine keeping the registry.
    auto* status = control<QStatusBar>("StatusBar");
    for (const QString& later :
         {EngineText(kKillPassDoneText),
          QCoreApplication::translate("pestrel::WatchWine", "Wine 正在运行，注册表暂不改动"),
          QCoreApplication::translate("pestrel::WatchWine", "Wine 正在运行，注册表未改动")})
        texts.push_back({"StatusBar", later, status->width(), status->font()});
    for (const ShownText& text : texts) {
        EXPECT_LE(QFontMetrics(text.font).horizontalAdvance(text.text), text.room)
            << text.owner.toStdString() << ": " << text.text.toStdString();
    }
    for (QLabel* label : about.findChildren<QLabel*>())
        EXPECT_GE(label->x(), 0) << label->objectName().toStdString();
    // The tabs take the room their captions need, side by side on the strip.
    auto* pages = control<TsuiPageControl>("suiPageControl1");
    pages->TopPanel()->grab();
    int tabs = pages->LeftMargin();
    for (int i = 0; i < pages->PageCount(); ++i)
        tabs += pages->TopPanel()->TabWidth(i);
    EXPECT_LE(tabs, pages->width());
}

} // namespace
} // namespace pestrel::test
