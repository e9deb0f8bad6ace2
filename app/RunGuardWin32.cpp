// --guard on Windows: the poll, until Ctrl+C or the console closes. Windows tells a program of
// other programs' starts only in the kernel, so a listed program is ended, not refused; files
// dropped into the watched folders and changed autostart places are heard of as they happen.
#include "app/CommandLine.h"
#include "app/GuardService.h"
#include "app/Messages.h"
#include "app/Printer.h"
#include "app/RunGuard.h"
#include "app/RunList.h"
#include "engine/Context.h"
#include "engine/GuardPoll.h"
#include "engine/Public.h"
#include "engine/RootCheck.h"

#include <QCoreApplication>
#include <atomic>
#include <windows.h>

namespace pestrel {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunGuard)
};

std::atomic<bool> stopAsked{false};

BOOL WINAPI AskStop(DWORD) {
    stopAsked = true;
    return TRUE;
}

} // namespace

int RunGuard(const CommandLine& command, Platform& platform) {
    Context context(platform);
    InitialiseContext(context);
    context.cleanAutostart = command.cleanAutostart;
    if (const std::string refusal = RootRefusal(context); !refusal.empty())
        return Refuse(refusal);
    const std::string path = RunListPath(command, context.AppPath);
    const auto readList = [&]() -> std::optional<std::vector<std::string>> {
        ListFile list = ReadRunList(command, path);
        if (list.status != ListFile::Status::Read)
            return std::nullopt;
        return std::move(list.entries);
    };
    if (!ReadRunListOrSay(command, path))
        return kBadInput;
    Complain(Message(Texts::tr("cannot refuse program starts (%1): listed programs are ended as "
                               "soon as they are seen, not refused"),
                     "Windows"));
    ::SetConsoleCtrlHandler(AskStop, TRUE);
    Printer printer(Printer::Format::Text, true);
    RunGuardPoll(
        context, printer, readList,
        [&printer](std::size_t names) { printer.line("reload\t" + std::to_string(names)); },
        stopAsked);
    printer.line("stop");
    return kDone;
}

void StopGuard() {
    stopAsked = true;
}

} // namespace pestrel
