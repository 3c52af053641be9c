#pragma once

// The airports of the scenery the module does not read: the files of inactive areas and of
// built-in default areas, read here as the extraction would read them, so that `halvern find`
// can say where an airport missing from the database lies.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "halvern/scenery_report.h"

namespace halvern::tool {

// Whether an airport's code or name contains a text, ASCII letter case ignored (as the host
// compares names; bytes above 0x7F compare as they are).
// None matches nothing: text that no name can contain.
class AirportMatch {
  public:
    explicit AirportMatch(const std::optional<std::string>& text);
    bool operator()(const char* code, const char* name) const;

  private:
    std::optional<std::string> folded_;
};

struct UnreadAirport {
    std::string code;  // as the database would keep it: at most four characters
    std::string name;
    double latitude;
    double longitude;
    std::string path;  // its file
    std::size_t area;  // index into the report's areas, or with `inFolder` its unread folders
    bool inFolder = false;
};

// The matching airports of the report's areas that the module does not read (inactive, default,
// and every section of scenery.cfg the walk never reads), in the report's order, then of the
// folders of scenery files that no area reads.
std::vector<UnreadAirport> FindInUnreadAreas(const SceneryReport& report,
                                             const AirportMatch& match);

}  // namespace halvern::tool
