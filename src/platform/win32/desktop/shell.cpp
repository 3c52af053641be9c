// Opening a file with the program the shell associates with it.

#include "platform/desktop.h"
#include "platform/win32/desktop/system_handles.h"
// After windows.h: the lean set leaves the shell's declarations out.
#include <shellapi.h>

namespace halvern::platform {

using namespace win32;

std::intptr_t OpenWithShell(WindowHandle owner, const char* path) {
    // The result is an instance handle only in name: a number above 32 for success, an error
    // code otherwise.
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteA(AsWindow(owner), "open", path, nullptr, "", SW_SHOWNORMAL));
}

}  // namespace halvern::platform
