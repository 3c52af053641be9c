#include "platform/posix/host_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <unordered_map>

#include "platform/name_lookup_scope.h"

namespace halvern::platform {

// What a scope remembers: the directories found for spellings that do not exist as spelled,
// and the names of each directory read to find a name in it, by the upper case of the name.
struct NameLookupScope::Memory {
    using NameIndex = std::unordered_map<std::u16string, std::string>;

    std::unordered_map<std::string, std::optional<std::string>> directories;
    std::unordered_map<std::string, NameIndex> names;
};

namespace {

thread_local NameLookupScope::Memory* currentMemory = nullptr;

bool KeepAll(const ComparedName& /*name*/) {
    return true;
}

// The directory part and the last name of a native path without a trailing separator: "" for
// the working directory, "/" for the root.
void Split(const std::string& path, std::string& directory, std::string& name) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        directory.clear();
        name = path;
        return;
    }
    directory = path.substr(0, slash == 0 ? 1 : slash);
    name = path.substr(slash + 1);
}

std::string Joined(const std::string& directory, const std::string& name) {
    if (directory.empty()) {
        return name;
    }
    return directory.back() == '/' ? directory + name : directory + '/' + name;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.empty() ? "." : path.c_str(), &info) == 0;
}

// The names of a directory by their upper case, each the first in listing order; from the
// scope's memory where it was read before.
NameLookupScope::Memory::NameIndex ReadNameIndex(const std::string& directory) {
    NameLookupScope::Memory::NameIndex index;
    const int fd = ::open(directory.empty() ? "." : directory.c_str(),
                          O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return index;
    }
    std::vector<DirectoryName> names;
    ReadSortedNames(fd, KeepAll, names);
    ::close(fd);
    for (DirectoryName& name : names) {
        index.try_emplace(std::move(name.compared.upper), std::move(name.native));
    }
    return index;
}

// The entry of `directory` (found, native) whose name is `name` but for letter case.
std::optional<std::string> FindName(const std::string& directory, const std::string& name) {
    const std::u16string wanted = CompareFormOfNative(name).upper;
    NameLookupScope::Memory::NameIndex read;
    const NameLookupScope::Memory::NameIndex* index = &read;
    if (currentMemory != nullptr) {
        auto found = currentMemory->names.find(directory);
        if (found == currentMemory->names.end()) {
            found = currentMemory->names.emplace(directory, ReadNameIndex(directory)).first;
        }
        index = &found->second;
    } else {
        read = ReadNameIndex(directory);
    }
    const auto match = index->find(wanted);
    if (match == index->end()) {
        return std::nullopt;
    }
    return Joined(directory, match->second);
}

// The native directory of a spelling without a trailing separator, found without regard to
// letter case where it does not exist as spelled.
std::optional<std::string> FindDirectory(const std::string& spelled) {
    if (spelled.empty() || spelled == "/" || spelled == "." || spelled == "..") {
        return spelled;
    }
    if (currentMemory != nullptr) {
        if (const auto known = currentMemory->directories.find(spelled);
            known != currentMemory->directories.end()) {
            return known->second;
        }
    }
    std::optional<std::string> found;
    if (Exists(spelled)) {
        found = spelled;
    } else {
        std::string parent;
        std::string name;
        Split(spelled, parent, name);
        const std::optional<std::string> parentFound = FindDirectory(parent);
        if (parentFound && *parentFound != parent && Exists(Joined(*parentFound, name))) {
            found = Joined(*parentFound, name);
        } else if (parentFound && !name.empty() && name != "." && name != "..") {
            found = FindName(*parentFound, name);
        }
    }
    if (currentMemory != nullptr) {
        currentMemory->directories.emplace(spelled, found);
    }
    return found;
}

// A native spelling without its trailing separators (the root keeps its own).
std::string WithoutTrailingSeparators(const std::string& path, std::string& trailing) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') {
        --end;
    }
    trailing = path.substr(end);
    return path.substr(0, end);
}

}  // namespace

NameLookupScope::NameLookupScope() {
    if (currentMemory == nullptr) {
        memory_ = std::make_unique<Memory>();
        currentMemory = memory_.get();
    }
}

NameLookupScope::~NameLookupScope() {
    if (memory_ != nullptr) {
        currentMemory = nullptr;
    }
}

bool ReadSortedNames(int directory, bool (*keep)(const ComparedName& name),
                     std::vector<DirectoryName>& names) {
    // The listing reads through a descriptor of its own, so that the caller's stays as it is.
    const int own = ::dup(directory);
    DIR* listing = own < 0 ? nullptr : ::fdopendir(own);
    if (listing == nullptr) {
        if (own >= 0) {
            ::close(own);
        }
        return false;
    }
    ::rewinddir(listing);
    while (const dirent* found = ::readdir(listing)) {
        const std::string_view name(found->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        ComparedName compared = CompareFormOfNative(name);
        if (keep(compared)) {
            names.push_back({std::string(name), std::move(compared)});
        }
    }
    ::closedir(listing);
    std::stable_sort(names.begin(), names.end(),
                     [](const DirectoryName& a, const DirectoryName& b) {
                         return ListsBefore(a.compared, b.compared);
                     });
    return true;
}

std::optional<std::string> FindIgnoringCase(const std::string& spelled) {
    std::string trailing;
    const std::string path = WithoutTrailingSeparators(spelled, trailing);
    std::string directory;
    std::string name;
    Split(path, directory, name);
    const std::optional<std::string> directoryFound = FindDirectory(directory);
    if (!directoryFound) {
        return std::nullopt;
    }
    if (name.empty() || name == "." || name == "..") {
        return Joined(*directoryFound, name) + trailing;
    }
    if (*directoryFound != directory && Exists(Joined(*directoryFound, name))) {
        return Joined(*directoryFound, name) + trailing;
    }
    const std::optional<std::string> found = FindName(*directoryFound, name);
    return found ? std::optional<std::string>(*found + trailing) : std::nullopt;
}

std::optional<std::string> NativePathToCreate(const char* hostPath) {
    if (!FitsPathLimit(hostPath) || HoldsWildcard(hostPath)) {
        return std::nullopt;
    }
    const std::string spelled = NativeSpelling(hostPath);
    std::string directory;
    std::string name;
    Split(spelled, directory, name);
    const std::optional<std::string> directoryFound = FindDirectory(directory);
    if (!directoryFound) {
        return std::nullopt;
    }
    const std::string asSpelled = Joined(*directoryFound, name);
    struct stat info {};
    if (::lstat(asSpelled.c_str(), &info) == 0) {
        return asSpelled;
    }
    // A new file changes what the directory holds: its names are read again next time.
    const std::optional<std::string> existing = FindName(*directoryFound, name);
    if (currentMemory != nullptr) {
        currentMemory->names.erase(*directoryFound);
    }
    return existing ? existing : asSpelled;
}

}  // namespace halvern::platform
