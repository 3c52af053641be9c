// The library entry point of the DLL: Windows calls it on every attach and detach; it records
// the module's instance handle whatever the reason and reports success.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "frame/library_entry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    halvern::OnLibraryEntry(instance);
    return TRUE;
}
