#include "app/RunList.h"

#include "app/CommandLine.h"
#include "app/Messages.h"
#include "app/NamedList.h"
#include "engine/Public.h"

#include <QCoreApplication>

namespace pestrel {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(pestrel::RunCommandLine)
};

} // namespace

std::string RunListPath(const CommandLine& command, const std::string& appPath) {
    return command.list ? *command.list : JoinName(appPath, "VirusList.txt").value_or("");
}

ListFile ReadRunList(const CommandLine& command, const std::string& path) {
    return command.list ? ReadNamedList(path) : ReadListFile(path);
}

std::optional<ListFile> ReadRunListOrSay(const CommandLine& command, const std::string& path) {
    ListFile list = ReadRunList(command, path);
    if (list.status == ListFile::Status::Unreadable)
        Complain(Message(Texts::tr("cannot read the list '%1'"), path));
    else if (list.status == ListFile::Status::NotText)
        Complain(Message(Texts::tr("the list '%1' is not text (it holds control bytes)"), path));
    else
        return list;
    return std::nullopt;
}

} // namespace pestrel
