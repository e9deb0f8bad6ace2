#include "platform/win32/Win32Platform.h"

#include "tests/support/ShortcutBytes.h"
#include "tests/support/win32/ChildProcess.h"
#include "tests/support/win32/RegTool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

namespace pestrel {
namespace {

// A process known by its id alone.
ProcessRecord RecordOf(std::uint32_t id) {
    ProcessRecord record;
    record.id = id;
    return record;
}

namespace fs = std::filesystem;

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder under the temporary folder, removed with everything in it afterwards.
class Win32PlatformFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("pestrel-win32-" + std::to_string(GetCurrentProcessId()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override {
        for (const auto& item : fs::recursive_directory_iterator(folder_))
            SetFileAttributesA(item.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(folder_);
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    Win32Platform platform_;
    fs::path folder_;
};

TEST(Win32PlatformFolders, WindowsAndSystemFolderAreExistingFoldersWithoutTrailingBackslash) {
    Win32Platform platform;
    const std::string windows = platform.windowsFolder();
    const std::string system = platform.systemFolder();
    for (const std::string& folder : {windows, system}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_LT(folder.size(), 128u);
        EXPECT_NE(folder.back(), '\\') << folder;
        EXPECT_TRUE(platform.folderExists(folder)) << folder;
    }
    EXPECT_EQ(upper(system).rfind(upper(windows) + "\\", 0), 0u) << system;
}

TEST(Win32PlatformFolders, ProgramFileIsThisRunningProgram) {
    Win32Platform platform;
    const std::string program = platform.programFile();
    EXPECT_TRUE(platform.fileExists(program)) << program;
    EXPECT_EQ(upper(fs::path(program).filename().string()), "WIN32_TESTS.EXE");
}

class Win32PlatformProcesses : public Win32PlatformFiles {
protected:
    // A copy of the helper program under `name`, running.
    std::unique_ptr<test::ChildProcess> start(const std::string& name) {
        return std::make_unique<test::ChildProcess>(path(name), "",
                                                    path("ready-" + std::to_string(++started_)));
    }

    std::optional<ProcessRecord> find(std::uint32_t id, SnapshotDetail detail) {
        for (const ProcessRecord& record : platform_.processSnapshot(detail))
            if (record.id == id)
                return record;
        return std::nullopt;
    }

    int started_ = 0;
};

TEST_F(Win32PlatformProcesses, SnapshotListsAChildWithItsProgramFileAndItsFullPath) {
    auto child = start("pestrel-probe.exe");
    ASSERT_TRUE(child->started());

    const auto named = find(child->id(), SnapshotDetail::Names);
    ASSERT_TRUE(named);
    EXPECT_EQ(upper(fs::path(named->exeFile).filename().string()), "PESTREL-PROBE.EXE");
    EXPECT_FALSE(named->exePath);

    const auto withPath = find(child->id(), SnapshotDetail::WithPaths);
    ASSERT_TRUE(withPath && withPath->exePath);
    EXPECT_TRUE(fs::equivalent(*withPath->exePath, path("pestrel-probe.exe")))
        << *withPath->exePath;
}

TEST_F(Win32PlatformProcesses, SnapshotListsEveryRunningProcessOnce) {
    auto first = start("pestrel-probe.exe");
    auto second = start("pestrel-probe2.exe");
    ASSERT_TRUE(first->started() && second->started());

    const auto records = platform_.processSnapshot(SnapshotDetail::Names);
    std::vector<std::uint32_t> ids;
    for (const ProcessRecord& record : records)
        ids.push_back(record.id);
    const auto firstAt = std::find(ids.begin(), ids.end(), first->id());
    const auto secondAt = std::find(ids.begin(), ids.end(), second->id());
    ASSERT_NE(firstAt, ids.end());
    ASSERT_NE(secondAt, ids.end());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
    EXPECT_TRUE(find(GetCurrentProcessId(), SnapshotDetail::Names));
}

TEST_F(Win32PlatformProcesses, OnlyThisProcessHasThisProgramsPath) {
    // A module snapshot for id 0 would describe the calling process; the idle process listed
    // under id 0 must not take this program's path.
    const std::string self = upper(platform_.programFile());
    for (const ProcessRecord& record : platform_.processSnapshot(SnapshotDetail::WithPaths)) {
        if (record.exePath && upper(*record.exePath) == self) {
            EXPECT_EQ(record.id, GetCurrentProcessId()) << record.exeFile;
        }
    }
    EXPECT_TRUE(find(GetCurrentProcessId(), SnapshotDetail::WithPaths)->exePath);
}

TEST_F(Win32PlatformProcesses, TerminateEndsTheProcessWithExitCodeZero) {
    auto child = start("pestrel-probe.exe");
    ASSERT_TRUE(child->started());
    EXPECT_TRUE(platform_.terminateProcess(RecordOf(child->id())));
    // Gone when the call returns, so its program file can be deleted at once.
    EXPECT_TRUE(child->waitForExit(0));
    EXPECT_EQ(child->exitCode(), 0u);
    EXPECT_TRUE(platform_.deleteFile(path("pestrel-probe.exe")));
    EXPECT_FALSE(find(child->id(), SnapshotDetail::Names));
}

TEST_F(Win32PlatformProcesses, TerminateOfAProcessThatCannotBeOpenedFails) {
    // Process ids are multiples of four; this one never names a process.
    EXPECT_FALSE(platform_.terminateProcess(RecordOf(0xFFFFFFF1u)));
}

TEST(Win32PlatformToolhelp, UnresolvableEntryPointsGiveAnEmptySnapshot) {
    // A library that is not loaded, and a loaded one without the snapshot entry points.
    for (const char* module : {"pestrel-no-such-library.dll", "ntdll.dll"}) {
        Win32Platform platform(module);
        EXPECT_TRUE(platform.processSnapshot(SnapshotDetail::Names).empty()) << module;
        EXPECT_TRUE(platform.processSnapshot(SnapshotDetail::WithPaths).empty()) << module;
    }
    EXPECT_FALSE(Win32Platform().processSnapshot(SnapshotDetail::Names).empty());
}

// A top-level window on a thread of its own, pumping messages until it is destroyed, or not
// pumping at all when `hung`.
class TitledWindow {
public:
    TitledWindow(const std::string& title, bool hung) : title_(title), hung_(hung) {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &TitledWindow::run, this, 0, nullptr);
        WaitForSingleObject(ready_, INFINITE);
    }
    ~TitledWindow() {
        SetEvent(release_);
        if (IsWindow(window_))
            PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HWND window() const { return window_; }

private:
    static DWORD WINAPI run(void* self) {
        static_cast<TitledWindow*>(self)->loop();
        return 0;
    }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, w, l);
    }
    void loop() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &TitledWindow::procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PestrelTestWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "PestrelTestWindow", title_.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                  100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetEvent(ready_);
        if (window_ == nullptr)
            return;
        if (hung_)
            WaitForSingleObject(release_, INFINITE);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
    }

    std::string title_;
    bool hung_;
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

TEST(Win32PlatformCloseRequest, ClosesTheWindowOfThatTitleWhateverItsCase) {
    Win32Platform platform;
    TitledWindow window("Pestrel-Probe.exe", false);
    ASSERT_TRUE(IsWindow(window.window()));
    platform.requestClose("Other.exe");
    EXPECT_TRUE(IsWindow(window.window()));
    platform.requestClose("PESTREL-PROBE.EXE");
    EXPECT_FALSE(IsWindow(window.window()));
}

TEST(Win32PlatformCloseRequest, AWindowThatDoesNotAnswerDoesNotKeepTheCallerWaiting) {
    Win32Platform platform;
    TitledWindow window("pestrel-hung.exe", true);
    ASSERT_TRUE(IsWindow(window.window()));
    platform.requestClose("pestrel-hung.exe"); // returns after the bounded wait
    EXPECT_TRUE(IsWindow(window.window()));
}

// Keys of this process only, so a test run beside another one cannot disturb it.
class Win32PlatformRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = own_ + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, own_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PestrelTest"); // only when empty
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + classes_).c_str());
    }
    static RegValue text(const std::string& value) { return {RegText, value, 0}; }
    static RegValue number(std::uint32_t value) { return {RegInteger, {}, value}; }

    const std::string own_ =
        "Software\\PestrelTest\\" + std::to_string(GetCurrentProcessId()) + "-backend";
    const std::string classes_ = "PestrelTest-" + std::to_string(GetCurrentProcessId());
    Win32Platform platform_;
    std::string key_;
};

TEST_F(Win32PlatformRegistry, ValuesRoundTripThroughTheApiAndRegExe) {
    const std::string trailingBlank = "Notepad.exe \"%1\" ";
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "", text(trailingBlank)));
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "Start Page", text("about:blank")));
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "1803", number(0)));
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "Big", number(0xFFFFFFFFu)));

    const auto byDefault = platform_.queryValue(RegRoot::CurrentUser, key_, "");
    ASSERT_TRUE(byDefault);
    EXPECT_EQ(byDefault->kind, RegText);
    EXPECT_EQ(byDefault->text, trailingBlank);
    const auto zone = platform_.queryValue(RegRoot::CurrentUser, key_, "1803");
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->kind, RegInteger);
    EXPECT_EQ(zone->number, 0u);
    EXPECT_EQ(platform_.queryValue(RegRoot::CurrentUser, key_, "Big")->number, 0xFFFFFFFFu);

    const std::string fullKey = "HKCU\\" + key_;
    EXPECT_EQ(test::RegQueryData(fullKey, "Start Page"), "about:blank");
    EXPECT_EQ(test::RegQueryData(fullKey, "1803"), "0x0");
    EXPECT_EQ(test::RegQueryData(fullKey, "Big"), "0xffffffff");
}

TEST_F(Win32PlatformRegistry, KeyPathsIgnoreALeadingBackslashAndNamesIgnoreCase) {
    ASSERT_TRUE(
        platform_.setValue(RegRoot::CurrentUser, "\\" + key_ + "\\Deep\\Er", "Value", text("one")));
    const auto read =
        platform_.queryValue(RegRoot::CurrentUser, upper(key_) + "\\deep\\er", "VALUE");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text, "one");
    EXPECT_TRUE(test::RegQuery("HKCU\\" + key_ + "\\Deep\\Er", "Value"));
}

TEST_F(Win32PlatformRegistry, ClassesRootWritesLandInTheMachineClasses) {
    const std::string command = classes_ + "\\shell\\open\\command";
    ASSERT_TRUE(platform_.setValue(RegRoot::ClassesRoot, "\\" + command, "", text("\"%1\" %*")));
    const auto read =
        platform_.queryValue(RegRoot::LocalMachine, "Software\\Classes\\" + command, "");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text, "\"%1\" %*");
}

TEST_F(Win32PlatformRegistry, CreateAndDeleteAnswerWhatHappened) {
    EXPECT_FALSE(platform_.queryValue(RegRoot::CurrentUser, key_, "Run"));
    EXPECT_FALSE(platform_.deleteValue(RegRoot::CurrentUser, key_, "Run")); // no key
    ASSERT_TRUE(platform_.createKey(RegRoot::CurrentUser, key_));
    EXPECT_TRUE(test::RegQuery("HKCU\\" + key_, ""));
    EXPECT_FALSE(platform_.deleteValue(RegRoot::CurrentUser, key_, "Run")); // no value

    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "evil.exe", text("C:\\evil.exe")));
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "Updater", text("C:\\evil.exe")));
    EXPECT_TRUE(platform_.deleteValue(RegRoot::CurrentUser, key_, "EVIL.EXE"));
    EXPECT_FALSE(platform_.queryValue(RegRoot::CurrentUser, key_, "evil.exe"));
    EXPECT_FALSE(test::RegQuery("HKCU\\" + key_, "evil.exe"));
    EXPECT_TRUE(test::RegQuery("HKCU\\" + key_, "Updater"));
}

TEST_F(Win32PlatformRegistry, ValuesAndSubKeysAreListed) {
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "Updater", text("C:\\evil.exe")));
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "Start", number(2)));
    ASSERT_TRUE(platform_.createKey(RegRoot::CurrentUser, key_ + "\\EvilSvc\\Parameters"));
    std::vector<std::string> values = platform_.valueNames(RegRoot::CurrentUser, key_);
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"Start", "Updater"}));
    EXPECT_EQ(platform_.subkeyNames(RegRoot::CurrentUser, key_),
              (std::vector<std::string>{"EvilSvc"}));
    EXPECT_TRUE(platform_.valueNames(RegRoot::CurrentUser, key_ + "\\Missing").empty());
}

TEST_F(Win32PlatformRegistry, NamesWithANulAreRefusedBeforeAnyCall) {
    ASSERT_TRUE(platform_.setValue(RegRoot::CurrentUser, key_, "evil.exe", text("C:\\evil.exe")));
    const std::string cut("evil.exe\0.tail", 14);
    EXPECT_FALSE(platform_.deleteValue(RegRoot::CurrentUser, key_, cut));
    EXPECT_FALSE(platform_.setValue(RegRoot::CurrentUser, key_, cut, text("x")));
    EXPECT_FALSE(platform_.queryValue(RegRoot::CurrentUser, key_, cut));
    EXPECT_FALSE(platform_.createKey(RegRoot::CurrentUser, key_ + std::string("\0x", 2)));
    EXPECT_EQ(platform_.queryValue(RegRoot::CurrentUser, key_, "evil.exe")->text, "C:\\evil.exe");
}

TEST_F(Win32PlatformFiles, ExistenceTellsFilesFromFolders) {
    writeBytes(path("a.exe"), "MZ");
    ASSERT_TRUE(platform_.createFolder(path("sub")));
    EXPECT_FALSE(platform_.createFolder(path("sub")));
    EXPECT_TRUE(platform_.fileExists(path("a.exe")));
    EXPECT_FALSE(platform_.folderExists(path("a.exe")));
    EXPECT_TRUE(platform_.folderExists(path("sub")));
    EXPECT_FALSE(platform_.fileExists(path("sub")));
    EXPECT_FALSE(platform_.fileExists(path("missing.exe")));
    EXPECT_FALSE(platform_.fileExists(""));
}

TEST_F(Win32PlatformFiles, DeleteRemovesAFileOnce) {
    writeBytes(path("virus.exe"), "body");
    EXPECT_TRUE(platform_.deleteFile(path("virus.exe")));
    EXPECT_FALSE(platform_.fileExists(path("virus.exe")));
    EXPECT_FALSE(platform_.deleteFile(path("virus.exe")));
}

// Starts a Unix command in `folder` and waits up to ten seconds for `done` to hold. Wine starts
// Unix programs like any other, but gives no handle to wait on; Windows starts none.
bool RunUnix(const fs::path& folder, std::string command, const std::function<bool()>& done) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.string().c_str(), &startup, &info))
        return false;
    for (HANDLE handle : {info.hThread, info.hProcess})
        if (handle != nullptr)
            CloseHandle(handle);
    for (int waited = 0; waited < 1000 && !done(); ++waited)
        Sleep(10);
    return done();
}

std::string UnixPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

class Win32HeldFolders : public Win32PlatformFiles {
protected:
    // Links go before the folder: removing a folder tree under Wine follows them.
    void TearDown() override {
        for (const Link& link : links_) {
            if (link.byUnix)
                RunUnix(folder_, "/bin/rm " + UnixPath(link.name),
                        [&] { return !exists(link.name); });
            else if (link.toFolder)
                RemoveDirectoryA(path(link.name).c_str());
            else
                DeleteFileA(path(link.name).c_str());
        }
        Win32PlatformFiles::TearDown();
    }

    // Makes `name` in the test folder a symbolic link to `target`, a path relative to the link's
    // own folder: with CreateSymbolicLinkA where the system makes one (Wine answers success and
    // makes none), else with the Unix ln.
    bool makeLink(const std::string& name, const std::string& target, bool toFolder) {
        const DWORD flags = (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
        if (CreateSymbolicLinkA(path(name).c_str(), target.c_str(), flags) && exists(name))
            links_.push_back({name, false, toFolder});
        else if (RunUnix(folder_, "/bin/ln -s " + UnixPath(target) + " " + UnixPath(name),
                         [&] { return exists(name); }))
            links_.push_back({name, true, toFolder});
        return exists(name);
    }
    bool exists(const std::string& name) const {
        return GetFileAttributesA(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::unique_ptr<HeldFolder> hold(const std::string& name) {
        return platform_.holdFolder(path(name));
    }
    std::unique_ptr<HeldFolder> holdTestFolder() { return platform_.holdFolder(folder_.string()); }

private:
    struct Link {
        std::string name;
        bool byUnix;
        bool toFolder;
    };
    std::vector<Link> links_;
};

TEST_F(Win32HeldFolders, EveryStepMustBeTheFolderItsNameLeadsToAndNoLink) {
    ASSERT_TRUE(platform_.createFolder(path("a")) && platform_.createFolder(path("a\\b")));
    writeBytes(path("a\\file.exe"), "MZ");
    ASSERT_TRUE(makeLink("linked", "a", true));

    const auto held = hold("a/b/");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->path(), path("a\\b") + "\\");
    for (const std::string& refused : {path("linked"), path("linked\\b"), path("a\\file.exe"),
                                       path("a\\missing"), "\\\\?\\" + path("a"), std::string()})
        EXPECT_FALSE(platform_.holdFolder(refused)) << refused;
}

TEST_F(Win32HeldFolders, AHeldFolderAndTheFoldersAboveItStayPut) {
    ASSERT_TRUE(platform_.createFolder(path("a")) && platform_.createFolder(path("a\\b")));
    auto held = hold("a\\b");
    ASSERT_TRUE(held);
    EXPECT_FALSE(MoveFileA(path("a\\b").c_str(), path("a\\moved").c_str()));
    EXPECT_FALSE(MoveFileA(path("a").c_str(), path("moved").c_str()));
    EXPECT_FALSE(RemoveDirectoryA(path("a\\b").c_str()));
    held.reset();
    EXPECT_TRUE(MoveFileA(path("a").c_str(), path("moved").c_str()));
}

TEST_F(Win32HeldFolders, OnlyRegularFilesOfTheFolderItselfAreReached) {
    ASSERT_TRUE(platform_.createFolder(path("sub")));
    writeBytes(path("sub\\x.exe"), "MZ elsewhere");
    writeBytes(path("plain.exe"), "MZ");
    ASSERT_TRUE(makeLink("linked.exe", "sub\\x.exe", false));
    const auto held = holdTestFolder();
    const auto sub = hold("sub");
    ASSERT_TRUE(held && sub);
    ASSERT_TRUE(held->fileIdentity("plain.exe"));
    const auto elsewhere = sub->fileIdentity("x.exe");
    ASSERT_TRUE(elsewhere);

    for (const std::string name : {"", ".", "..", "sub\\x.exe", "sub/x.exe", "plain.exe:stream",
                                   "sub", "linked.exe", "missing.exe"}) {
        EXPECT_FALSE(held->fileIdentity(name)) << name;
        EXPECT_FALSE(held->fileOwnership(name)) << name;
        EXPECT_FALSE(held->fileDigest(name)) << name;
        EXPECT_FALSE(held->deleteFile(name, *elsewhere)) << name;
    }
    EXPECT_EQ(readBytes(path("sub\\x.exe")), "MZ elsewhere");
}

TEST_F(Win32HeldFolders, DigestIsTheSizeAndSha256OfTheWholeFile) {
    const struct {
        std::string bytes;
        const char* sha256;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // Many read chunks.
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    const auto held = holdTestFolder();
    ASSERT_TRUE(held);
    for (const auto& [bytes, sha256] : cases) {
        writeBytes(path("file.bin"), bytes);
        const auto digest = held->fileDigest("file.bin");
        ASSERT_TRUE(digest) << bytes.size();
        EXPECT_EQ(*digest, (FileDigest{bytes.size(), sha256}));
        // A limit the file fills is no limit; a byte short of it, the file is not read.
        EXPECT_EQ(held->fileDigest("file.bin", bytes.size()), digest);
        if (!bytes.empty()) {
            EXPECT_FALSE(held->fileDigest("file.bin", bytes.size() - 1));
        }
    }
}

TEST_F(Win32HeldFolders, LinkAndRestoreNeverReplaceAnEntry) {
    ASSERT_TRUE(platform_.createFolder(path("Kept")));
    writeBytes(path("backup.exe"), "kept bytes");
    writeBytes(path("Kept\\taken.exe"), "someone else's");
    const auto here = holdTestFolder();
    const auto kept = hold("Kept");
    ASSERT_TRUE(here && kept);

    EXPECT_FALSE(here->linkFile("backup.exe", *kept, "taken.exe"));
    EXPECT_EQ(readBytes(path("Kept\\taken.exe")), "someone else's");
    ASSERT_TRUE(here->linkFile("backup.exe", *kept, "backup.exe"));
    EXPECT_EQ(kept->fileIdentity("backup.exe"), here->fileIdentity("backup.exe"));

    EXPECT_FALSE(here->restoreFile(*kept, "taken.exe", "backup.exe", {0, 0, 0644}));
    EXPECT_EQ(readBytes(path("backup.exe")), "kept bytes");
    for (const std::uint32_t mode : {0644u, 0444u}) {
        const std::string name = "restored-" + std::to_string(mode) + ".exe";
        ASSERT_TRUE(here->restoreFile(*kept, "taken.exe", name, {0, 0, mode})) << mode;
        EXPECT_EQ(readBytes(path(name)), "someone else's");
        EXPECT_EQ(here->fileOwnership(name), (FileOwnership{0, 0, mode}));
    }
}

TEST_F(Win32HeldFolders, EntriesAreListedByName) {
    writeBytes(path("file.exe"), "MZ");
    ASSERT_TRUE(platform_.createFolder(path("sub")));
    const auto here = holdTestFolder();
    ASSERT_TRUE(here);
    std::vector<std::string> names = here->entryNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"file.exe", "sub"}));
}

TEST_F(Win32HeldFolders, FolderHoldsOrCreatesASubfolderAndNothingElse) {
    writeBytes(path("file.exe"), "MZ");
    ASSERT_TRUE(platform_.createFolder(path("real")));
    ASSERT_TRUE(makeLink("linked", "real", true));
    const auto here = holdTestFolder();
    ASSERT_TRUE(here);

    EXPECT_FALSE(here->folder("Undo", false));
    const auto undo = here->folder("Undo", true);
    ASSERT_TRUE(undo);
    EXPECT_EQ(undo->path(), here->path() + "Undo\\");
    EXPECT_TRUE(platform_.folderExists(path("Undo")));
    EXPECT_TRUE(here->folder("Undo", true)) << "an existing folder is held as it is";
    for (const std::string name : {"file.exe", "linked", "..", "real\\..\\real"})
        EXPECT_FALSE(here->folder(name, true)) << name;
}

TEST_F(Win32PlatformProcesses, AProgramFileIsCopiedAndDeletedOnlyWhileItIsTheProcessImage) {
    auto child = start("pestrel-image.exe");
    ASSERT_TRUE(child->started());
    const auto record = find(child->id(), SnapshotDetail::ForEnding);
    ASSERT_TRUE(record && record->image);
    ASSERT_TRUE(platform_.createFolder(path("Temp")));
    writeBytes(path("Temp\\pestrel-image.exe"), "an older, longer backup");
    const auto here = platform_.holdFolder(folder_.string());
    const auto temp = platform_.holdFolder(path("Temp"));
    ASSERT_TRUE(here && temp);
    EXPECT_EQ(here->fileIdentity("pestrel-image.exe"), record->image);
    const FileIdentity other{record->image->device, record->image->file + 1};

    EXPECT_FALSE(here->copyFile("pestrel-image.exe", other, *temp, "pestrel-image.exe"));
    EXPECT_EQ(readBytes(path("Temp\\pestrel-image.exe")), "an older, longer backup");
    EXPECT_TRUE(here->copyFile("pestrel-image.exe", *record->image, *temp, "pestrel-image.exe"));
    EXPECT_EQ(readBytes(path("Temp\\pestrel-image.exe")), readBytes(path("pestrel-image.exe")));
    EXPECT_EQ(std::distance(fs::directory_iterator(path("Temp")), fs::directory_iterator()), 1)
        << "no temporary file is left";

    ASSERT_TRUE(platform_.terminateProcess(*record));
    EXPECT_FALSE(here->deleteFile("pestrel-image.exe", other));
    EXPECT_TRUE(platform_.fileExists(path("pestrel-image.exe")));
    EXPECT_TRUE(here->deleteFile("pestrel-image.exe", *record->image));
    EXPECT_FALSE(platform_.fileExists(path("pestrel-image.exe")));
}

TEST_F(Win32PlatformFiles, AttributesAreReadAndSetAsWindowsNumbersThem) {
    writeBytes(path("bad.dll"), "MZ");
    const std::uint32_t all =
        FileAttribute::ReadOnly | FileAttribute::Hidden | FileAttribute::System;
    ASSERT_TRUE(platform_.setFileAttributes(path("bad.dll"), all));
    EXPECT_EQ(platform_.fileAttributes(path("bad.dll")) & all, all);
    // A read-only file resists deletion until the flag is cleared.
    EXPECT_FALSE(platform_.deleteFile(path("bad.dll")));
    ASSERT_TRUE(platform_.setFileAttributes(path("bad.dll"), FileAttribute::System));
    EXPECT_EQ(platform_.fileAttributes(path("bad.dll")) & all, FileAttribute::System);
    EXPECT_TRUE(platform_.deleteFile(path("bad.dll")));

    EXPECT_EQ(platform_.fileAttributes(path("bad.dll")), FileAttribute::Invalid);
    EXPECT_FALSE(platform_.setFileAttributes(path("bad.dll"), 0));
}

TEST_F(Win32PlatformFiles, ProfileStringsCreateReplaceAndReadBack) {
    const std::string ini = path("Log.ini");
    EXPECT_EQ(platform_.readProfileString(ini, "RunData", "FirstRun", "True"), "True");
    ASSERT_TRUE(platform_.writeProfileString(ini, "RunData", "virus.exe", "C:\\old\\virus.exe"));
    ASSERT_TRUE(platform_.writeProfileString(ini, "RunData", "FirstRun", "False"));
    ASSERT_TRUE(platform_.writeProfileString(ini, "RunData", "virus.exe", "C:\\new\\virus.exe"));

    EXPECT_EQ(platform_.readProfileString(ini, "rundata", "VIRUS.EXE", ""), "C:\\new\\virus.exe");
    EXPECT_EQ(platform_.readProfileString(ini, "RunData", "FirstRun", "True"), "False");
    EXPECT_EQ(platform_.readProfileString(ini, "Other", "FirstRun", "True"), "True");
    EXPECT_EQ(readBytes(ini), "[RunData]\r\nvirus.exe=C:\\new\\virus.exe\r\nFirstRun=False\r\n");
}

TEST_F(Win32PlatformFiles, ProfileValuesLongerThanTheFirstBufferComeBackWhole) {
    const std::string ini = path("Config.ini");
    const std::string longValue(1000, 'v');
    ASSERT_TRUE(platform_.writeProfileString(ini, "RunData", "Version", longValue));
    EXPECT_EQ(platform_.readProfileString(ini, "RunData", "Version", ""), longValue);
    const std::string exact(255, 'x'); // exactly fills the first buffer
    ASSERT_TRUE(platform_.writeProfileString(ini, "RunData", "Version", exact));
    EXPECT_EQ(platform_.readProfileString(ini, "RunData", "Version", ""), exact);
}

} // namespace
} // namespace pestrel

namespace pestrel {
namespace {

TEST(Win32StartFiles, ShortcutsAreReadFromTheirBytesAndTasksGoThroughTheScheduler) {
    Win32Platform platform;
    EXPECT_EQ(platform.shortcutTarget(test::ShortcutBytes("C:\\Program Files\\x\\evil.exe")),
              "C:\\Program Files\\x\\evil.exe");
    EXPECT_EQ(platform.shortcutTarget("L\0\0\0 not a shortcut"), std::nullopt);
    const std::vector<std::string> startup = platform.startupFolders();
    ASSERT_EQ(startup.size(), 2u);
    for (const std::string& folder : startup)
        EXPECT_NE(upper(folder).find("\\START MENU\\PROGRAMS\\STARTUP"), std::string::npos);

    // A task the scheduler registered, deleted through it, and registered again.
    const std::string name = "pestrel-test-" + std::to_string(GetCurrentProcessId());
    const std::string definition =
        "<?xml version=\"1.0\"?><Task version=\"1.2\" "
        "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\"><Actions><Exec>"
        "<Command>C:\\x\\evil.exe</Command></Exec></Actions></Task>";
    ASSERT_TRUE(platform.registerTask("\\" + name, definition));
    const std::unique_ptr<HeldFolder> tasks = platform.holdFolder(platform.tasksFolder());
    ASSERT_TRUE(tasks);
    const std::optional<FileIdentity> identity = tasks->fileIdentity(name);
    ASSERT_TRUE(identity) << "the scheduler keeps the definition in the tasks folder";
    EXPECT_TRUE(platform.deleteTask(*tasks, name, *identity, "\\" + name));
    EXPECT_FALSE(tasks->fileIdentity(name));
    EXPECT_TRUE(platform.registerTask("\\" + name, definition)) << "the name is free again";
    const std::optional<FileIdentity> again = tasks->fileIdentity(name);
    ASSERT_TRUE(again);
    EXPECT_TRUE(platform.deleteTask(*tasks, name, *again, "\\" + name));
}

} // namespace
} // namespace pestrel
