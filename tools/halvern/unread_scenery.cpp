#include "halvern/unread_scenery.h"

#include <unordered_set>

#include "airports/afd_info_collector.h"
#include "platform/directory_identity.h"
#include "platform/name_lookup_scope.h"
#include "support/ascii_case.h"

namespace halvern::tool {

namespace {

class MatchCollector : public AFDInfoCollector {
  public:
    MatchCollector(const AirportMatch& match, std::vector<UnreadAirport>& found)
        : match_(match), found_(found) {}

    void Collect(const std::string& directory, std::size_t area, bool inFolder) {
        area_ = area;
        inFolder_ = inFolder;
        ScanAreaDirectory(directory.c_str());
    }

    void ScanFile(const char* path, const platform::FileEntry& entry) override {
        path_ = path;
        AFDInfoCollector::ScanFile(path, entry);
    }

    void OnAirport(const char* name, double latitude, double longitude, double /*elevation*/,
                   const char* code) override {
        const std::string kept = std::string(code).substr(0, 4);
        if (match_(kept.c_str(), name)) {
            found_.push_back({kept, name, latitude, longitude, path_, area_, inFolder_});
        }
    }

  private:
    const AirportMatch& match_;
    std::vector<UnreadAirport>& found_;
    std::string path_;
    std::size_t area_ = 0;
    bool inFolder_ = false;
};

}  // namespace

AirportMatch::AirportMatch(const std::optional<std::string>& text) {
    if (text) {
        folded_ = FoldedAscii(*text);
    }
}

bool AirportMatch::operator()(const char* code, const char* name) const {
    return folded_ && (FoldedAscii(code).find(*folded_) != std::string::npos ||
                       FoldedAscii(name).find(*folded_) != std::string::npos);
}

std::vector<UnreadAirport> FindInUnreadAreas(const SceneryReport& report,
                                             const AirportMatch& match) {
    // A directory that an area read, or an earlier unread area named, is not searched again,
    // however it is spelled.
    std::unordered_set<std::string> searched;
    for (const ReportArea& area : report.areas) {
        if (area.outcome == AreaOutcome::kRead) {
            searched.insert(platform::DirectoryIdentity(area.directory.c_str()));
        }
    }
    platform::NameLookupScope lookups;
    std::vector<UnreadAirport> found;
    MatchCollector collector(match, found);
    for (std::size_t a = 0; a < report.areas.size(); ++a) {
        const ReportArea& area = report.areas[a];
        // Areas whose folder the module does not read though it lists it (a default area), or
        // does not list though it exists; a missing folder or one beyond the path limit has
        // nothing to give.
        const bool unread =
            area.outcome != AreaOutcome::kRead && area.outcome != AreaOutcome::kAlreadyWalked &&
            area.outcome != AreaOutcome::kMissing &&
            area.outcome != AreaOutcome::kBeyondPathLimit && !area.directory.empty();
        if (unread && searched.insert(platform::DirectoryIdentity(area.directory.c_str())).second) {
            collector.Collect(area.directory, a, false);
        }
    }
    // The folders no area reads are read as an area's folder would be.
    for (std::size_t f = 0; f < report.unreadFolders.size(); ++f) {
        const UnreadFolder& folder = report.unreadFolders[f];
        if (folder.cause != UnreadCause::kLinkNotFollowed &&
            searched.insert(platform::DirectoryIdentity(folder.directory.c_str())).second) {
            collector.Collect(folder.directory, f, true);
        }
    }
    return found;
}

}  // namespace halvern::tool
