#include "halvern/unnamed_scenery.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "airports/default_areas.h"
#include "halvern/scenery_report.h"
#include "platform/directory_identity.h"
#include "platform/folder_entries.h"
#include "platform/name_lookup_scope.h"
#include "platform/native_path.h"

namespace halvern::tool {

namespace {

namespace fs = std::filesystem;

std::string HostDirectory(const fs::path& native) {
    std::string host = platform::HostPathFromNative(platform::ArgumentFromPath(native));
    if (host.empty() || host.back() != '\\') {
        host += '\\';
    }
    return host;
}

// Whether a native name ends in ".bgl" (ASCII letter case ignored).
bool NamesSceneryFile(const fs::path::string_type& native) {
    constexpr std::string_view kSuffix = ".bgl";
    if (native.size() < kSuffix.size()) {
        return false;
    }
    const std::size_t start = native.size() - kSuffix.size();
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        const char lower = kSuffix[i];
        const char upper = lower == '.' ? lower : static_cast<char>(lower - 'a' + 'A');
        using Unit = std::remove_cvref_t<decltype(native)>::value_type;
        const Unit c = native[start + i];
        if (c != static_cast<Unit>(lower) && c != static_cast<Unit>(upper)) {
            return false;
        }
    }
    return true;
}

// Whether `path` is `base` or lies below it (both made canonical).
bool Within(const fs::path& path, const fs::path& base) {
    auto p = path.begin();
    for (auto b = base.begin(); b != base.end(); ++b, ++p) {
        if (p == path.end() || *p != *b) {
            return false;
        }
    }
    return true;
}

class FolderSearch {
  public:
    FolderSearch(const SceneryReport& report, std::vector<UnreadFolder>& found)
        : report_(report), found_(found) {
        // Every folder an area names, read or not, by its identity (or, for one that does not
        // exist, its spelling): such a folder is told with its area.
        for (std::size_t a = 0; a < report.areas.size(); ++a) {
            const ReportArea& area = report.areas[a];
            if (!area.directory.empty()) {
                named_.try_emplace(platform::DirectoryIdentity(area.directory.c_str()), a);
                std::error_code error;
                const fs::path folder =
                    fs::canonical(platform::PathFromHostText(area.directory), error);
                if (!error) {
                    areaFolders_.push_back(folder);
                }
            }
        }
    }

    void Search(const fs::path& root, int depth) {
        std::error_code error;
        const fs::path canonical = fs::canonical(root, error);
        if (!error) {
            roots_.push_back(canonical);
        }
        Visit(root, HostDirectory(root), depth, std::nullopt);
    }

  private:
    // Looks at one folder and, within the depth left, at its subfolders. `below` is the nearest
    // folder above it that an area reads; `host` is the folder's name in the host's form.
    void Visit(const fs::path& folder, const std::string& host, int depthLeft,
               std::optional<std::size_t> below) {
        if (IsInDefaultArea(host + "x")) {
            return;
        }
        // The folder's own listing gives its kinds and its identity: a search through folders of
        // textures and sounds asks the system nothing more of each.
        std::size_t files = 0;
        std::vector<fs::path> subfolders;
        std::vector<fs::path> links;
        std::string identity = platform::ListFolderEntries(
            folder, [&](const fs::path::string_type& name, platform::FolderEntryKind kind) {
                switch (kind) {
                    case platform::FolderEntryKind::kFolder:
                        subfolders.push_back(folder / name);
                        break;
                    case platform::FolderEntryKind::kLinkToFolder:
                        links.push_back(folder / name);
                        break;
                    case platform::FolderEntryKind::kFile:
                        if (NamesSceneryFile(name)) {
                            ++files;
                        }
                        break;
                    case platform::FolderEntryKind::kOther:
                        break;
                }
            });
        if (identity.empty()) {
            identity = platform::DirectoryIdentity(host.c_str());
        }
        if (!seen_.insert(identity).second) {
            return;
        }
        for (const fs::path& link : links) {
            FollowLink(link, subfolders);
        }
        const auto named = named_.find(identity);
        const bool areaFolder = named != named_.end();
        if (files > 0 && !areaFolder) {
            Tell(host, files, below);
        }
        if (depthLeft > 0) {
            const std::optional<std::size_t> readAbove =
                areaFolder && report_.areas[named->second].outcome == AreaOutcome::kRead
                    ? std::optional<std::size_t>(named->second)
                    : below;
            // In the order of their names in the host's code page, the same on every platform
            // (the system lists a folder in its own order, which differs between them).
            std::vector<std::pair<std::string, const fs::path*>> ordered;
            ordered.reserve(subfolders.size());
            for (const fs::path& subfolder : subfolders) {
                ordered.emplace_back(HostDirectory(subfolder), &subfolder);
            }
            std::sort(ordered.begin(), ordered.end());
            for (const auto& [name, subfolder] : ordered) {
                Visit(*subfolder, name, depthLeft - 1, readAbove);
            }
        }
    }

    // A link to a folder is entered where it leads into the simulator directory or an area's
    // folder; elsewhere it is told and left.
    void FollowLink(const fs::path& link, std::vector<fs::path>& subfolders) {
        std::error_code error;
        const fs::path target = fs::canonical(link, error);
        if (error) {
            return;
        }
        for (const std::vector<fs::path>* bases : {&roots_, &areaFolders_}) {
            for (const fs::path& base : *bases) {
                if (Within(target, base)) {
                    subfolders.push_back(link);
                    return;
                }
            }
        }
        found_.push_back({HostDirectory(link), UnreadCause::kLinkNotFollowed, 0, std::nullopt});
    }

    void Tell(const std::string& host, std::size_t files, std::optional<std::size_t> below) {
        if (host.find_first_of("?*") != std::string::npos) {
            found_.push_back({host, UnreadCause::kUnnameable, files, std::nullopt});
            return;
        }
        if (below) {
            found_.push_back({host, UnreadCause::kBelowScenery, files, below});
            return;
        }
        // The folder an area's directory is composed into: its files lie beside that folder.
        const auto beside = named_.find(platform::DirectoryIdentity((host + "scenery\\").c_str()));
        if (beside != named_.end()) {
            found_.push_back({host, UnreadCause::kBesideScenery, files, beside->second});
            return;
        }
        found_.push_back({host, UnreadCause::kNoArea, files, std::nullopt});
    }

    const SceneryReport& report_;
    std::vector<UnreadFolder>& found_;
    std::unordered_map<std::string, std::size_t> named_;
    std::unordered_set<std::string> seen_;
    std::vector<fs::path> roots_;
    std::vector<fs::path> areaFolders_;
};

// Whether a host path lies in the simulator directory (ASCII letter case ignored).
bool InsideSimulatorDir(const SceneryReport& report, const std::string& directory) {
    const std::string base = platform::NormalisedSpelling(report.simulatorDir);
    const std::string path = platform::NormalisedSpelling(directory);
    return path.size() > base.size() && path.compare(0, base.size(), base) == 0;
}

}  // namespace

std::vector<UnreadFolder> FindUnreadFolders(const SceneryReport& report) {
    platform::NameLookupScope lookups;
    std::vector<UnreadFolder> found;
    FolderSearch search(report, found);
    search.Search(platform::PathFromHostText(report.simulatorDir), kSearchDepth);
    for (const ReportArea& area : report.areas) {
        if (area.directory.empty() || InsideSimulatorDir(report, area.directory)) {
            continue;
        }
        const fs::path folder = platform::PathFromHostText(area.directory);
        search.Search(folder, kSearchDepth);
        search.Search(folder.parent_path().parent_path(), 0);
    }
    return found;
}

std::string LocalOfFolder(const SceneryReport& report, const std::string& directory) {
    std::string local = directory;
    if (InsideSimulatorDir(report, directory)) {
        local = directory.substr(report.simulatorDir.size());
    }
    while (!local.empty() && (local.back() == '\\' || local.back() == '/')) {
        local.pop_back();
    }
    return local;
}

}  // namespace halvern::tool
