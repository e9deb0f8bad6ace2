#include "app/RunGuard.h"

#include "app/CommandLine.h"
#include "app/Messages.h"
#include "app/Printer.h"
#include "app/RunList.h"
#include "engine/Context.h"
#include "engine/Public.h"
#include "engine/RootCheck.h"
#include "guard/GuardLoop.h"
#include "platform/posix/PosixPlatform.h"

#include <QCoreApplication>
#include <deque>
#include <filesystem>

namespace pestrel {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunGuard)
};

void Notice(Printer& printer, guard::GuardNotice notice, const std::string& detail) {
    using guard::GuardNotice;
    switch (notice) {
    case GuardNotice::Denying:
        printer.line(Message(Texts::tr("guarding: listed programs are refused before they start")));
        break;
    case GuardNotice::EndingOnly:
        Complain(Message(Texts::tr("cannot refuse program starts (%1): listed programs are ended "
                                   "as soon as they are seen, not refused"),
                         detail));
        break;
    case GuardNotice::FileSystemSkipped:
        Complain(Message(Texts::tr("program starts are not watched on %1"), detail));
        break;
    case GuardNotice::FileSystemAdded:
        printer.line("watch\t" + Printable(detail));
        break;
    case GuardNotice::NotWatched:
        Complain(Message(Texts::tr("cannot watch the folder '%1'"), detail));
        break;
    case GuardNotice::ListReloaded:
        printer.line("reload\t" + detail);
        break;
    case GuardNotice::ListUnreadable:
        Complain(Message(Texts::tr("cannot read the list '%1': the last one stays"), detail));
        break;
    case GuardNotice::Stopping:
        printer.line("stop");
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
            return Refuse(refusal);
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
    setup.listPath = RunListPath(command, first.AppPath);
    if (command.list)
        setup.listPath = Absolute(setup.listPath);
    setup.readList = [&]() -> std::optional<std::vector<std::string>> {
        ListFile list = ReadRunList(command, setup.listPath);
        if (list.status != ListFile::Status::Read)
            return std::nullopt;
        return std::move(list.entries);
    };
    if (!ReadRunListOrSay(command, setup.listPath))
        return kBadInput;
    Printer printer(Printer::Format::Text, true);
    const auto notice = [&printer](guard::GuardNotice said, const std::string& detail) {
        Notice(printer, said, detail);
    };
    return guard::RunGuardLoop(printer, setup, notice) == 0 ? kDone : kIncomplete;
}

} // namespace pestrel
