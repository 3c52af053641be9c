#pragma once

// Every entry of one folder of the disk with its kind, as the system's own listing gives it, for
// a search that meets many folders of files that are not scenery: no path is made and no
// status asked for an entry, except a link, which is followed once to learn whether it leads to
// a folder. The folder is named by a native path (native_path.h); the names come back in the
// system's order and spelling.

#include <filesystem>
#include <functional>
#include <string>

namespace halvern::platform {

enum class FolderEntryKind {
    kFile,          // a regular file, or a link to one
    kFolder,        // a folder
    kLinkToFolder,  // a link (or junction) that leads to a folder
    kOther,         // anything else: a device, a pipe, a dangling link
};

// Calls `visit` with each entry's name and kind ("." and ".." left out), and returns the
// folder's identity key (directory_identity.h) taken from the open listing. Empty, with no call,
// when the folder cannot be listed.
std::string ListFolderEntries(
    const std::filesystem::path& folder,
    const std::function<void(const std::filesystem::path::string_type& name, FolderEntryKind kind)>&
        visit);

}  // namespace halvern::platform
