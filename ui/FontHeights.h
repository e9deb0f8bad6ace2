#pragma once
// Window layouts give font sizes in pixels, as designed; the layout files carry them in the
// dynamic property "fontPixelHeight".

class QWidget;

namespace pestrel {

// Sets the font pixel size of `root` and of every widget under it that carries the property.
void ApplyFontPixelHeights(QWidget* root);

} // namespace pestrel
