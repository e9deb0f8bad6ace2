#include "app/CommandLine.h"
#include "ui/AboutUnit.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QCoreApplication>

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/posix/PosixPlatform.h"
#endif

namespace {

int OpenWindow(int argc, char** argv, pestrel::Platform& platform) {
    QApplication app(argc, argv);
    pestrel::TMainForm mainForm(platform);
    pestrel::TAboutForm aboutForm(*pestrel::Seams::Standard().desktop);
    mainForm.setAboutForm(&aboutForm);
    mainForm.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    pestrel::Win32Platform platform;
#else
    pestrel::PosixPlatform platform(pestrel::PosixPlatform::DefaultDataRoot());
#endif
    if (argc <= 1)
        return OpenWindow(argc, argv, platform);
    // Any argument makes a command-line run, which needs no display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("pestrel");
    QCoreApplication::setApplicationVersion(PESTREL_VERSION);
    return pestrel::RunCommandLine(pestrel::ParseCommandLine(app.arguments()), platform);
}
