#include "halvern-host/overlay_picture.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "markup_escape.h"
#include "support/windows_1252.h"

namespace halvern::host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSize = 800;        // picture width and height
constexpr double kRingRadius = 330;  // pixels of the range ring

}  // namespace

std::string SceneCaption(const OverlayScene& scene) {
    char caption[128];
    std::snprintf(caption, sizeof caption, "t = %.1f s   %.4f %.4f   %zu airports", scene.time,
                  scene.aircraft.latitude, scene.aircraft.longitude, scene.lines.size());
    return caption;
}

Waypoint DegreesOfPacked(const PackedPosition& position) {
    const double latitudeUnits = position.latitudeInteger + position.latitudeFraction / 65536.0;
    const double longitudeUnits = position.longitudeInteger + position.longitudeFraction / 65536.0;
    return {latitudeUnits * 90.0 / 10001750.0, longitudeUnits * 360.0 / 4294967296.0};
}

bool WriteOverlaySvg(const std::string& path, const OverlayScene& scene) {
    std::ofstream out(path, std::ios::trunc);
    if (!out) {
        return false;
    }
    const Waypoint& aircraft = scene.aircraft;
    const double rangeNm = scene.rangeNm;
    const double pixelsPerMile = kRingRadius / (rangeNm > 0 ? rangeNm : 30.0);
    const double centre = kSize / 2;
    const double cosine = std::cos(aircraft.latitude * kPi / 180.0);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kSize << "\" height=\"" << kSize
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#20303f\"/>\n"
        << "<circle cx=\"" << centre << "\" cy=\"" << centre << "\" r=\"" << kRingRadius
        << "\" fill=\"none\" stroke=\"#7fa7c7\" stroke-dasharray=\"6 4\"/>\n"
        << "<text x=\"" << centre + 4 << "\" y=\"" << centre - kRingRadius - 4
        << "\" fill=\"#7fa7c7\">" << rangeNm << " NM</text>\n"
        << "<path d=\"M " << centre << " " << centre - 10 << " L " << centre + 7 << " "
        << centre + 8 << " L " << centre << " " << centre + 3 << " L " << centre - 7 << " "
        << centre + 8 << " Z\" fill=\"#ffd24a\"/>\n";
    for (const ShownLine& line : scene.lines) {
        const Waypoint at = DegreesOfPacked(line.position);
        const double x = centre + (at.longitude - aircraft.longitude) * cosine * 60 * pixelsPerMile;
        const double y = centre - (at.latitude - aircraft.latitude) * 60 * pixelsPerMile;
        out << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"3\" fill=\"#9fe29f\"/>"
            << "<text x=\"" << x + 6 << "\" y=\"" << y + 4 << "\" fill=\"#e8f0e8\">"
            << tool::MarkupEscaped(Utf8FromWindows1252(line.text)) << "</text>\n";
    }
    out << "<text x=\"10\" y=\"20\" fill=\"#ffffff\">" << tool::MarkupEscaped(SceneCaption(scene))
        << "</text>\n</svg>\n";
    return static_cast<bool>(out);
}

}  // namespace halvern::host
