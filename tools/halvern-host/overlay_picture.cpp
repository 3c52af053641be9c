#include "halvern-host/overlay_picture.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace halvern::host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSize = 800;        // picture width and height
constexpr double kRingRadius = 330;  // pixels of the range ring

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Code points of bytes 0x80..0x9F in Windows-1252 (0xFFFD where it defines none).
constexpr char32_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

}  // namespace

std::string Utf8FromWindows1252(const std::string& text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char32_t{byte});
    }
    return out;
}

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
            << Escaped(Utf8FromWindows1252(line.text)) << "</text>\n";
    }
    out << "<text x=\"10\" y=\"20\" fill=\"#ffffff\">" << Escaped(SceneCaption(scene))
        << "</text>\n</svg>\n";
    return static_cast<bool>(out);
}

}  // namespace halvern::host
