#include "platform/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/posix/host_path.h"
#include "platform/posix/host_time.h"
#include "support/ascii_case.h"

namespace halvern::platform {

HostStream CreateNewHostFile(const char* hostPath, bool& exists) {
    exists = false;
    const std::optional<std::string> native = NativePathToCreate(hostPath);
    if (!native) {
        return nullptr;
    }
    // O_EXCL with O_CREAT fails on any existing name, a link included, which it never follows.
    const int fd = ::open(native->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        exists = errno == EEXIST;
        return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, "wb");
    if (stream == nullptr) {
        ::close(fd);
        ::unlink(native->c_str());
    }
    return HostStream(stream);
}

bool ReplaceHostFile(const char* from, const char* to) {
    const std::optional<std::string> source = NativePathToCreate(from);
    // The target of another letter case is the one the host platform replaces.
    const std::optional<std::string> target = NativePathToCreate(to);
    if (!source || !target) {
        return false;
    }
    // Only a file or a link is replaced: a directory, FIFO or device under the name is no file
    // of ours, and stays what it is.
    struct stat info {};
    if (::lstat(target->c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        errno = EEXIST;
        return false;
    }
    // rename replaces a file or a link of the target's name in one step, and never follows it.
    return ::rename(source->c_str(), target->c_str()) == 0;
}

bool RemoveHostFile(const char* hostPath) {
    return WithNativePath(hostPath, [](const char* native) { return ::unlink(native) == 0; });
}

std::vector<NamedFile> FilesNamedLike(const char* hostDirectory, std::string_view prefix,
                                      std::string_view suffix) {
    std::vector<NamedFile> files;
    int fd = -1;
    const std::string query = hostDirectory[0] == '\0' ? std::string(".") : hostDirectory;
    if (!WithNativePath(query.c_str(), [&fd](const char* native) {
            fd = ::open(native, O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
            return fd >= 0;
        })) {
        return files;
    }
    const Descriptor directory(fd);
    std::vector<DirectoryName> names;
    ReadSortedNames(
        fd, [](const ComparedName&) { return true; }, names);
    for (const DirectoryName& name : names) {
        const std::string host = HostText(name.native);
        struct stat info {};
        if (host.size() >= prefix.size() + suffix.size() &&
            EqualIgnoringAsciiCase(std::string_view(host).substr(0, prefix.size()), prefix) &&
            EndsWithIgnoringAsciiCase(host, suffix) &&
            ::fstatat(fd, name.native.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            files.push_back({host, HostTime(info.st_mtim)});
        }
    }
    return files;
}

std::uint64_t HostTimeNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return HostTime(now);
}

std::uint32_t ProcessNumber() {
    return static_cast<std::uint32_t>(::getpid());
}

}  // namespace halvern::platform
