#include "app/RunGuard.h"

#include "app/ActionLine.h"
#include "app/CommandLine.h"
#include "app/GuardView.h"
#include "app/NamedList.h"
#include "engine/Context.h"
#include "engine/Public.h"
#include "engine/RootCheck.h"
#include "guard/GuardLoop.h"
#include "platform/posix/PosixPlatform.h"

#include <QCoreApplication>
#include <cstdio>
#include <deque>
#include <filesystem>

namespace pestrel {
namespace {

constexpr int kDone = 0, kIncomplete = 1, kBadInput = 2;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunGuard)
};

void Complain(const QString& text, const std::string& field = {}) {
    std::string message = text.toLocal8Bit().toStdString();
    if (const std::size_t at = message.find("%1"); at != std::string::npos)
        message.replace(at, 2, field);
    std::fprintf(stderr, "pestrel: %s\n", Printable(message).c_str());
}

void Notice(guard::GuardNotice notice, const std::string& detail) {
    using guard::GuardNotice;
    switch (notice) {
    case GuardNotice::Denying:
        SayNow(Texts::tr("guarding: listed programs are refused before they start")
                   .toLocal8Bit()
                   .toStdString());
        break;
    case GuardNotice::EndingOnly:
        Complain(Texts::tr("cannot refuse program starts (%1): listed programs are ended as soon "
                           "as they are seen, not refused"),
                 detail);
        break;
    case GuardNotice::FileSystemSkipped:
        Complain(Texts::tr("program starts are not watched on %1"), detail);
        break;
    case GuardNotice::FileSystemAdded:
        SayNow("watch\t" + Printable(detail));
        break;
    case GuardNotice::NotWatched:
        Complain(Texts::tr("cannot watch the folder '%1'"), detail);
        break;
    case GuardNotice::ListReloaded:
        SayNow("reload\t" + detail);
        break;
    case GuardNotice::ListUnreadable:
        Complain(Texts::tr("cannot read the list '%1': the last one stays"), detail);
        break;
    case GuardNotice::Stopping:
        SayNow("stop");
        break;
    }
}

std::string Absolute(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(path, ignored);
    return full.empty() ? path : full.lexically_normal().string();
}

// `path` with every link resolved, as the kernel names a file it reports; the absolute path
// when it cannot be resolved.
std::string RealPath(const std::string& path) {
    std::error_code unresolved;
    const std::filesystem::path real = std::filesystem::canonical(path, unresolved);
    return real.empty() ? Absolute(path) : real.string();
}

} // namespace

int RunGuard(const CommandLine& command, Platform& platform) {
    return RunGuard(command, std::vector<Platform*>{&platform});
}

int RunGuard(const CommandLine& command, const std::vector<Platform*>& platforms) {
    std::deque<Context> contexts;
    guard::GuardSetup setup;
    for (std::size_t at = 0; at < platforms.size(); ++at) {
        Context& context = contexts.emplace_back(*platforms[at]);
        InitialiseContext(context);
        context.cleanAutostart = command.cleanAutostart;
        if (const std::string refusal = RootRefusal(context); !refusal.empty()) {
            Complain(QString::fromLocal8Bit(refusal));
            return kBadInput;
        }
        guard::SystemSetup& system = setup.systems.emplace_back();
        system.context = &context;
        if (at < command.winePrefixes.size()) {
            const std::string prefix = WithTrailingSeparator(Absolute(command.winePrefixes[at]));
            system.registryFiles = {prefix + "system.reg", prefix + "user.reg"};
            system.filesFolder = WithTrailingSeparator(RealPath(prefix + "drive_c"));
            system.winePrograms = true;
        } else if (auto* posix = dynamic_cast<PosixPlatform*>(platforms[at])) {
            system.registryFiles = {posix->hiveFile(RegRoot::LocalMachine),
                                    posix->hiveFile(RegRoot::CurrentUser)};
        }
    }
    const Context& first = contexts.front();
    setup.listPath = command.list ? Absolute(*command.list)
                                  : JoinName(first.AppPath, "VirusList.txt").value_or("");
    setup.readList = [&]() -> std::optional<std::vector<std::string>> {
        // The program's own list is never read through a link.
        const ListFile list = command.list ? ReadNamedList(setup.listPath)
                                           : ReadListFile(first.platform, setup.listPath);
        if (list.status != ListFile::Status::Read)
            return std::nullopt;
        return list.entries;
    };
    if (!setup.readList()) {
        Complain(Texts::tr("cannot read the list '%1'"), setup.listPath);
        return kBadInput;
    }
    GuardView view;
    return guard::RunGuardLoop(view, setup, Notice) == 0 ? kDone : kIncomplete;
}

} // namespace pestrel
