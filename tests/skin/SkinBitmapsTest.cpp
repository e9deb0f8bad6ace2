#include "skin/SkinBitmaps.h"

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

} // namespace
} // namespace pestrel
