// Scheduled tasks through the Task Scheduler: it keeps each task in its own store besides the
// definition's file, so a task goes and comes back through it.
#include "platform/win32/ComScope.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>
// After windows.h, which they need.
#include <initguid.h>
#include <oleauto.h>
#include <taskschd.h>

namespace pestrel {
namespace {

std::wstring Wide(std::string_view text, UINT codePage) {
    if (text.empty())
        return {};
    const int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// A definition's text as the scheduler takes it: UTF-16, from UTF-16 with its mark or UTF-8.
std::wstring DefinitionText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return text;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return Wide(bytes, CP_UTF8);
}

class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

// The scheduler's root folder, connected on this machine, with COM while it lives.
class SchedulerSession {
public:
    SchedulerSession() {
        VARIANT none;
        VariantInit(&none);
        const Bstr root(L"\\");
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ITaskService, service_.outVoid())) &&
            SUCCEEDED(service_.get()->Connect(none, none, none, none)))
            service_.get()->GetFolder(root.get(), folder_.out());
    }
    ITaskFolder* root() const { return folder_.get(); }

private:
    ComScope com_{COINIT_MULTITHREADED}; // first made, last ended
    Released<ITaskService> service_;
    Released<ITaskFolder> folder_;
};

bool IsMissing(HRESULT result) {
    return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
           result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

} // namespace

// The scheduler drops the task from its store and deletes its file. Where it cannot be reached,
// or knows no such task, the file is deleted as any other.
bool Win32Platform::deleteTask(HeldFolder& folder, const std::string& name,
                               const FileIdentity& identity, const std::string& task) {
    if (folder.fileIdentity(name) != identity)
        return false;
    if (!task.empty()) {
        const SchedulerSession scheduler;
        const Bstr path(Wide(task, CP_ACP));
        if (scheduler.root()) {
            const HRESULT result = scheduler.root()->DeleteTask(path.get(), 0);
            if (FAILED(result) && !IsMissing(result))
                return false;
        }
    }
    return !folder.fileIdentity(name) || folder.deleteFile(name, identity);
}

bool Win32Platform::registerTask(const std::string& task, std::string_view definition) {
    const SchedulerSession scheduler;
    if (!scheduler.root())
        return false;
    const Bstr path(Wide(task, CP_ACP));
    const Bstr text(DefinitionText(definition));
    VARIANT none;
    VariantInit(&none);
    Released<IRegisteredTask> registered;
    return SUCCEEDED(scheduler.root()->RegisterTask(path.get(), text.get(), TASK_CREATE_OR_UPDATE,
                                                    none, none, TASK_LOGON_NONE, none,
                                                    registered.out()));
}

} // namespace pestrel
