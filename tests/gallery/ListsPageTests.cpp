#include "gallery/GalleryWindow.h"
#include "skin/containers/SUISideChannel.h"
#include "skin/framed/SUIListBox.h"

#include <gtest/gtest.h>

namespace pestrel::gallery {
namespace {

TEST(GalleryListsPage, HoldsTheFramedControlsAndItsSideChannelLogsSlidesAndPin) {
    TGalleryWindow window(TsuiUIStyle::WinXP);
    window.show();
    ASSERT_TRUE(window.showPage("pageLists"));
    for (const char* name :
         {"listBox1", "memo1", "edit1", "checkListBox1", "listView1", "treeView1", "sideChannel1"})
        EXPECT_TRUE(window.findChild<QWidget*>(name)) << name;
    auto* list = window.findChild<TsuiListBox*>("listBox1");
    auto* channel = window.findChild<TsuiSideChannel*>("sideChannel1");
    ASSERT_TRUE(list && channel);
    EXPECT_GE(list->count(), 200);
    EXPECT_EQ(channel->x(), 0);

    window.setSkin(TsuiUIStyle::MacOS);
    EXPECT_EQ(list->BorderColor(), TColor(0x007F7F7F));
    EXPECT_EQ(channel->SideBarColor(), TColor(0x00E7E7E7));

    testing::internal::CaptureStdout();
    channel->popOut(true);
    channel->setStayOn(true);
    channel->setStayOn(false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "sideChannel1 PopOut\nsideChannel1 StayOn true\nsideChannel1 PopIn\n"
              "sideChannel1 StayOn false\n");
}

} // namespace
} // namespace pestrel::gallery
