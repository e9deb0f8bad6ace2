#pragma once
// The skin bitmaps carried as resources of the program, fetched by their upper-case resource
// name ("WINXP_TITLE_LEFT", "MENU_CHECKED", "MAINICON"). Each is decoded on first use and kept;
// later loads give the same pixels without decoding again.

#include <QImage>
#include <QString>

namespace pestrel {

// The bitmap of that name, or an empty image, which draws as nothing, when no resource has the
// name; the first miss of each name is reported on standard error. An empty name asks for no
// picture and is not reported. Never throws: this is the accessor for painting and construction.
QImage SkinBitmap(const QString& name);
// The same bitmap, but a missing name throws std::runtime_error: for the checks that must know
// every name exists (the inventory test, the picture sheet).
QImage LoadSkinBitmap(const QString& name);
bool SkinBitmapExists(const QString& name);
// Forgets every decoded bitmap, so the next load decodes again.
void ClearSkinBitmapCache();

} // namespace pestrel
