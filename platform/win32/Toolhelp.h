#pragma once
// The process and module snapshot calls, resolved by name from a system library the first time
// one is needed. When the library or CreateToolhelp32Snapshot cannot be found, every call answers
// 0, so every walk ends at once with nothing found.

#include <mutex>
#include <string>

// tlhelp32.h relies on the types that windows.h declares.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

namespace pestrel {

class Toolhelp {
public:
    explicit Toolhelp(std::string module);

    // Snapshot handle, or nullptr (never INVALID_HANDLE_VALUE).
    HANDLE createSnapshot(DWORD flags, DWORD processId);
    BOOL process32First(HANDLE snapshot, PROCESSENTRY32* entry);
    BOOL process32Next(HANDLE snapshot, PROCESSENTRY32* entry);
    BOOL module32First(HANDLE snapshot, MODULEENTRY32* entry);

    // True when the entry points were found (resolving them first if needed).
    bool available();

private:
    using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
    using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
    using ModuleWalkFn = BOOL(WINAPI*)(HANDLE, MODULEENTRY32*);

    void resolve();

    std::string module_;
    std::once_flag resolved_;
    CreateSnapshotFn createSnapshot_ = nullptr;
    ProcessWalkFn process32First_ = nullptr;
    ProcessWalkFn process32Next_ = nullptr;
    ModuleWalkFn module32First_ = nullptr;
};

} // namespace pestrel
