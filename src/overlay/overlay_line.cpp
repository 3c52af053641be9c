#include "overlay/overlay_line.h"

#include "geo/checked_conversion.h"
#include "geo/geodesy.h"
#include "overlay/display_options.h"
#include "platform/extended_precision.h"

namespace halvern {

namespace {

// The double nearest to 1/1852.
constexpr double kNauticalMilesPerMetre = 0.0005399568034557236;

// Appends to the line buffer and never writes past its last character: whatever would go
// beyond 255 characters is dropped.
class LineWriter {
  public:
    explicit LineWriter(char (&line)[kOverlayLineSize]) : line_(line) {}

    void Char(char c) {
        if (length_ < kOverlayLineMaxLength) {
            line_[length_++] = c;
        }
    }

    // At most `maxLength` characters of `text`, stopping at its terminator.
    void Text(const char* text, std::size_t maxLength = kOverlayLineSize) {
        for (std::size_t i = 0; i < maxLength && text[i] != '\0'; ++i) {
            if (length_ == kOverlayLineMaxLength) {
                return;
            }
            line_[length_++] = text[i];
        }
    }

    // As printf's "%0<width>d": zero-padded to `width` characters, the sign included.
    void Number(std::int32_t value, std::size_t width) {
        char digits[10];
        std::size_t count = 0;
        // The magnitude in unsigned arithmetic, so that INT32_MIN does not overflow.
        std::uint32_t magnitude =
            value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        std::size_t padded = count;
        if (value < 0) {
            Char('-');
            ++padded;
        }
        for (; padded < width; ++padded) {
            Char('0');
        }
        while (count > 0) {
            Char(digits[--count]);
        }
    }

    std::size_t Finish() {
        if (length_ > 0 && line_[length_ - 1] == ' ') {
            --length_;
        }
        line_[length_] = '\0';
        return length_;
    }

  private:
    char (&line_)[kOverlayLineSize];
    std::size_t length_ = 0;
};

// Codes hold at most four characters; the field's fifth byte is always zero.
constexpr std::size_t kCodeLength = 4;

}  // namespace

std::int32_t WholeNauticalMiles(long double metres) {
    platform::ExtendedPrecisionScope extended;
    const long double miles =
        extended.Fenced(extended.Fenced(metres) * static_cast<long double>(kNauticalMilesPerMetre));
    return TruncateToInt32Saturated(miles);
}

std::size_t ComposeOverlayLine(const AirportRecord& record, const LineFigures& figures,
                               std::int32_t options, char (&line)[kOverlayLineSize]) {
    LineWriter writer(line);
    if ((options & kShowName) != 0) {
        writer.Text(record.name != nullptr ? record.name : "");
        writer.Char(' ');
    }
    if ((options & kShowCode) != 0) {
        if ((options & kShowName) != 0) {
            writer.Char('(');
            writer.Text(record.code, kCodeLength);
            writer.Text(") ");
        } else {
            writer.Text(record.code, kCodeLength);
            writer.Char(' ');
        }
    }
    if ((options & kShowDistance) != 0) {
        writer.Number(WholeNauticalMiles(figures.distanceMetres), 1);
        writer.Text(" NM ");
    }
    if ((options & kShowMagneticBearing) != 0) {
        writer.Text("@ ");
        writer.Number(MagneticBearing(figures.trueBearing, figures.variationWord), 3);
        writer.Char(' ');
    }
    if ((options & kShowTrueBearing) != 0) {
        const std::int32_t bearing = TruncateToInt32Saturated(figures.trueBearing);
        if ((options & kShowMagneticBearing) != 0) {
            writer.Char('(');
            writer.Number(bearing, 3);
            writer.Text(" true)");
        } else {
            writer.Text("@ ");
            writer.Number(bearing, 3);
            writer.Char(' ');
        }
    }
    if ((options & kShowElevation) != 0) {
        writer.Char(' ');
        writer.Number(record.elevation, 1);
        writer.Text(" MSL");
    }
    return writer.Finish();
}

}  // namespace halvern
