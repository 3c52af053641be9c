// The shell of the portable desktop: it records what it is asked to open and answers as the
// system's shell would for the file, but starts no program.

#include <sys/stat.h>

#include <string>

#include "platform/desktop.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

namespace {

constexpr std::intptr_t kOpened = 42;       // any value above 32 means success
constexpr std::intptr_t kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND

}  // namespace

std::intptr_t OpenWithShell(WindowHandle owner, const char* path) {
    std::string native = path == nullptr ? std::string() : std::string(path);
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
    struct stat info {};
    const std::intptr_t result =
        !native.empty() && ::stat(native.c_str(), &info) == 0 ? kOpened : kFileNotFound;
    desktop::TheDesktop().shellRequests.push_back(
        {owner, path == nullptr ? std::string() : std::string(path), result});
    return result;
}

namespace desktop {

std::vector<ShellRequest> ShellLog() {
    return TheDesktop().shellRequests;
}

}  // namespace desktop
}  // namespace halvern::platform
