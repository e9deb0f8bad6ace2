#pragma once
// The skin pictures of every style, drawn from code so that they can be rebuilt exactly.

#include <QImage>
#include <QString>
#include <vector>

namespace skingen {

struct Picture {
    QString name; // the resource name, e.g. "WINXP_TITLE_LEFT"
    QImage image;
};

// Every picture of the five styles, the shared pictures and the program icon.
std::vector<Picture> AllPictures();

// The program's shield at `size` x `size` pixels (MAINICON is the 32-pixel one).
QImage ProgramIcon(int size);

} // namespace skingen
