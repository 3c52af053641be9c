#pragma once

// The module composes every path in the host's form, with backslash separators and in the
// host's code page, so that path tests and the scenery fingerprint behave alike on every
// platform. Only when the operating system is called is a host path turned into the disk's
// spelling (host_names.h); and where a name does not exist as spelled, it is looked for in its
// directory without regard to letter case, as the host platform finds it. A path longer than
// the host platform takes is refused as it refuses it (path_limit.h).

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_limit.h"
#include "platform/posix/host_names.h"

namespace halvern::platform {

// An open directory stream and an open descriptor, each closed by its owner on every path out
// (a name list that cannot grow throws while one is open).
struct DirectoryStreamCloser {
    void operator()(DIR* stream) const { ::closedir(stream); }
};
using DirectoryStream = std::unique_ptr<DIR, DirectoryStreamCloser>;

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// One name of a directory, as the disk spells it and as the host platform compares it.
struct DirectoryName {
    std::string native;
    ComparedName compared;
};

// The names of an open directory (a descriptor it keeps: the caller's stays open) but "." and
// "..", those that `keep` accepts, in the order in which the host platform lists them. False
// when the directory cannot be read.
bool ReadSortedNames(int directory, bool (*keep)(const ComparedName& name),
                     std::vector<DirectoryName>& names);

// The native path of an existing directory or file whose host path did not exist as spelled:
// each component that does not exist as spelled found in its directory without regard to
// letter case, the first such name in listing order. None when some component exists in no
// letter case.
std::optional<std::string> FindIgnoringCase(const std::string& spelled);

// What to try first for a native spelling, from what the thread's NameLookupScope knows of the
// directories on its way (without a scope, or where it knows none of them: the spelling).
struct NativeTry {
    enum class Kind {
        kPath,     // try `path`: the spelling, or its name in its directory as the scope found it
        kSearch,   // a directory further up exists only in another letter case: search at once
        kNowhere,  // a directory on the way exists in no letter case: there is nothing to try
    };
    Kind kind;
    std::string path;  // for kPath
};
NativeTry FirstNativeTry(const std::string& spelled);

// Runs `call` on the native spelling of a host path and, where it fails because a component of
// that spelling does not exist, once more on the path found without regard to letter case.
// Within a NameLookupScope, a path below a directory that the scope found in another letter case
// is not tried as spelled, which cannot exist: its name is tried in that directory as found, or
// the path is looked for at once. `call` returns true on success and leaves errno otherwise. A
// path beyond the host platform's limit is refused without a call (ENAMETOOLONG), and so is one
// that holds a wildcard (EINVAL).
template <typename Call>
bool WithNativePath(const char* hostPath, Call call) {
    if (!FitsPathLimit(hostPath)) {
        errno = ENAMETOOLONG;
        return false;
    }
    if (HoldsWildcard(hostPath)) {
        errno = EINVAL;
        return false;
    }
    const std::string spelled = NativeSpelling(hostPath);
    const NativeTry first = FirstNativeTry(spelled);
    if (first.kind == NativeTry::Kind::kNowhere) {
        errno = ENOENT;
        return false;
    }
    const bool tried = first.kind == NativeTry::Kind::kPath;
    if (tried) {
        if (call(first.path.c_str())) {
            return true;
        }
        if (errno != ENOENT && errno != ENOTDIR) {
            return false;
        }
    }
    const std::optional<std::string> found = FindIgnoringCase(spelled);
    if (!found || (tried && *found == first.path)) {
        errno = ENOENT;
        return false;
    }
    return call(found->c_str());
}

// The native path at which a file of that host path is created or replaced: the directory
// found as above, and in it the name of an existing entry that differs only in letter case,
// else the name as spelled. None when the directory exists in no letter case, or the path is
// beyond the host platform's limit or holds a wildcard.
std::optional<std::string> NativePathToCreate(const char* hostPath);

}  // namespace halvern::platform
