#include "app/CommandLine.h"
#include "app/Messages.h"
#include "skin/InterfaceFont.h"
#include "translations/Language.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <optional>

#ifdef _WIN32
#include "app/GuardService.h"
#include "app/StandInFace.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32WorkFolder.h"

#include <memory>

namespace {

// The platform whose program file sits in the chosen work folder, so that every working file
// lands there; an installed program's help is copied beside them.
std::unique_ptr<pestrel::Win32Platform> ChosenPlatform() {
    const std::string program = pestrel::Win32Platform().programFile();
    const std::string folder =
        pestrel::ChooseWin32WorkFolder(program, pestrel::DefaultWin32DataRoot());
    if (folder.empty())
        return std::make_unique<pestrel::Win32Platform>();
    pestrel::CopyInstalledReadme(program, folder);
    return std::make_unique<pestrel::Win32Platform>("kernel32.dll", folder + "pestrel.exe");
}

} // namespace
#else
#include "app/Printer.h"
#include "app/RootQtEnvironment.h"
#include "app/WinePrefixOption.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/WorkFolder.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;

// An installed program's help is its installed Readme.txt and its English twin, linked into the
// work folder.
void LinkInstalledReadme(const fs::path& program, const fs::path& folder) {
    const fs::path readme = pestrel::InstalledReadme(program);
    if (readme.empty())
        return;
    for (const char* name : {"Readme.txt", "Readme.en.txt"}) {
        const fs::path installed = readme.parent_path() / name;
        std::error_code ignored;
        if (fs::read_symlink(folder / name, ignored) != installed) {
            fs::remove(folder / name, ignored);
            fs::create_symlink(installed, folder / name, ignored);
        }
    }
}

// The platform whose program file sits in the chosen work folder, so that every working file
// lands there. As root, nothing is written into a data folder that someone else could change
// (the run then refuses and says why).
std::unique_ptr<pestrel::PosixPlatform> ChosenPlatform() {
    std::error_code unresolved;
    const fs::path program = fs::read_symlink("/proc/self/exe", unresolved);
    const fs::path dataRoot = pestrel::PosixPlatform::DefaultDataRoot();
    const fs::path folder = pestrel::ChooseWorkFolder(program, dataRoot);
    auto platform =
        std::make_unique<pestrel::PosixPlatform>(dataRoot, (folder / program.filename()).string());
    if (platform->foldersOthersCanChange({}).empty())
        LinkInstalledReadme(program, folder);
    return platform;
}

// The platform of each prefix of the command line over `files`, in their order; none, with the
// reason printed, when one cannot be opened.
std::vector<std::unique_ptr<pestrel::wine::WinePlatform>>
OpenPrefixes(const pestrel::CommandLine& command, pestrel::Platform& files) {
    std::vector<std::unique_ptr<pestrel::wine::WinePlatform>> prefixes;
    for (const std::string& folder : command.winePrefixes) {
        auto opened = pestrel::OpenWinePrefix(folder, command.stopWine, files);
        if (const std::string* problem = std::get_if<std::string>(&opened)) {
            pestrel::Complain(*problem);
            return {};
        }
        prefixes.push_back(std::move(std::get<0>(opened)));
    }
    return prefixes;
}

} // namespace
#endif

namespace {

#ifndef _WIN32
// The window over a Wine prefix says in its status bar, in the window's language, when Wine keeps
// it from the registry (the command line and the README tell how to go past that: --stop-wine).
void WatchWine(pestrel::TMainForm& mainForm, pestrel::wine::WinePlatform& wine, bool stopWine) {
    if (!stopWine && wine.serverRuns())
        mainForm.setStatusText(
            QCoreApplication::translate("pestrel::WatchWine", "Wine 正在运行，注册表暂不改动"));
    auto* timer = new QTimer(&mainForm);
    QObject::connect(timer, &QTimer::timeout, &mainForm, [&mainForm, &wine] {
        if (wine.takeRefusal())
            mainForm.setStatusText(
                QCoreApplication::translate("pestrel::WatchWine", "Wine 正在运行，注册表未改动"));
    });
    timer->start(1000);
}
#endif

int OpenWindow(int argc, char** argv, pestrel::Platform& platform,
               const std::function<void(pestrel::TMainForm&)>& prepare = {}) {
    QApplication app(argc, argv);
#ifndef _WIN32
    pestrel::LoadInstalledPluginsOnlyAsRoot();
#endif
    pestrel::InstallTranslation(pestrel::ChooseLanguage(pestrel::EnvironmentLocale()));
#ifdef _WIN32
    pestrel::LoadStandInFaceWhereMissing(QCoreApplication::applicationDirPath());
#endif
    pestrel::UseInterfaceFont();
    pestrel::TMainForm mainForm(platform);
    if (prepare)
        prepare(mainForm);
    mainForm.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    const auto chosen = ChosenPlatform();
    pestrel::Win32Platform& platform = *chosen;
#else
    pestrel::ClearUsersQtChoicesAsRoot();
    const auto chosen = ChosenPlatform();
    pestrel::PosixPlatform& platform = *chosen;
#endif
    if (argc <= 1)
        return OpenWindow(argc, argv, platform);
    // Any argument other than --wine-prefix alone makes a command-line run, which needs no
    // display.
    std::optional<QCoreApplication> console(std::in_place, argc, argv);
#ifndef _WIN32
    pestrel::LoadInstalledPluginsOnlyAsRoot();
#endif
    pestrel::InstallTranslation(pestrel::ChooseLanguage(pestrel::EnvironmentLocale()));
    QCoreApplication::setApplicationName("pestrel");
    QCoreApplication::setApplicationVersion(PESTREL_VERSION);
#ifdef _WIN32
    if (pestrel::AsksForService(console->arguments()))
        return pestrel::RunGuardService(
            pestrel::ParseCommandLine(pestrel::GuardArguments(console->arguments())), platform);
#endif
    const pestrel::CommandLine command = pestrel::ParseCommandLine(console->arguments());
#ifndef _WIN32
    if (!command.winePrefixes.empty() && command.error.empty()) {
        const auto prefixes = OpenPrefixes(command, platform);
        if (prefixes.empty())
            return pestrel::kBadInput;
        pestrel::wine::WinePlatform& wine = *prefixes.front();
        if (command.action == pestrel::CommandLine::Action::Window) {
            console.reset();
            return OpenWindow(argc, argv, wine, [&](pestrel::TMainForm& mainForm) {
                WatchWine(mainForm, wine, command.stopWine);
            });
        }
        std::vector<pestrel::Platform*> platforms;
        for (const auto& prefix : prefixes)
            platforms.push_back(prefix.get());
        int status = pestrel::RunCommandLine(command, platforms);
        for (std::size_t at = 0; at < prefixes.size(); ++at) {
            if (!prefixes[at]->takeRefusal())
                continue;
            // Among several prefixes, the sentence says which one it speaks of.
            const std::string folder =
                prefixes.size() > 1 ? pestrel::Printable(command.winePrefixes[at]) + ": " : "";
            pestrel::Complain(folder + pestrel::wine::WinePlatform::kWineRunsText);
            status = status == pestrel::kDone ? pestrel::kIncomplete : status; // registry not done
        }
        return status;
    }
#endif
    return pestrel::RunCommandLine(command, platform);
}
