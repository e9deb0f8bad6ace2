#include "ui/AboutUnit.h"
#include "ui/MainUnit.h"

#include <QApplication>

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/posix/PosixPlatform.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
#ifdef _WIN32
    pestrel::Win32Platform platform;
#else
    pestrel::PosixPlatform platform(pestrel::PosixPlatform::DefaultDataRoot());
#endif
    pestrel::TMainForm mainForm(platform);
    pestrel::TAboutForm aboutForm(*pestrel::Seams::Standard().desktop);
    mainForm.setAboutForm(&aboutForm);
    mainForm.show();
    return app.exec();
}
