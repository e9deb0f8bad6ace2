#include "skin/SkinBitmaps.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace pestrel {
namespace {

TEST(SkinBitmaps, UnknownOrMalformedNamesFailLoudly) {
    for (const char* name : {"NO_SUCH_BITMAP", "", "deepblue_button_normal", "../skins.qrc",
                             "DEEPBLUE_BUTTON_NORMAL.bmp", "/etc/passwd", ":/skins/MAINICON"}) {
        EXPECT_THROW(LoadSkinBitmap(name), std::runtime_error) << name;
        EXPECT_FALSE(SkinBitmapExists(name)) << name;
    }
}

TEST(SkinBitmaps, LaterLoadsGiveTheSameDecodedPixels) {
    ClearSkinBitmapCache();
    const QImage first = LoadSkinBitmap("DEEPBLUE_BUTTON_NORMAL");
    ASSERT_EQ(first.size(), QSize(74, 21));
    const QImage again = LoadSkinBitmap("DEEPBLUE_BUTTON_NORMAL");
    EXPECT_EQ(again.cacheKey(), first.cacheKey()) << "served from the cache, not decoded again";
    ClearSkinBitmapCache();
    const QImage fresh = LoadSkinBitmap("DEEPBLUE_BUTTON_NORMAL");
    EXPECT_NE(fresh.cacheKey(), first.cacheKey());
    EXPECT_EQ(fresh, first);
}

TEST(SkinBitmaps, TheProgramIconKeepsItsTransparency) {
    const QImage icon = LoadSkinBitmap("MAINICON");
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
}

QStringList warnings;
void Collect(QtMsgType, const QMessageLogContext&, const QString& message) {
    warnings << message;
}

TEST(SkinBitmaps, TheAccessorForPaintingAnswersEmptyAndSaysOnce) {
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(Collect);
    for (int round = 0; round < 2; ++round) {
        for (const char* name : {"NO_SUCH_PICTURE_A", "NO_SUCH_PICTURE_B", "", "../skins.qrc"})
            EXPECT_TRUE(SkinBitmap(name).isNull()) << name;
        EXPECT_EQ(SkinBitmap("MAINICON"), LoadSkinBitmap("MAINICON"));
    }
    qInstallMessageHandler(previous);
    // One line per missing name, naming it; nothing for the empty name, which asks for none.
    ASSERT_EQ(warnings.size(), 3) << warnings.join('|').toStdString();
    EXPECT_TRUE(warnings[0].contains("NO_SUCH_PICTURE_A"));
    EXPECT_TRUE(warnings[1].contains("NO_SUCH_PICTURE_B"));
    EXPECT_TRUE(warnings[2].contains("../skins.qrc"));
}

} // namespace
} // namespace pestrel
