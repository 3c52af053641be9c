// The module file of an instance, and the instance that holds an address.

#include "platform/desktop.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

std::uint32_t GetModuleFilePath(InstanceHandle instance, char* path, std::uint32_t capacity) {
    if (path == nullptr || capacity == 0) {
        return 0;
    }
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(instance), path, capacity);
    // A path that does not fit is cut to capacity - 1 characters, and the call returns the
    // capacity (older systems leave the cut path without a terminator).
    if (length >= capacity) {
        path[capacity - 1] = '\0';
        return capacity - 1;
    }
    return length;
}

InstanceHandle InstanceOfAddress(const void* address) {
    HMODULE module = nullptr;
    // The module's reference count is left alone: the caller lives inside the module it asks for.
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(address), &module)) {
        return nullptr;
    }
    return module;
}

}  // namespace halvern::platform
