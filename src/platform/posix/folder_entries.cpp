#include "platform/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/directory_identity.h"
#include "platform/posix/host_path.h"

namespace halvern::platform {

namespace {

FolderEntryKind KindOfMode(mode_t mode) {
    return S_ISDIR(mode)   ? FolderEntryKind::kFolder
           : S_ISREG(mode) ? FolderEntryKind::kFile
                           : FolderEntryKind::kOther;
}

// The kind of an entry of the folder open as `folder`, from the kind the listing gives (`type`)
// and, for a link or where the listing gives none, from its status.
FolderEntryKind KindOf(int folder, const char* name, unsigned char type) {
    struct stat info {};
    if (type == DT_UNKNOWN) {
        if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return FolderEntryKind::kOther;
        }
        if (!S_ISLNK(info.st_mode)) {
            return KindOfMode(info.st_mode);
        }
        type = DT_LNK;
    }
    switch (type) {
        case DT_REG:
            return FolderEntryKind::kFile;
        case DT_DIR:
            return FolderEntryKind::kFolder;
        case DT_LNK:
            if (::fstatat(folder, name, &info, 0) != 0) {
                return FolderEntryKind::kOther;
            }
            return S_ISDIR(info.st_mode) ? FolderEntryKind::kLinkToFolder
                                         : KindOfMode(info.st_mode);
        default:
            return FolderEntryKind::kOther;
    }
}

}  // namespace

std::string ListFolderEntries(
    const std::filesystem::path& folder,
    const std::function<void(const std::filesystem::path::string_type& name, FolderEntryKind kind)>&
        visit) {
    const DirectoryStream stream(::opendir(folder.c_str()));
    if (!stream) {
        return {};
    }
    const int descriptor = ::dirfd(stream.get());
    struct stat self {};
    if (::fstat(descriptor, &self) != 0) {
        return {};
    }
    std::string name;
    while (const dirent* entry = ::readdir(stream.get())) {
        const char* entryName = entry->d_name;
        if (entryName[0] == '.' &&
            (entryName[1] == '\0' || (entryName[1] == '.' && entryName[2] == '\0'))) {
            continue;
        }
        const FolderEntryKind kind = KindOf(descriptor, entryName, entry->d_type);
        name.assign(entryName);
        visit(name, kind);
    }
    return IdentityKey(self.st_dev, self.st_ino);
}

}  // namespace halvern::platform
