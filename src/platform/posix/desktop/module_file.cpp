// The file of a loaded module, found from its instance handle. On this system a module's
// instance handle is the address at which the dynamic loader mapped it.

#include <dlfcn.h>
#include <limits.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/desktop.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

namespace {

// The main program's instance: the loader's name for it is only what argv[0] said, so its path
// comes from the kernel instead.
bool IsMainProgram(InstanceHandle instance) {
    Dl_info info{};
    const auto headers = reinterpret_cast<const void*>(getauxval(AT_PHDR));
    return headers != nullptr && dladdr(headers, &info) != 0 && info.dli_fbase == instance;
}

std::string MainProgramPath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length <= 0 ? std::string() : std::string(path, static_cast<std::size_t>(length));
}

std::string LibraryPath(InstanceHandle instance) {
    Dl_info info{};
    if (dladdr(instance, &info) == 0 || info.dli_fbase != instance || info.dli_fname == nullptr) {
        return {};
    }
    // A library opened by a relative name is known by that name; it is made absolute here as
    // the system gives every module's full path.
    if (info.dli_fname[0] != '/') {
        char* absolute = ::realpath(info.dli_fname, nullptr);
        if (absolute == nullptr) {
            return info.dli_fname;
        }
        std::string path(absolute);
        std::free(absolute);
        return path;
    }
    return info.dli_fname;
}

// The native path of the module's file: the one named for the instance (SetModuleFilePath),
// else the one the system knows.
std::string ModulePath(InstanceHandle instance) {
    const auto& named = desktop::TheDesktop().moduleFiles;
    if (const auto found = named.find(instance); found != named.end()) {
        return found->second;
    }
    if (instance == nullptr || IsMainProgram(instance)) {
        return MainProgramPath();
    }
    return LibraryPath(instance);
}

}  // namespace

std::uint32_t GetModuleFilePath(InstanceHandle instance, char* path, std::uint32_t capacity) {
    if (path == nullptr || capacity == 0) {
        return 0;
    }
    path[0] = '\0';
    const std::string native = ModulePath(instance);
    const std::size_t length = std::min<std::size_t>(native.size(), capacity - 1);
    // The host's form: backslash separators.
    for (std::size_t i = 0; i < length; ++i) {
        path[i] = native[i] == '/' ? '\\' : native[i];
    }
    path[length] = '\0';
    return static_cast<std::uint32_t>(length);
}

InstanceHandle InstanceOfAddress(const void* address) {
    Dl_info info{};
    if (address == nullptr || dladdr(address, &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

void desktop::SetModuleFilePath(InstanceHandle instance, const std::string& path) {
    TheDesktop().moduleFiles[instance] = path;
}

}  // namespace halvern::platform
