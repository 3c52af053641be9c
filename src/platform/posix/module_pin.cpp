#include <dlfcn.h>

#include "platform/module_pin.h"

namespace halvern::platform {

namespace {

// An object of the module file that holds this code.
const char pinMarker = 0;

}  // namespace

bool KeepModuleLoaded() {
    Dl_info info{};
    if (::dladdr(&pinMarker, &info) == 0 || info.dli_fname == nullptr) {
        return false;
    }
    // Opening the loaded object again with RTLD_NODELETE marks it never to be unloaded; the
    // reference this takes is never given back.
    return ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}

}  // namespace halvern::platform
