#include "platform/module_loader.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

LoadedModule::~LoadedModule() {
    Unload();
}

bool LoadedModule::Load(const char* path, const char** error) {
    Unload();
    handle_ = LoadLibraryA(path);
    if (handle_ == nullptr && error != nullptr) {
        *error = "LoadLibraryA failed";
    }
    return handle_ != nullptr;
}

void* LoadedModule::Find(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    // GetProcAddress also finds exported data; the cast only changes the pointer's type.
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void LoadedModule::Unload() {
    if (handle_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        handle_ = nullptr;
    }
}

}  // namespace halvern::platform
