#pragma once
// The one face the program draws all its text in, Latin included: the system's Simplified-Chinese
// interface font. Mixing a Latin face with a Chinese fallback gives uneven baselines and loads a
// font file per face.

#include <QString>
#include <QStringList>

namespace pestrel {

// The first well-known Chinese interface family that `covering` (families that cover Simplified
// Chinese) lists, else the first of `covering`; empty when `covering` is empty.
QString ChooseInterfaceFamily(const QStringList& covering);

// Makes the chosen family the application font at the default size and the face drawn for the
// Windows interface faces the windows name where those are not installed. Keeps the default when
// no installed family covers Simplified Chinese. Call once the application object exists.
void UseInterfaceFont();

} // namespace pestrel
