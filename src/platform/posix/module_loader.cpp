#include "platform/module_loader.h"

#include <dlfcn.h>

namespace halvern::platform {

LoadedModule::~LoadedModule() {
    Unload();
}

bool LoadedModule::Load(const char* path, const char** error) {
    Unload();
    // RTLD_LOCAL keeps the module's own symbols to itself, as a DLL's are.
    handle_ = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr && error != nullptr) {
        *error = ::dlerror();
    }
    return handle_ != nullptr;
}

void* LoadedModule::Find(const char* name) const {
    return handle_ == nullptr ? nullptr : ::dlsym(handle_, name);
}

void LoadedModule::Unload() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

}  // namespace halvern::platform
