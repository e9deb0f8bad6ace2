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

} // namespace skingen
