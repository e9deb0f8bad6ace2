#include "app/RootQtEnvironment.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace pestrel {
namespace {

// Each names plugins, libraries, or folders to read from.
constexpr std::array kCodeAndFolderChoices = {
    "QT_PLUGIN_PATH",
    "QT_QPA_PLATFORM_PLUGIN_PATH",
    "QT_QPA_PLATFORMTHEME",
    "QT_QPA_GENERIC_PLUGINS",
    "QT_QPA_FONTDIR",
    "QT_QPA_EGLFS_INTEGRATION",
    "QT_QPA_EGLFS_KMS_CONFIG",
    "QT_STYLE_OVERRIDE",
    "QT_IM_MODULE",
    "QT_IM_MODULES",
    "QT_XCB_GL_INTEGRATION",
    "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION",
    "QT_WAYLAND_SHELL_INTEGRATION",
    "QT_WAYLAND_DECORATION",
    "QT_VULKAN_LIB",
    "QT_LOAD_TESTABILITY",
    "FONTCONFIG_FILE",
    "FONTCONFIG_PATH",
    "FONTCONFIG_SYSROOT",
};

// The platforms that only open a window on a display (or none); the others serve the window
// over the network or read devices the user names.
constexpr std::array kDisplayPlatforms = {"xcb", "wayland", "wayland-egl", "offscreen", "minimal"};

bool IsDisplayPlatform(std::string_view name) {
    for (std::string_view known : kDisplayPlatforms) {
        if (name == known)
            return true;
    }
    return false;
}

// The names of QT_QPA_PLATFORM's ';'-separated choices that are display platforms, each
// without its ':' options.
std::string DisplayPlatformsOf(std::string_view choices) {
    std::string kept;
    while (!choices.empty()) {
        const std::size_t end = std::min(choices.find(';'), choices.size());
        const std::string_view choice = choices.substr(0, end);
        const std::string_view name = choice.substr(0, choice.find(':'));
        if (IsDisplayPlatform(name))
            kept += (kept.empty() ? "" : ";") + std::string(name);
        choices.remove_prefix(std::min(end + 1, choices.size()));
    }
    return kept;
}

} // namespace

void ClearUsersQtChoicesAsRoot() {
    if (::geteuid() != 0)
        return;
    for (const char* variable : kCodeAndFolderChoices)
        ::unsetenv(variable);
    if (const char* platform = std::getenv("QT_QPA_PLATFORM")) {
        const std::string kept = DisplayPlatformsOf(platform);
        if (kept.empty())
            ::unsetenv("QT_QPA_PLATFORM");
        else
            ::setenv("QT_QPA_PLATFORM", kept.c_str(), 1);
    }
}

void LoadInstalledPluginsOnlyAsRoot() {
    if (::geteuid() != 0)
        return;
    QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
}

} // namespace pestrel
