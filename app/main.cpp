#include "app/CommandLine.h"
#include "ui/AboutUnit.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QCoreApplication>

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
#else
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/WorkFolder.h"

#include <filesystem>
#include <memory>

namespace {

// The platform whose program file sits in the chosen work folder, so that every working file
// lands there. An installed program's help is its installed Readme.txt, linked into that folder.
std::unique_ptr<pestrel::PosixPlatform> ChosenPlatform() {
    namespace fs = std::filesystem;
    std::error_code unresolved;
    const fs::path program = fs::read_symlink("/proc/self/exe", unresolved);
    const fs::path dataRoot = pestrel::PosixPlatform::DefaultDataRoot();
    const fs::path folder = pestrel::ChooseWorkFolder(program, dataRoot);
    auto platform =
        std::make_unique<pestrel::PosixPlatform>(dataRoot, (folder / program.filename()).string());
    if (const fs::path readme = pestrel::InstalledReadme(program); !readme.empty()) {
        std::error_code ignored;
        fs::remove(folder / "Readme.txt", ignored);
        fs::create_symlink(readme, folder / "Readme.txt", ignored);
    }
    return platform;
}

} // namespace
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
    const auto chosen = ChosenPlatform();
    pestrel::PosixPlatform& platform = *chosen;
#endif
    if (argc <= 1)
        return OpenWindow(argc, argv, platform);
    // Any argument makes a command-line run, which needs no display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("pestrel");
    QCoreApplication::setApplicationVersion(PESTREL_VERSION);
    return pestrel::RunCommandLine(pestrel::ParseCommandLine(app.arguments()), platform);
}
