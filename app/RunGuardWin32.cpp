// --guard on Windows: the poll, until Ctrl+C or the console closes. Windows tells a program of
// other programs' starts only in the kernel, so a listed program is ended, not refused; files
// dropped into the watched folders and changed autostart places are heard of as they happen.
#include "app/ActionLine.h"
#include "app/CommandLine.h"
#include "app/GuardService.h"
#include "app/GuardView.h"
#include "app/NamedList.h"
#include "app/RunGuard.h"
#include "engine/Context.h"
#include "engine/GuardPoll.h"
#include "engine/Public.h"
#include "engine/RootCheck.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdio>
#include <windows.h>

namespace pestrel {
namespace {

constexpr int kDone = 0, kBadInput = 2;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunGuard)
};

std::atomic<bool> stopAsked{false};

BOOL WINAPI AskStop(DWORD) {
    stopAsked = true;
    return TRUE;
}

void Complain(const QString& text, const std::string& field = {}) {
    std::string message = text.toLocal8Bit().toStdString();
    if (const std::size_t at = message.find("%1"); at != std::string::npos)
        message.replace(at, 2, field);
    std::fprintf(stderr, "pestrel: %s\n", Printable(message).c_str());
}

} // namespace

int RunGuard(const CommandLine& command, Platform& platform) {
    Context context(platform);
    InitialiseContext(context);
    context.cleanAutostart = command.cleanAutostart;
    if (const std::string refusal = RootRefusal(context); !refusal.empty()) {
        Complain(QString::fromLocal8Bit(refusal));
        return kBadInput;
    }
    const std::string path =
        command.list ? *command.list : JoinName(context.AppPath, "VirusList.txt").value_or("");
    const auto readList = [&]() -> std::optional<std::vector<std::string>> {
        const ListFile list =
            command.list ? ReadNamedList(path) : ReadListFile(context.platform, path);
        if (list.status != ListFile::Status::Read)
            return std::nullopt;
        return list.entries;
    };
    if (!readList()) {
        Complain(Texts::tr("cannot read the list '%1'"), path);
        return kBadInput;
    }
    Complain(Texts::tr("cannot refuse program starts (%1): listed programs are ended as soon as "
                       "they are seen, not refused"),
             "Windows");
    ::SetConsoleCtrlHandler(AskStop, TRUE);
    GuardView view;
    RunGuardPoll(
        context, view, readList,
        [](std::size_t names) { SayNow("reload\t" + std::to_string(names)); }, stopAsked);
    SayNow("stop");
    return kDone;
}

void StopGuard() {
    stopAsked = true;
}

} // namespace pestrel
