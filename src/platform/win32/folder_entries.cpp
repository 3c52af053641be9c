#include "platform/folder_entries.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/directory_identity.h"

namespace halvern::platform {

namespace {

// The folder's identity, from a handle opened for nothing but its information; empty where the
// system gives none.
std::string IdentityOf(const std::filesystem::path& folder) {
    HANDLE handle =
        CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) != 0 &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(handle);
    if (!known) {
        return {};
    }
    return IdentityKey(info.dwVolumeSerialNumber,
                       (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

FolderEntryKind KindOf(const WIN32_FIND_DATAW& entry) {
    const DWORD attributes = entry.dwFileAttributes;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A link or junction: the attribute tells whether it names a folder.
        return folder ? FolderEntryKind::kLinkToFolder : FolderEntryKind::kFile;
    }
    if (folder) {
        return FolderEntryKind::kFolder;
    }
    return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? FolderEntryKind::kOther
                                                     : FolderEntryKind::kFile;
}

}  // namespace

std::string ListFolderEntries(
    const std::filesystem::path& folder,
    const std::function<void(const std::filesystem::path::string_type& name, FolderEntryKind kind)>&
        visit) {
    std::string identity = IdentityOf(folder);
    if (identity.empty()) {
        return {};
    }
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder / L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring name;
    do {
        const wchar_t* entryName = entry.cFileName;
        if (entryName[0] == L'.' &&
            (entryName[1] == L'\0' || (entryName[1] == L'.' && entryName[2] == L'\0'))) {
            continue;
        }
        name.assign(entryName);
        visit(name, KindOf(entry));
    } while (FindNextFileW(find, &entry) != 0);
    FindClose(find);
    return identity;
}

}  // namespace halvern::platform
