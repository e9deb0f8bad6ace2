#pragma once
// COM for the calling thread while a scope lasts, and interfaces released when theirs ends.

#include <objbase.h>

namespace pestrel {

// A thread that has COM already keeps its own; this one then ends nothing.
class ComScope {
public:
    explicit ComScope(DWORD model) : initialised_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ~ComScope() {
        if (initialised_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

template <typename T> class Released {
public:
    Released() = default;
    ~Released() {
        if (pointer_)
            pointer_->Release();
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
    T* get() const { return pointer_; }
    T** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    T* pointer_ = nullptr;
};

} // namespace pestrel
