#pragma once
// The one face the program draws all its text in, Latin included: the system's Simplified-Chinese
// interface font. Mixing a Latin face with a Chinese fallback gives uneven baselines and loads a
// font file per face.
//
// Bold text takes the face's own bold where one is installed. Where none is, the font engine
// thickens the regular strokes by a 24th of the size, half a pixel at the skin's sizes, which
// reads as regular: the skin draws such text itself, struck twice a pixel apart with a pixel more
// between the letters.

#include <QFont>
#include <QString>
#include <QStringList>

class QPainter;
class QPoint;
class QRect;

namespace pestrel {

// The first well-known Chinese interface family that `covering` (families that cover Simplified
// Chinese) lists, else the first of `covering`; empty when `covering` is empty.
QString ChooseInterfaceFamily(const QStringList& covering);

// Makes the chosen family the application font at the default size and the face drawn for the
// Windows interface faces the windows name where those are not installed. Keeps the default when
// no installed family covers Simplified Chinese. Call once the application object exists.
void UseInterfaceFont();

// `font` for rows `rowHeight` pixels high. A Windows face such as 宋体 fills its pixel size
// exactly, ascent and descent together; the face that stands in for one that is not installed
// reaches further above and below, and its lower letters would be cut at the row's edge. For a
// stand-in the pixel size shrinks until its ascent and descent fit the row; an installed face, or
// a font without a pixel size, stays as it is.
QFont FitRowHeight(const QFont& font, int rowHeight);

// Whether `font` is bold in a face that has no bold of its own.
bool LacksBoldFace(const QFont& font);
// `font` as text drawn with DrawInterfaceText takes its room: one pixel more between the letters
// where the bold has no face of its own.
QFont InterfaceTextFont(const QFont& font);
// As QPainter::drawText, in the painter's font; bold without a face of its own is struck twice,
// one pixel apart, in InterfaceTextFont.
void DrawInterfaceText(QPainter& canvas, const QPoint& baselineStart, const QString& text);
void DrawInterfaceText(QPainter& canvas, const QRect& rect, int flags, const QString& text);

} // namespace pestrel
