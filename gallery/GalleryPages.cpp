#include "gallery/GalleryPages.h"

#include <array>

namespace pestrel::gallery {

std::span<const TGalleryPage> GalleryPages() {
    static constexpr std::array pages = {
        TGalleryPage{"pagePanels", "Panels and bars", CreatePanelsPage},
        TGalleryPage{"pageLists", "Lists and side channel", CreateListsPage},
        TGalleryPage{"pageChecks", "Checks and choices", CreateChecksPage},
    };
    return pages;
}

} // namespace pestrel::gallery
