#include "platform/posix/PosixPlatform.h"
#include "tests/support/TestMachine.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

class ChildProgram final : public RunningProgram {
public:
    explicit ChildProgram(pid_t pid) : pid_(pid) {}
    ~ChildProgram() override {
        if (alive()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    std::uint32_t id() const override { return static_cast<std::uint32_t>(pid_); }
    bool alive() override {
        if (reaped_)
            return false;
        reaped_ = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
        return !reaped_;
    }
    bool ended() override {
        for (int wait = 0; wait < 5000 && alive(); ++wait)
            ::usleep(1000);
        return !alive();
    }

private:
    pid_t pid_;
    bool reaped_ = false;
};

std::string MakeRoot() {
    std::string pattern = (fs::temp_directory_path() / "pestrel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return pattern + "/";
}

} // namespace

struct TestMachine::Impl {
    std::string root = MakeRoot();
    // The data root sits where XDG_DATA_HOME=<root>data puts it for the program.
    PosixPlatform platform{root + "data/pestrel", root + "app/pestrel"};
    Context context{platform};
    int started = 0;
};

TestMachine::TestMachine() : impl_(std::make_unique<Impl>()) {
    InitialiseContext(impl_->context);
    fs::create_directories(impl_->context.AppPath);
}

TestMachine::~TestMachine() {
    std::error_code ignored;
    fs::remove_all(impl_->root, ignored);
}

Platform& TestMachine::platform() {
    return impl_->platform;
}

Context& TestMachine::context() {
    return impl_->context;
}

const std::string& TestMachine::root() const {
    return impl_->root;
}

std::unique_ptr<RunningProgram> TestMachine::startProgram(const std::string& folder,
                                                          const std::string& name,
                                                          ProgramOptions options) {
    const std::string path = folder + name;
    fs::create_directories(folder);
    if (!options.startFileAsItIs)
        fs::copy_file(PESTREL_TEST_HELPER, path, fs::copy_options::overwrite_existing);
    std::string ignoreOption = "--ignore-term", readyOption = "--ready";
    std::string readyFile = impl_->root + "ready-" + std::to_string(++impl_->started);
    std::string userOption = "--user", user = std::to_string(options.user);
    std::string onTermOption = "--on-term", execOption = "--exec-on-usr1";
    if (!options.execOnSignal.empty())
        fs::copy_file(PESTREL_TEST_HELPER, options.execOnSignal,
                      fs::copy_options::overwrite_existing);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    if (options.user != 0)
        argv.insert(argv.end(), {userOption.data(), user.data()});
    if (!options.onCloseRequest.empty())
        argv.insert(argv.end(), {onTermOption.data(), options.onCloseRequest.data()});
    if (!options.execOnSignal.empty())
        argv.insert(argv.end(), {execOption.data(), options.execOnSignal.data()});
    const bool handlesSignals = options.ignoreCloseRequest || !options.onCloseRequest.empty() ||
                                !options.execOnSignal.empty();
    if (handlesSignals)
        argv.insert(argv.end(), {readyOption.data(), readyFile.data()});
    if (options.ignoreCloseRequest)
        argv.push_back(ignoreOption.data());
    argv.push_back(nullptr);
    // posix_spawn returns once the new program runs, so /proc already shows it.
    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + path);
    auto program = std::make_unique<ChildProgram>(pid);
    // The helper handles its signals its own way only once it has said so.
    while (handlesSignals && !fs::exists(readyFile) && program->alive())
        ::usleep(1000);
    return program;
}

void TestMachine::makeHiveRefuse(RegRoot root) {
    impl_->platform.setRefuseRegistryWrites(root, true);
}

} // namespace pestrel::test
