// The engine tests' machine on the Windows API. Files live in a fresh temporary folder; the
// Windows and System folders are stand-ins inside it, so no test touches the real ones. The
// registry is the real one, with the three roots redirected (for this process only) to a fresh
// key under HKEY_CURRENT_USER, so every machine starts with an empty registry.
#include "platform/ForwardingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "tests/support/TestMachine.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/RegistrySandbox.h"

#include <atomic>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <windows.h>

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kEndWaitMs = 5000;

std::string LongTemporaryFolder() {
    char shortPath[MAX_PATH] = {};
    char longPath[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, shortPath);
    if (length == 0 || length >= MAX_PATH)
        throw std::runtime_error("no temporary folder");
    // Module snapshots report long names; the tests compare folders with them.
    const DWORD longLength = GetLongPathNameA(shortPath, longPath, MAX_PATH);
    return longLength == 0 || longLength >= MAX_PATH ? shortPath : longPath;
}

std::string MakeRoot() {
    static std::atomic<unsigned> counter{0};
    const std::string base =
        LongTemporaryFolder() + "pestrel-test-" + std::to_string(GetCurrentProcessId()) + "-";
    for (;;) {
        const std::string root = base + std::to_string(++counter);
        if (CreateDirectoryA(root.c_str(), nullptr))
            return root + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + root);
    }
}

// The machine's view of the real backend: its own folders and program file, and registry roots
// that can be made to refuse changes.
class MachinePlatform final : public ForwardingPlatform {
public:
    MachinePlatform(Platform& real, const std::string& root)
        : ForwardingPlatform(real), root_(root) {}

    std::string windowsFolder() override { return root_ + "data\\Windows"; }
    std::string systemFolder() override { return root_ + "data\\Windows\\System32"; }
    std::string programFile() override { return root_ + "app\\pestrel.exe"; }

    void refuse(RegRoot root) {
        refused_.insert(root);
        // Classes are stored in the machine's hive.
        if (root == RegRoot::LocalMachine)
            refused_.insert(RegRoot::ClassesRoot);
    }
    bool createKey(RegRoot root, const std::string& key) override {
        return !refused_.count(root) && ForwardingPlatform::createKey(root, key);
    }
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override {
        return !refused_.count(root) && ForwardingPlatform::setValue(root, key, name, value);
    }
    bool deleteValue(RegRoot root, const std::string& key, const std::string& name) override {
        return !refused_.count(root) && ForwardingPlatform::deleteValue(root, key, name);
    }

private:
    std::string root_;
    std::set<RegRoot> refused_;
};

class ChildProgram final : public RunningProgram {
public:
    ChildProgram(const std::string& path, const std::string& options, const std::string& readyFile)
        : child_(path, options, readyFile) {}
    std::uint32_t id() const override { return child_.id(); }
    bool alive() override { return child_.alive(); }
    bool ended() override { return child_.waitForExit(kEndWaitMs); }
    bool started() const { return child_.started(); }

private:
    ChildProcess child_;
};

} // namespace

struct TestMachine::Impl {
    std::string root = MakeRoot();
    RegistrySandbox registry;
    Win32Platform real;
    MachinePlatform platform{real, root};
    Context context{platform};
    int started = 0;
};

TestMachine::TestMachine() : impl_(std::make_unique<Impl>()) {
    fs::create_directories(impl_->platform.systemFolder());
    InitialiseContext(impl_->context);
    fs::create_directories(impl_->context.AppPath);
}

TestMachine::~TestMachine() {
    std::error_code ignored;
    // Read-only files would resist the removal.
    for (fs::recursive_directory_iterator item(impl_->root, ignored), end; item != end;
         item.increment(ignored))
        SetFileAttributesA(item->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
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
    // The helper has no window, so a close request never reaches it; ignoring SIGTERM as well
    // keeps it as stubborn as on Linux.
    const std::string readyFile = impl_->root + "ready-" + std::to_string(++impl_->started);
    auto program = std::make_unique<ChildProgram>(
        path, options.ignoreCloseRequest ? "--ignore-term" : "", readyFile);
    if (!program->started())
        throw std::runtime_error("cannot start " + path);
    return program;
}

void TestMachine::makeHiveRefuse(RegRoot root) {
    impl_->platform.refuse(root);
}

} // namespace pestrel::test
