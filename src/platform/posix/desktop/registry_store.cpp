#include "platform/posix/desktop/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "platform/posix/desktop/registry_file_format.h"

namespace halvern::platform::desktop {

namespace {

constexpr std::size_t kMaxFileSize = 1 << 24;  // far beyond any real registry of the module

// The directory part of a path, without its last separator; empty for a bare name.
std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Creates the directory and its missing parents, each private to the user.
bool MakeDirectories(const std::string& directory) {
    if (directory.empty()) {
        return true;
    }
    struct stat info {};
    if (::stat(directory.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (!MakeDirectories(DirectoryOf(directory))) {
        return false;
    }
    return ::mkdir(directory.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, std::string& text) {
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            return true;
        }
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.size() > kMaxFileSize) {
            return false;
        }
    }
}

// XDG_CONFIG_HOME when it names an absolute directory (a relative one is to be ignored), else
// ~/.config; empty when neither is known.
std::string DefaultRegistryPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (configHome != nullptr && configHome[0] == '/') {
        base = configHome;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            return {};
        }
        base = std::string(home) + "/.config";
    }
    return base + "/halvern/registry";
}

FileStamp StampFrom(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return stamp;
}

}  // namespace

void Registry::Reset() {
    *this = Registry{};
}

void Registry::SetPathOverride(const std::string& path) {
    pathOverride_ = path;
    loaded_ = false;  // read from the new place at the next use
}

const std::string& Registry::FilePath() {
    Refresh();
    return path_;
}

bool Registry::CreateKey(const char* subKey, std::string& foldedPath) {
    const std::optional<std::string> folded = FoldedKeyPath(subKey);
    if (!folded) {
        return false;
    }
    Refresh();
    foldedPath = *folded;
    if (keys_.contains(*folded)) {
        return true;
    }
    StoredKeys saved = keys_;
    AddKeyPath(keys_, subKey);
    if (!Save()) {
        keys_ = std::move(saved);
        return false;
    }
    return true;
}

const StoredKey* Registry::FindKey(const std::string& foldedPath) {
    Refresh();
    const auto key = keys_.find(foldedPath);
    return key == keys_.end() ? nullptr : &key->second;
}

bool Registry::SetValue(const std::string& foldedPath, const char* name, std::uint32_t type,
                        const std::vector<unsigned char>& data) {
    Refresh();
    const auto key = keys_.find(foldedPath);
    if (key == keys_.end()) {
        return false;
    }
    StoredKeys saved = keys_;
    const std::string folded = FoldedValueName(name);
    auto [value, added] = key->second.values.try_emplace(folded);
    if (added) {
        value->second.name = name == nullptr ? std::string() : std::string(name);
    }
    value->second.type = type;
    value->second.data = data;
    if (!Save()) {
        keys_ = std::move(saved);
        return false;
    }
    return true;
}

void Registry::Refresh() {
    if (!loaded_ || (!path_.empty() && !(StampOf() == stamp_))) {
        Load();
    }
}

void Registry::Load() {
    loaded_ = true;
    path_ = pathOverride_.empty() ? DefaultRegistryPath() : pathOverride_;
    keys_.clear();
    keys_.try_emplace(std::string(), StoredKey{});
    stamp_ = FileStamp{};
    if (path_.empty()) {
        return;
    }
    // O_NONBLOCK: a FIFO under the registry file's name must not stop the caller in open(); it
    // is then read as no registry, as anything else that is not a regular file.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;  // no file yet: an empty registry
    }
    // The stamp is that of the file actually read: should the name be given to a new file
    // meanwhile, the next use sees a different stamp and reads that one.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return;
    }
    stamp_ = StampFrom(info);
    std::string text;
    const bool read = ReadAll(fd, text);
    ::close(fd);
    if (!read) {
        return;
    }
    if (std::optional<StoredKeys> keys = ParseRegistryFile(text)) {
        keys_ = std::move(*keys);
    }
}

bool Registry::Save() {
    if (path_.empty()) {
        return true;
    }
    if (!MakeDirectories(DirectoryOf(path_))) {
        return false;
    }
    const std::string temporary = path_ + ".tmp-" + std::to_string(::getpid());
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    // The contents reach the disk before the name does, so the rename never exposes a file
    // whose blocks are still missing.
    const bool written = WriteAll(fd, FormatRegistryFile(keys_)) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // And the rename itself is made durable through the directory.
    const std::string directory = DirectoryOf(path_);
    const int directoryFd =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    stamp_ = StampOf();
    return true;
}

FileStamp Registry::StampOf() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) {
        return {};
    }
    return StampFrom(info);
}

}  // namespace halvern::platform::desktop
