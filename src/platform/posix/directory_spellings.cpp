#include "platform/directory_spellings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/native_path.h"
#include "platform/posix/host_path.h"
#include "support/ascii_case.h"

namespace halvern::platform {

namespace {

namespace fs = std::filesystem;

// The host form of an absolute native directory, with its trailing separator.
std::string HostDirectory(const fs::path& directory) {
    std::string host = HostPathFromNative(directory.string());
    if (host.empty() || host.back() != '\\') {
        host += '\\';
    }
    return host;
}

// An absolute path without "." steps, doubled separators or a trailing separator.
fs::path Normalised(const fs::path& path) {
    fs::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

// Wine's prefixes that may reach the directory: the one it lies in, the one WINEPREFIX names
// and the user's default one.
std::vector<fs::path> WinePrefixes(const fs::path& directory) {
    std::vector<fs::path> prefixes;
    for (fs::path at = directory; at.has_relative_path(); at = at.parent_path()) {
        if (at.filename() == "drive_c") {
            prefixes.push_back(at.parent_path());
        }
    }
    if (const char* named = std::getenv("WINEPREFIX"); named != nullptr && named[0] == '/') {
        prefixes.emplace_back(named);
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        prefixes.push_back(fs::path(home) / ".wine");
    }
    return prefixes;
}

// The rest of `path` below `base`, when `base` is `path` or one of its parents, its components
// compared without regard to ASCII letter case (a path as typed names them in any case).
std::optional<fs::path> Below(const fs::path& path, const fs::path& base) {
    auto p = path.begin();
    for (auto b = base.begin(); b != base.end(); ++b, ++p) {
        if (p == path.end() || !EqualIgnoringAsciiCase(p->string(), b->string())) {
            return std::nullopt;
        }
    }
    fs::path rest;
    for (; p != path.end(); ++p) {
        rest /= *p;
    }
    return rest;
}

// The drive paths under Wine of a directory (links resolved) and of its other spellings: each
// drive of a prefix whose target holds it, and Z:, which every prefix maps to the root. A module
// loaded through a drive path keeps its spelling, in whatever letter case it was typed.
std::vector<std::string> WineDrivePaths(const fs::path& resolved,
                                        const std::vector<fs::path>& spellings) {
    std::vector<std::pair<char, fs::path>> drives{{'z', fs::path("/")}};
    for (const fs::path& prefix : WinePrefixes(resolved)) {
        std::error_code error;
        for (const auto& link : fs::directory_iterator(prefix / "dosdevices", error)) {
            const std::string name = link.path().filename().string();
            std::error_code broken;
            const fs::path target = fs::canonical(link.path(), broken);
            if (name.size() == 2 && name[1] == ':' && !broken) {
                drives.emplace_back(static_cast<char>(std::tolower(name[0])), target);
            }
        }
    }
    std::vector<std::string> paths;
    for (const fs::path& spelling : spellings) {
        for (const auto& [letter, target] : drives) {
            const std::optional<fs::path> rest = Below(spelling, target);
            if (!rest) {
                continue;
            }
            std::string tail = HostPathFromNative(rest->string());
            for (const char drive : {static_cast<char>(std::toupper(letter)), letter}) {
                std::string path = std::string(1, drive) + ":\\" + tail;
                if (path.back() != '\\') {
                    path += '\\';
                }
                paths.push_back(path);
            }
        }
    }
    return paths;
}

}  // namespace

std::vector<std::string> SpellingsOfDirectory(const std::string& argument) {
    std::error_code error;
    const fs::path typed = Normalised(fs::absolute(PathFromArgument(argument), error));
    if (error) {
        return {};
    }
    // The stored letter case: each component as its directory lists it where it does not exist
    // as typed.
    const std::string spelled = typed.string();
    fs::path stored = typed;
    struct stat info {};
    if (::stat(spelled.c_str(), &info) != 0) {
        const std::optional<std::string> found = FindIgnoringCase(spelled);
        if (!found || ::stat(found->c_str(), &info) != 0) {
            return {};
        }
        stored = *found;
    }
    if (!S_ISDIR(info.st_mode)) {
        return {};
    }
    const fs::path resolved = fs::canonical(stored, error);
    std::vector<std::string> spellings{HostDirectory(stored), HostDirectory(typed)};
    if (!error) {
        spellings.push_back(HostDirectory(resolved));
        for (std::string& drive : WineDrivePaths(resolved, {resolved, stored, typed})) {
            spellings.push_back(std::move(drive));
        }
    }
    return spellings;
}

}  // namespace halvern::platform
