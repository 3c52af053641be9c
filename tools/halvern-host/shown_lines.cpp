#include "halvern-host/shown_lines.h"

#include "halvern-host/overlay_picture.h"
#include "support/windows_1252.h"

namespace halvern::host {

std::string JoinedLines(const std::vector<ShownLine>& lines) {
    std::string all;
    for (const ShownLine& line : lines) {
        all += line.text + '\n';
    }
    return all;
}

void PrintShownLines(std::FILE* out, const std::vector<ShownLine>& lines) {
    for (const ShownLine& line : lines) {
        const Waypoint at = DegreesOfPacked(line.position);
        std::fprintf(out, "    %-60s at %9.5f %10.5f\n", Utf8FromWindows1252(line.text).c_str(),
                     at.latitude, at.longitude);
    }
}

}  // namespace halvern::host
