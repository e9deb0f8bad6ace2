#pragma once
// Window layouts give font heights and list row heights in pixels, as designed. The layout files
// carry them in the dynamic properties "fontPixelHeight" (the widget's font), "FontPixelHeight"
// (the font in a skinned control's "Font" property, such as a page control's tab captions) and
// "itemHeight". A list's letters fit its rows (FitRowHeight).

class QWidget;

namespace pestrel {

// Applies these properties to `root` and to every widget under it that carries them.
void ApplyLayoutPixels(QWidget* root);

} // namespace pestrel
