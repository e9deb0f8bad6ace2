#include "skin/InterfaceFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace pestrel {
namespace {

TEST(InterfaceFont, PrefersAWellKnownFaceThenTheFirstCoveringOne) {
    const struct {
        QStringList covering;
        QString chosen;
    } cases[] = {
        {{"AR PL UMing CN", "Noto Sans CJK SC", "WenQuanYi Zen Hei"}, "Noto Sans CJK SC"},
        {{"AR PL UMing CN", "AR PL UKai CN"}, "AR PL UMing CN"},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseInterfaceFamily(c.covering), c.chosen)
            << c.covering.join(", ").toStdString();
}

// The Windows faces of the forms are drawn in the chosen Chinese face, Latin text included.
TEST(InterfaceFont, WindowsFacesAreDrawnInTheInstalledChineseFace) {
    const QStringList covering = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (covering.isEmpty())
        GTEST_SKIP() << "no installed font covers Simplified Chinese";
    const QFont before = QApplication::font();
    UseInterfaceFont();
    const QFont chosen = QApplication::font();
    const QString tahoma = QFontInfo(QFont("Tahoma")).family();
    const QString song = QFontInfo(QFont(QStringLiteral("宋体"))).family();
    QApplication::setFont(before);
    for (const char* face : {"宋体", "Tahoma", "MS Sans Serif"})
        QFont::removeSubstitutions(QString::fromUtf8(face));

    EXPECT_TRUE(covering.contains(chosen.family())) << chosen.family().toStdString();
    EXPECT_EQ(chosen.pointSize(), before.pointSize());
    EXPECT_EQ(tahoma, chosen.family());
    EXPECT_EQ(song, chosen.family());
}

} // namespace
} // namespace pestrel
