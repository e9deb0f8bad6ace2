#pragma once
// The skin bitmaps carried as resources of the program, fetched by their upper-case resource
// name ("WINXP_TITLE_LEFT", "MENU_CHECKED", "MAINICON"). Each is decoded on first use and kept;
// later loads give the same pixels without decoding again.

#include <QImage>
#include <QString>

namespace pestrel {

// The bitmap of that name. Throws std::runtime_error when no resource has the name.
QImage LoadSkinBitmap(const QString& name);
bool SkinBitmapExists(const QString& name);
// Forgets every decoded bitmap, so the next load decodes again.
void ClearSkinBitmapCache();

} // namespace pestrel
