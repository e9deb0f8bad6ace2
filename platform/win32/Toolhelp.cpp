#include "platform/win32/Toolhelp.h"

#include <utility>

namespace pestrel {

namespace {

template <typename Fn> Fn lookUp(HMODULE library, const char* name) {
    // GetProcAddress answers a generic function pointer; the cast to the real signature is the
    // documented way to use it.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

Toolhelp::Toolhelp(std::string module) : module_(std::move(module)) {}

void Toolhelp::resolve() {
    std::call_once(resolved_, [this] {
        HMODULE library = GetModuleHandleA(module_.c_str());
        if (library == nullptr)
            return;
        createSnapshot_ = lookUp<CreateSnapshotFn>(library, "CreateToolhelp32Snapshot");
        if (createSnapshot_ == nullptr)
            return;
        process32First_ = lookUp<ProcessWalkFn>(library, "Process32First");
        process32Next_ = lookUp<ProcessWalkFn>(library, "Process32Next");
        module32First_ = lookUp<ModuleWalkFn>(library, "Module32First");
    });
}

bool Toolhelp::available() {
    resolve();
    return createSnapshot_ != nullptr;
}

HANDLE Toolhelp::createSnapshot(DWORD flags, DWORD processId) {
    resolve();
    if (createSnapshot_ == nullptr)
        return nullptr;
    HANDLE snapshot = createSnapshot_(flags, processId);
    return snapshot == INVALID_HANDLE_VALUE ? nullptr : snapshot;
}

BOOL Toolhelp::process32First(HANDLE snapshot, PROCESSENTRY32* entry) {
    resolve();
    return process32First_ != nullptr && process32First_(snapshot, entry);
}

BOOL Toolhelp::process32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
    resolve();
    return process32Next_ != nullptr && process32Next_(snapshot, entry);
}

BOOL Toolhelp::module32First(HANDLE snapshot, MODULEENTRY32* entry) {
    resolve();
    return module32First_ != nullptr && module32First_(snapshot, entry);
}

} // namespace pestrel
