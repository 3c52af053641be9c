#include "platform/module_pin.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

namespace {

// An object of the module file that holds this code.
const char pinMarker = 0;

}  // namespace

bool KeepModuleLoaded() {
    HMODULE module = nullptr;
    // FROM_ADDRESS: the module that holds the marker; PIN: it stays loaded until the process
    // ends, whatever FreeLibrary calls follow.
    return GetModuleHandleExA(
               GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN, &pinMarker,
               &module) != 0;
}

}  // namespace halvern::platform
