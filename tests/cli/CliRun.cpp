#include "tests/cli/CliRun.h"

#include "tests/support/TestFiles.h"

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

CliMachine::CliMachine() : dataHome_(machine.root() + "data") {
    // The program finds the machine's data root in its data home.
    fs::copy_file(PESTREL_PROGRAM, context().AppPath + "pestrel");
}

std::string CliMachine::name(const std::string& stem) const {
    return "cli-" + std::to_string(::getpid()) + "-" + stem;
}

CliResult CliMachine::run(const std::vector<std::string>& arguments) {
    const std::string program = context().AppPath + "pestrel";
    const std::string out = machine.root() + "stdout", err = machine.root() + "stderr";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        const std::string key = variable.substr(0, variable.find('='));
        if (key != "DISPLAY" && key != "WAYLAND_DISPLAY" && key != "QT_QPA_PLATFORM" &&
            key != "XDG_DATA_HOME")
            variables.push_back(variable);
    }
    variables.push_back("XDG_DATA_HOME=" + dataHome_);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t files;
    ::posix_spawn_file_actions_init(&files);
    ::posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&files);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);
    int status = 0;
    ::waitpid(pid, &status, 0);

    CliResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(out).value_or("");
    result.err = ReadFile(err).value_or("");
    fs::remove(out);
    fs::remove(err);
    return result;
}

std::map<std::string, std::string> CliMachine::snapshot() const {
    std::map<std::string, std::string> files;
    Snap(machine.root() + "app", files);
    Snap(dataHome_ + "/pestrel", files);
    return files;
}

} // namespace pestrel::test
