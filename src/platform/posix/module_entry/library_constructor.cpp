// The library entry point of the shared object: run by the dynamic loader when the module is
// loaded, it records the module's instance handle (the base address the object is loaded at).

#include <dlfcn.h>

#include "frame/library_entry.h"

namespace {

__attribute__((constructor)) void LibraryEntry() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&LibraryEntry), &info) != 0) {
        halvern::OnLibraryEntry(info.dli_fbase);
    }
}

}  // namespace
