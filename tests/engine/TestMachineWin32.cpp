// The engine tests' machine on the Windows API. Files live in a fresh temporary folder; the
// Windows and System folders are stand-ins inside it, so no test touches the real ones. The
// registry is the real one, with the three roots redirected (for this process only) to a fresh
// key under HKEY_CURRENT_USER, so every machine starts with an empty registry.
#include "platform/win32/Win32Platform.h"
#include "tests/engine/ForwardingPlatform.h"
#include "tests/engine/TestMachine.h"

#include <atomic>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <windows.h>

namespace pestrel::test {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kReadyWaitMs = 10000;
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

// The folder of the running test program, where the build puts the helper program too.
std::string HelperProgram() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (fs::path(self).parent_path() / "pestrel_test_helper.exe").string();
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

// Points the predefined registry roots of this process at fresh keys, and back on destruction.
class RegistrySandbox {
public:
    RegistrySandbox()
        : path_("Software\\PestrelTest\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter_)) {
        HKEY machine = create(path_ + "\\HKEY_LOCAL_MACHINE");
        HKEY user = create(path_ + "\\HKEY_CURRENT_USER");
        HKEY classes = create(path_ + "\\HKEY_LOCAL_MACHINE\\Software\\Classes");
        const bool redirected = RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine) == 0 &&
                                RegOverridePredefKey(HKEY_CURRENT_USER, user) == 0 &&
                                RegOverridePredefKey(HKEY_CLASSES_ROOT, classes) == 0;
        for (HKEY key : {machine, user, classes})
            RegCloseKey(key);
        if (!redirected) {
            restore();
            throw std::runtime_error("cannot redirect the registry roots");
        }
    }
    ~RegistrySandbox() {
        restore();
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PestrelTest"); // only when empty
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    static HKEY create(const std::string& key) {
        HKEY handle = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot create " + key);
        return handle;
    }
    static void restore() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT})
            RegOverridePredefKey(root, nullptr);
    }

    static inline std::atomic<unsigned> counter_{0};
    std::string path_;
};

class ChildProgram final : public RunningProgram {
public:
    ChildProgram(HANDLE process, std::uint32_t id) : process_(process), id_(id) {}
    ~ChildProgram() override {
        if (alive()) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, INFINITE);
        }
        CloseHandle(process_);
    }
    std::uint32_t id() const override { return id_; }
    bool alive() override { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    bool ended() override { return WaitForSingleObject(process_, kEndWaitMs) == WAIT_OBJECT_0; }
    // Waits until `file` exists, or the process has ended, or a bounded time has passed.
    void waitForFile(const std::string& file) {
        for (DWORD waited = 0; waited < kReadyWaitMs && !fs::exists(file); ++waited)
            if (WaitForSingleObject(process_, 1) != WAIT_TIMEOUT)
                return;
    }

private:
    HANDLE process_;
    std::uint32_t id_;
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
    if (!CopyFileA(HelperProgram().c_str(), path.c_str(), FALSE))
        throw std::runtime_error("cannot copy the helper program to " + path);
    // The helper has no window, so a close request never reaches it; ignoring SIGTERM as well
    // keeps it as stubborn as on Linux.
    const std::string readyFile = impl_->root + "ready-" + std::to_string(++impl_->started);
    std::string commandLine = "\"" + path + "\" ";
    if (options.ignoreCloseRequest)
        commandLine += "--ignore-term ";
    commandLine += "--ready \"" + readyFile + "\"";

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        throw std::runtime_error("cannot start " + path);
    CloseHandle(info.hThread);
    auto program = std::make_unique<ChildProgram>(info.hProcess, info.dwProcessId);
    // Once the helper has written its file it runs with its modules loaded, so the module
    // snapshot can read its program path.
    program->waitForFile(readyFile);
    return program;
}

void TestMachine::makeHiveRefuse(RegRoot root) {
    impl_->platform.refuse(root);
}

} // namespace pestrel::test
