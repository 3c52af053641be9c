#include "platform/posix/desktop/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/ascii_case.h"

// The file, one record a line:
//
//   halvern registry 1
//   key Software\Tavrel Software\Halvern
//   value 4 0d000000 AirportOptions
//   end
//
// "key" names a key by its path (a bare "key" is the root); the "value" lines after it belong to
// it: the registry type in decimal, the data in hexadecimal ("-" when empty), then the name to
// the end of the line. In paths and names every control character and '%' is written as %XX.
// The closing "end" tells a whole file from a cut one.

namespace halvern::platform::desktop {

namespace {

constexpr std::string_view kHeader = "halvern registry 1";
constexpr std::string_view kEnd = "end";
constexpr std::size_t kMaxComponent = 255;     // the system's limit for one key name
constexpr std::size_t kMaxFileSize = 1 << 24;  // far beyond any real registry of the module

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>((high << 4) | low);
        i += 2;
    }
    return out;
}

std::optional<std::vector<unsigned char>> BytesFromHex(std::string_view hex) {
    std::vector<unsigned char> bytes;
    if (hex == "-") {
        return bytes;
    }
    if (hex.empty() || hex.size() % 2 != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<unsigned char>((high << 4) | low));
    }
    return bytes;
}

std::optional<std::uint32_t> DecimalValue(std::string_view text) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// Adds the key with its display path, and every parent key missing so far.
StoredKey& AddKeyPath(StoredKeys& keys, std::string_view path) {
    std::size_t separator = path.find('\\');
    while (separator != std::string_view::npos) {
        const std::string_view parent = path.substr(0, separator);
        keys.try_emplace(FoldedAscii(parent), StoredKey{std::string(parent), {}});
        separator = path.find('\\', separator + 1);
    }
    return keys.try_emplace(FoldedAscii(path), StoredKey{std::string(path), {}}).first->second;
}

bool ValidPath(std::string_view path) {
    if (path.empty()) {
        return true;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        const std::size_t length = (end == std::string_view::npos ? path.size() : end) - start;
        if (length == 0 || length > kMaxComponent) {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

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

std::string FormatRegistryFile(const StoredKeys& keys) {
    std::string text(kHeader);
    text += '\n';
    for (const auto& [folded, key] : keys) {
        // The root exists anyway; it is written only when it holds values.
        if (folded.empty() && key.values.empty()) {
            continue;
        }
        text += "key";
        if (!key.path.empty()) {
            text += ' ';
            AppendEscaped(text, key.path);
        }
        text += '\n';
        for (const auto& [foldedName, value] : key.values) {
            text += "value ";
            text += std::to_string(value.type);
            text += ' ';
            if (value.data.empty()) {
                text += '-';
            }
            for (const unsigned char byte : value.data) {
                text += kHexDigits[byte >> 4];
                text += kHexDigits[byte & 0xF];
            }
            text += ' ';
            AppendEscaped(text, value.name);
            text += '\n';
        }
    }
    text += kEnd;
    text += '\n';
    return text;
}

std::optional<StoredKeys> ParseRegistryFile(std::string_view text) {
    StoredKeys keys;
    keys.try_emplace(std::string(), StoredKey{});
    StoredKey* current = nullptr;
    bool first = true;
    bool ended = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            return std::nullopt;  // every line of a whole file ends in a line feed
        }
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (ended) {
            return std::nullopt;
        }
        if (first) {
            if (line != kHeader) {
                return std::nullopt;
            }
            first = false;
        } else if (line == kEnd) {
            ended = true;
        } else if (line == "key" || line.starts_with("key ")) {
            const std::optional<std::string> path =
                Unescaped(line.size() > 3 ? line.substr(4) : std::string_view());
            if (!path || !ValidPath(*path)) {
                return std::nullopt;
            }
            current = &AddKeyPath(keys, *path);
        } else if (line.starts_with("value ")) {
            const std::string_view rest = line.substr(6);
            const std::size_t typeEnd = rest.find(' ');
            if (current == nullptr || typeEnd == std::string_view::npos) {
                return std::nullopt;
            }
            const std::size_t dataEnd = rest.find(' ', typeEnd + 1);
            const std::optional<std::uint32_t> type = DecimalValue(rest.substr(0, typeEnd));
            const std::optional<std::vector<unsigned char>> data = BytesFromHex(rest.substr(
                typeEnd + 1, dataEnd == std::string_view::npos ? std::string_view::npos
                                                               : dataEnd - typeEnd - 1));
            const std::optional<std::string> name = Unescaped(
                dataEnd == std::string_view::npos ? std::string_view() : rest.substr(dataEnd + 1));
            if (!type || !data || !name) {
                return std::nullopt;
            }
            current->values[FoldedAscii(*name)] = StoredValue{*name, *type, *data};
        } else {
            return std::nullopt;
        }
    }
    if (!ended) {
        return std::nullopt;
    }
    return keys;
}

std::optional<std::string> FoldedKeyPath(const char* subKey) {
    if (subKey == nullptr || !ValidPath(subKey)) {
        return std::nullopt;
    }
    return FoldedAscii(subKey);
}

std::string FoldedValueName(const char* name) {
    return name == nullptr ? std::string() : FoldedAscii(name);
}

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
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;  // no file yet: an empty registry
    }
    // The stamp is that of the file actually read: should the name be given to a new file
    // meanwhile, the next use sees a different stamp and reads that one.
    struct stat info {};
    if (::fstat(fd, &info) == 0) {
        stamp_ = StampFrom(info);
    }
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
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
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
