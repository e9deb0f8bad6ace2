#include "tests/cli/CliRun.h"

#include "tests/support/TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

void Snap(const fs::path& top, std::map<std::string, std::string>& into) {
    for (const auto& item : fs::recursive_directory_iterator(top)) {
        const auto mode = static_cast<int>(item.symlink_status().permissions());
        std::string value = std::to_string(mode) + (item.is_directory() ? "/" : ":");
        if (item.is_regular_file())
            value += ReadFile(item.path().string()).value_or("?");
        into[item.path().string()] = value;
    }
}

} // namespace

std::vector<std::string> CliResult::lines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

ChildRun StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& variables, const std::string& scratch) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const auto nameOf = [](const std::string& variable) {
        return variable.substr(0, variable.find('='));
    };
    std::vector<std::string> environment = variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        const std::string name = nameOf(variable);
        const bool replaced = std::any_of(variables.begin(), variables.end(),
                                          [&](const auto& own) { return nameOf(own) == name; });
        if (!replaced && name != "DISPLAY" && name != "WAYLAND_DISPLAY" &&
            name != "QT_QPA_PLATFORM")
            environment.push_back(variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    static int runs = 0;
    ChildRun run;
    run.out = scratch + "/stdout-" + std::to_string(++runs);
    run.err = scratch + "/stderr-" + std::to_string(runs);
    posix_spawn_file_actions_t files;
    ::posix_spawn_file_actions_init(&files);
    ::posix_spawn_file_actions_addopen(&files, 1, run.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    ::posix_spawn_file_actions_addopen(&files, 2, run.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    const int spawned =
        ::posix_spawn(&run.pid, program.c_str(), &files, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&files);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);
    return run;
}

CliResult FinishProgram(const ChildRun& run) {
    int status = 0;
    ::waitpid(run.pid, &status, 0);
    CliResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(run.out).value_or("");
    result.err = ReadFile(run.err).value_or("");
    fs::remove(run.out);
    fs::remove(run.err);
    return result;
}

CliMachine::CliMachine()
    : dataHome_(machine.root() + "home"),
      platform_(dataHome_ + "/pestrel", machine.context().AppPath + "pestrel") {
    InitialiseContext(context_);
    fs::copy_file(PESTREL_PROGRAM, context_.AppPath + "pestrel");
}

std::string CliMachine::name(const std::string& stem) const {
    return "cli-" + std::to_string(::getpid()) + "-" + stem;
}

CliResult CliMachine::run(const std::vector<std::string>& arguments) {
    return FinishProgram(StartProgram(context_.AppPath + "pestrel", arguments,
                                      {"XDG_DATA_HOME=" + dataHome_}, machine.root()));
}

std::map<std::string, std::string> CliMachine::snapshot() const {
    std::map<std::string, std::string> files;
    Snap(machine.root() + "app", files);
    Snap(dataHome_, files);
    return files;
}

} // namespace pestrel::test
