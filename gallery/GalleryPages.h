#pragma once
// The gallery's pages, one per family of controls. A page is one create function in a file of
// its own plus one line in the list of GalleryPages.cpp.

#include <span>

namespace pestrel {
class TsuiTabSheet;
}

namespace pestrel::gallery {

struct TGalleryPage {
    const char* objectName; // also what --page takes
    const char* caption;    // the tab's text
    // Fills the empty page with its controls, each with an object name, and wires their events
    // to the log.
    void (*create)(TsuiTabSheet* page);
};

// In tab order.
std::span<const TGalleryPage> GalleryPages();

void CreatePanelsPage(TsuiTabSheet* page);
void CreateListsPage(TsuiTabSheet* page);
void CreateChecksPage(TsuiTabSheet* page);

class TGalleryWindow;
// The window's main menu: File, Style and Help, shown in the form's menu bar.
void CreateGalleryMenu(TGalleryWindow* window);

} // namespace pestrel::gallery
