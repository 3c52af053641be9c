#include "platform/directory_identity.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

std::string DirectoryIdentity(const char* hostDirectory) {
    // No access is asked for: the handle only serves to read the file information. A directory
    // opens only with backup semantics.
    HANDLE directory =
        CreateFileA(hostDirectory, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = GetFileInformationByHandle(directory, &info) != 0 &&
                           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        CloseHandle(directory);
        if (known) {
            return IdentityKey(info.dwVolumeSerialNumber,
                               (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
        }
    }
    return SpellingKey(hostDirectory);
}

}  // namespace halvern::platform
