#pragma once
// Window layouts give font heights and list row heights in pixels, as designed. The layout files
// carry them in the dynamic properties "fontPixelHeight" and "itemHeight".

class QWidget;

namespace pestrel {

// Applies both properties to `root` and to every widget under it that carries them.
void ApplyLayoutPixels(QWidget* root);

} // namespace pestrel
