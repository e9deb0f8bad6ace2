#include "platform/posix/PosixPlatform.h"
#include "ui/AboutUnit.h"
#include "ui/MainUnit.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pestrel::PosixPlatform platform(pestrel::PosixPlatform::DefaultDataRoot());
    pestrel::TMainForm mainForm(platform);
    pestrel::TAboutForm aboutForm(*pestrel::Seams::Standard().desktop);
    mainForm.setAboutForm(&aboutForm);
    mainForm.show();
    return app.exec();
}
