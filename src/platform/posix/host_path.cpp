#include "platform/posix/host_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "platform/name_lookup_scope.h"

namespace halvern::platform {

// What a scope remembers: the directory found for each spelling of a directory looked for (the
// spelling itself where it exists as spelled, none where it exists in no letter case), and the
// names of each directory read to find a name in it, by the upper case of the name.
struct NameLookupScope::Memory {
    // The first of the names that share an upper case, in listing order, and whether there are
    // others.
    struct IndexedName {
        std::string native;
        bool several = false;
    };
    using NameIndex = std::unordered_map<std::u16string, IndexedName>;

    // Looked up by views of a longer path, without a copy.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const {
            return std::hash<std::string_view>{}(path);
        }
    };

    std::unordered_map<std::string, std::optional<std::string>, PathHash, std::equal_to<>>
        directories;
    std::unordered_map<std::string, NameIndex> names;
};

namespace {

// The memory of the scope open now. The module and the tools look for names on one thread; a
// variable of the thread's own would cost the module file thread-local storage, which a host
// that unloads the module must then tear down.
NameLookupScope::Memory* currentMemory = nullptr;

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

// The names of an open directory stream but "." and "..", those that `keep` accepts, in the
// directory's own order; sorted, with `sorted`, in the order in which the host platform lists
// them.
void ReadNames(DIR* listing, bool (*keep)(const ComparedName& name),
               std::vector<DirectoryName>& names, bool sorted) {
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
    if (sorted) {
        std::stable_sort(names.begin(), names.end(),
                         [](const DirectoryName& a, const DirectoryName& b) {
                             return ListsBefore(a.compared, b.compared);
                         });
    }
}

// The names of a directory by their upper case, each the first in the directory's own order:
// where several names differ only in letter case (which only a disk that tells case apart can
// hold), the host platform opens the first it reads, not the first it would list (measured
// under Wine).
NameLookupScope::Memory::NameIndex ReadNameIndex(const std::string& directory) {
    NameLookupScope::Memory::NameIndex index;
    // A stream of its own: no descriptor to share, so none to duplicate or rewind.
    std::vector<DirectoryName> names;
    {
        const DirectoryStream listing(::opendir(directory.empty() ? "." : directory.c_str()));
        if (listing == nullptr) {
            return index;
        }
        ReadNames(listing.get(), KeepAll, names, false);
    }
    for (DirectoryName& name : names) {
        const auto [entry, first] = index.try_emplace(std::move(name.compared.upper),
                                                      NameLookupScope::Memory::IndexedName{});
        if (first) {
            entry->second.native = std::move(name.native);
        } else {
            entry->second.several = true;
        }
    }
    return index;
}

// The names of a found directory that the scope has read, or null.
const NameLookupScope::Memory::NameIndex* KnownNames(const std::string& directory) {
    if (currentMemory == nullptr) {
        return nullptr;
    }
    const auto found = currentMemory->names.find(directory);
    return found == currentMemory->names.end() ? nullptr : &found->second;
}

// The entry of `directory` (found, native) whose name is `name` but for letter case.
std::optional<std::string> FindName(const std::string& directory, const std::string& name) {
    const std::u16string wanted = CompareFormOfNative(name).upper;
    NameLookupScope::Memory::NameIndex read;
    const NameLookupScope::Memory::NameIndex* index = KnownNames(directory);
    if (index == nullptr && currentMemory != nullptr) {
        index = &currentMemory->names.emplace(directory, ReadNameIndex(directory)).first->second;
    } else if (index == nullptr) {
        read = ReadNameIndex(directory);
        index = &read;
    }
    const auto match = index->find(wanted);
    if (match == index->end()) {
        return std::nullopt;
    }
    return Joined(directory, match->second.native);
}

// Whether `name` exists as spelled in the found directory `directory`. Where the scope has read
// the directory's names and none is spelled so, or none but one in another letter case, it does
// not, without a look at the disk; otherwise the disk answers (a name as listed may be a dangling
// link, which does not exist).
bool ExistsIn(const std::string& directory, const std::string& name) {
    const NameLookupScope::Memory::NameIndex* index = KnownNames(directory);
    if (index != nullptr && !name.empty() && name != "." && name != "..") {
        const auto match = index->find(CompareFormOfNative(name).upper);
        if (match == index->end() || (match->second.native != name && !match->second.several)) {
            return false;
        }
    }
    return Exists(Joined(directory, name));
}

// Whether the scope knows the directory `spelled` (native, no trailing separator) only under
// another spelling, or as existing in no letter case: then nothing below it exists as spelled.
bool KnownOtherwise(const std::string& spelled) {
    if (currentMemory == nullptr) {
        return false;
    }
    const auto known = currentMemory->directories.find(spelled);
    return known != currentMemory->directories.end() && known->second != spelled;
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
    std::string parent;
    std::string name;
    Split(spelled, parent, name);
    std::optional<std::string> found;
    if (!KnownOtherwise(parent) && Exists(spelled)) {
        found = spelled;
    } else {
        const std::optional<std::string> parentFound = FindDirectory(parent);
        if (parentFound && *parentFound != parent && ExistsIn(*parentFound, name)) {
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
    const DirectoryStream listing(own < 0 ? nullptr : ::fdopendir(own));
    if (listing == nullptr) {
        if (own >= 0) {
            ::close(own);
        }
        return false;
    }
    ::rewinddir(listing.get());
    ReadNames(listing.get(), keep, names, true);
    return true;
}

NativeTry FirstNativeTry(const std::string& spelled) {
    // Without anything found in another letter case there is nothing to know: a scope over
    // paths that all exist as spelled costs this test alone.
    if (currentMemory == nullptr || currentMemory->directories.empty()) {
        return {NativeTry::Kind::kPath, spelled};
    }
    std::string_view path(spelled);
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    // The nearest directory on the way that the scope has looked for, as FindDirectory splits
    // the path: the part before each separator, from the last.
    const std::size_t last = path.find_last_of('/');
    for (std::size_t slash = last; slash != std::string_view::npos && slash > 0;
         slash = path.find_last_of('/', slash - 1)) {
        const std::string_view directory = path.substr(0, slash);
        const auto known = currentMemory->directories.find(directory);
        if (known == currentMemory->directories.end()) {
            continue;
        }
        if (!known->second) {
            return {NativeTry::Kind::kNowhere, {}};
        }
        if (*known->second == directory) {
            return {NativeTry::Kind::kPath, spelled};
        }
        if (slash == last) {
            return {NativeTry::Kind::kPath, *known->second + spelled.substr(slash)};
        }
        return {NativeTry::Kind::kSearch, {}};
    }
    return {NativeTry::Kind::kPath, spelled};
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
    if (*directoryFound != directory && ExistsIn(*directoryFound, name)) {
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
