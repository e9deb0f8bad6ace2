// Hearing of changes on Windows: an overlapped ReadDirectoryChangesW on each folder and a
// RegNotifyChangeKeyValue on each key, each with its own event, re-armed as soon as it is taken
// and all waited for together.
#include "platform/win32/Win32HeldFolder.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32RegistryKey.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace pestrel {
namespace {

constexpr DWORD kFileChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
constexpr DWORD kKeyChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// What one read of a folder's changes can hold; more is an overflow (a read of zero bytes).
constexpr std::size_t kChangeBufferBytes = 64 * 1024;

UniqueHandle NewEvent() {
    // Reset by hand, so that it stays set until the change it tells of is taken.
    const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return event ? UniqueHandle(event) : UniqueHandle();
}

bool IsSet(const UniqueHandle& event) {
    return WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0;
}

// One folder. A watched folder names the files that appear directly in it; an autostart folder
// tells of any change in it or below it.
class FolderListener {
public:
    FolderListener(std::string folder, UniqueHandle handle, bool autostart)
        : folder_(std::move(folder)), handle_(std::move(handle)), autostart_(autostart),
          buffer_(kChangeBufferBytes / sizeof(DWORD)) {}
    ~FolderListener() {
        // The system writes into the buffer until the read is over.
        DWORD ignored = 0;
        if (armed_ && CancelIoEx(handle_.get(), &overlapped_))
            GetOverlappedResult(handle_.get(), &overlapped_, &ignored, TRUE);
    }
    FolderListener(const FolderListener&) = delete;
    FolderListener& operator=(const FolderListener&) = delete;

    const UniqueHandle& event() const { return event_; }

    bool arm() {
        ResetEvent(event_.get());
        overlapped_ = {};
        overlapped_.hEvent = event_.get();
        const DWORD changes =
            autostart_ ? kFileChanges | FILE_NOTIFY_CHANGE_DIR_NAME : kFileChanges;
        armed_ = event_ && ReadDirectoryChangesW(handle_.get(), buffer_.data(),
                                                 DWORD(buffer_.size() * sizeof(DWORD)), autostart_,
                                                 changes, nullptr, &overlapped_, nullptr);
        return armed_;
    }

    // Once its event is set: adds what was heard to `changes` and listens again. False when it
    // cannot listen any more (the folder went).
    bool take(WatchedChanges& changes) {
        DWORD bytes = 0;
        const bool read = GetOverlappedResult(handle_.get(), &overlapped_, &bytes, FALSE);
        // More changes than the buffer holds end the read with no record (zero bytes) or, on
        // some file systems, with this error; the folder is still listened to.
        const bool overflowed = read ? bytes == 0 : GetLastError() == ERROR_NOTIFY_ENUM_DIR;
        armed_ = false;
        if (autostart_)
            changes.autostartChanged = true;
        else if (!read || overflowed || !readArrivals(bytes, changes))
            changes.lostTrack = true;
        return (read || overflowed) && arm();
    }

private:
    // False when a record cannot be read or its name cannot be carried.
    bool readArrivals(DWORD bytes, WatchedChanges& changes) const {
        const auto* start = reinterpret_cast<const std::byte*>(buffer_.data());
        const std::byte* end = start + std::min<std::size_t>(bytes, buffer_.size() * sizeof(DWORD));
        for (const std::byte* at = start;;) {
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            const std::size_t nameAt = offsetof(FILE_NOTIFY_INFORMATION, FileName);
            if (std::size_t(end - at) < nameAt ||
                std::size_t(end - at) - nameAt < record->FileNameLength)
                return false;
            const DWORD action = record->Action;
            if (action == FILE_ACTION_ADDED || action == FILE_ACTION_RENAMED_NEW_NAME ||
                action == FILE_ACTION_MODIFIED) {
                std::optional<std::string> name = ExactAnsi(
                    std::wstring_view(record->FileName, record->FileNameLength / sizeof(WCHAR)));
                if (!name)
                    return false;
                changes.arrivals.push_back({folder_, std::move(*name)});
            }
            if (record->NextEntryOffset == 0)
                return true;
            if (record->NextEntryOffset >= std::size_t(end - at))
                return false;
            at += record->NextEntryOffset;
        }
    }

    std::string folder_;
    UniqueHandle handle_;
    bool autostart_;
    UniqueHandle event_ = NewEvent();
    std::vector<DWORD> buffer_; // the records must lie on DWORD boundaries
    OVERLAPPED overlapped_{};
    bool armed_ = false;
};

// One registry key and its sub-keys. While the key is missing, the nearest key above it that
// exists is listened to instead, and the key is looked for again with each change there.
class KeyListener {
public:
    explicit KeyListener(RegKeyPath wanted) : wanted_(std::move(wanted)) {}

    const UniqueHandle& event() const { return event_; }

    bool arm() {
        if (!exact_)
            openNearest();
        if (notify())
            return true;
        // The key was deleted: what is left of its path is listened to.
        exact_ = false;
        openNearest();
        return notify();
    }

    bool take(WatchedChanges& changes) {
        changes.autostartChanged = true;
        return arm();
    }

private:
    bool notify() {
        ResetEvent(event_.get());
        return event_ && key_ &&
               RegNotifyChangeKeyValue(key_.get(), TRUE, kKeyChanges, event_.get(), TRUE) ==
                   ERROR_SUCCESS;
    }

    void openNearest() {
        for (std::string key = wanted_.key;;) {
            if (OpenKey opened = OpenKey::open(wanted_.root, key, KEY_NOTIFY)) {
                key_ = std::move(opened);
                exact_ = key.size() == wanted_.key.size();
                return;
            }
            if (key.empty())
                return;
            const std::size_t cut = key.rfind('\\');
            key.resize(cut == std::string::npos ? 0 : cut);
        }
    }

    RegKeyPath wanted_;
    UniqueHandle event_ = NewEvent();
    OpenKey key_; // closed before its event
    bool exact_ = false;
};

class Win32ChangeWatch final : public ChangeWatch {
public:
    Win32ChangeWatch(std::vector<std::unique_ptr<FolderListener>> folders,
                     std::vector<std::unique_ptr<KeyListener>> keys)
        : folders_(std::move(folders)), keys_(std::move(keys)) {}

    WatchedChanges wait(std::uint32_t milliseconds) override {
        std::vector<HANDLE> events;
        for (const auto& folder : folders_)
            events.push_back(folder->event().get());
        for (const auto& key : keys_)
            events.push_back(key->event().get());
        WatchedChanges changes;
        const DWORD woken =
            events.empty()
                ? WAIT_FAILED
                : WaitForMultipleObjects(DWORD(events.size()), events.data(), FALSE, milliseconds);
        if (woken == WAIT_FAILED)
            Sleep(milliseconds);
        if (woken == WAIT_FAILED || woken == WAIT_TIMEOUT)
            return changes;
        // Every event that is set now, not only the first: each is taken and re-armed.
        std::erase_if(folders_, [&](const std::unique_ptr<FolderListener>& folder) {
            return IsSet(folder->event()) && !folder->take(changes);
        });
        std::erase_if(keys_, [&](const std::unique_ptr<KeyListener>& key) {
            return IsSet(key->event()) && !key->take(changes);
        });
        return changes;
    }

private:
    std::vector<std::unique_ptr<FolderListener>> folders_;
    std::vector<std::unique_ptr<KeyListener>> keys_;
};

} // namespace

std::unique_ptr<ChangeWatch>
Win32Platform::watchChanges(const std::vector<std::string>& folders,
                            const std::vector<std::string>& autostartFolders,
                            const std::vector<RegKeyPath>& startupKeys) {
    std::vector<std::unique_ptr<FolderListener>> folderListeners;
    for (const auto* places : {&folders, &autostartFolders}) {
        for (const std::string& folder : *places) {
            UniqueHandle handle = Win32HeldFolder::openForChanges(folder);
            if (!handle)
                continue;
            auto listener = std::make_unique<FolderListener>(folder, std::move(handle),
                                                             places == &autostartFolders);
            if (listener->arm())
                folderListeners.push_back(std::move(listener));
        }
    }
    std::vector<std::unique_ptr<KeyListener>> keyListeners;
    for (const RegKeyPath& key : startupKeys) {
        auto listener = std::make_unique<KeyListener>(key);
        if (listener->arm())
            keyListeners.push_back(std::move(listener));
    }
    if (folderListeners.size() + keyListeners.size() > MAXIMUM_WAIT_OBJECTS)
        return nullptr;
    return std::make_unique<Win32ChangeWatch>(std::move(folderListeners), std::move(keyListeners));
}

} // namespace pestrel
