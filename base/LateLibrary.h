#pragma once
// Libraries opened only when first needed, so that a start that never needs one does not map
// it, nor the libraries it brings.

#include <dlfcn.h>

namespace pestrel {

// Sets `function` to the library's symbol `name`; false when it has none.
template <typename Function>
bool ResolveSymbol(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

} // namespace pestrel
