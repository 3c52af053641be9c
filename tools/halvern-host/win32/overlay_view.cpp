#include "halvern-host/win32/overlay_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace halvern::host {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The colours of the SVG pictures, so that both views look alike.
constexpr COLORREF Colour(unsigned red, unsigned green, unsigned blue) {
    return static_cast<COLORREF>(red | (green << 8) | (blue << 16));
}
constexpr COLORREF kBackground = Colour(0x20, 0x30, 0x3f);
constexpr COLORREF kRing = Colour(0x7f, 0xa7, 0xc7);
constexpr COLORREF kAircraft = Colour(0xff, 0xd2, 0x4a);
constexpr COLORREF kAirport = Colour(0x9f, 0xe2, 0x9f);
constexpr COLORREF kText = Colour(0xe8, 0xf0, 0xe8);
constexpr COLORREF kCaption = Colour(0xff, 0xff, 0xff);

int Pixel(double value) {
    return static_cast<int>(std::lround(value));
}

// A GDI object selected into the device context for the lifetime of the scope and then deleted.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

}  // namespace

void DrawOverlay(HDC dc, const RECT& area, const OverlayScene& scene) {
    const Waypoint& aircraft = scene.aircraft;
    const double rangeNm = scene.rangeNm;
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(dc, &area, background);
    DeleteObject(background);

    const double width = area.right - area.left;
    const double height = area.bottom - area.top;
    const double centreX = area.left + width / 2;
    const double centreY = area.top + height / 2;
    const double ringRadius = std::max(40.0, std::min(width, height) / 2 - 30);
    const double pixelsPerMile = ringRadius / (rangeNm > 0 ? rangeNm : 30.0);
    const double cosine = std::cos(aircraft.latitude * kPi / 180.0);

    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    {
        Selected pen(dc, CreatePen(PS_DOT, 1, kRing));
        Selected hollow(dc, GetStockObject(HOLLOW_BRUSH));
        Ellipse(dc, Pixel(centreX - ringRadius), Pixel(centreY - ringRadius),
                Pixel(centreX + ringRadius), Pixel(centreY + ringRadius));
    }
    char range[32];
    std::snprintf(range, sizeof range, "%g NM", rangeNm);
    SetTextColor(dc, kRing);
    TextOutA(dc, Pixel(centreX + 4), Pixel(centreY - ringRadius - 16), range,
             static_cast<int>(std::strlen(range)));
    {
        Selected pen(dc, CreatePen(PS_SOLID, 1, kAircraft));
        Selected brush(dc, CreateSolidBrush(kAircraft));
        const POINT arrow[] = {{Pixel(centreX), Pixel(centreY - 10)},
                               {Pixel(centreX + 7), Pixel(centreY + 8)},
                               {Pixel(centreX), Pixel(centreY + 3)},
                               {Pixel(centreX - 7), Pixel(centreY + 8)}};
        Polygon(dc, arrow, 4);
    }
    {
        Selected pen(dc, CreatePen(PS_SOLID, 1, kAirport));
        Selected brush(dc, CreateSolidBrush(kAirport));
        SetTextColor(dc, kText);
        for (const ShownLine& line : scene.lines) {
            const Waypoint at = DegreesOfPacked(line.position);
            const double x =
                centreX + (at.longitude - aircraft.longitude) * cosine * 60 * pixelsPerMile;
            const double y = centreY - (at.latitude - aircraft.latitude) * 60 * pixelsPerMile;
            Ellipse(dc, Pixel(x - 3), Pixel(y - 3), Pixel(x + 3), Pixel(y + 3));
            // The module's text is in the host's 8-bit code page, as GDI's ANSI calls take it.
            TextOutA(dc, Pixel(x + 6), Pixel(y - 7), line.text.c_str(),
                     static_cast<int>(line.text.size()));
        }
    }
    SetTextColor(dc, kCaption);
    const std::string caption = SceneCaption(scene);
    TextOutA(dc, area.left + 10, area.top + 8, caption.c_str(), static_cast<int>(caption.size()));
}

}  // namespace halvern::host
