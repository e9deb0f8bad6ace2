#include "gallery/GalleryPages.h"

#include <array>

namespace pestrel::gallery {

std::span<const TGalleryPage> GalleryPages() {
    static constexpr std::array pages = {
        TGalleryPage{"pagePanels", "Panels and bars", CreatePanelsPage},
    };
    return pages;
}

} // namespace pestrel::gallery
