#pragma once

// The airport extraction done the plain way, for comparison: every airport's detail block walked
// on its own from its start, every text searched for its zero byte, with no regard for time. A
// read that would leave the image ends the walk of the file, as in the collector. Used by the
// unit tests and the scenery-file fuzzer to check that the collector reports exactly these
// airports.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace halvern::testing {

struct PlainAirport {
    std::string name;
    std::string code;
    double latitude;
    double longitude;
    double elevationMetres;

    bool operator==(const PlainAirport&) const = default;
};

class PlainExtraction {
  public:
    PlainExtraction(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    // The airports of the image in report order; the header is not checked.
    std::vector<PlainAirport> Airports() const {
        std::vector<PlainAirport> airports;
        std::uint32_t section = 0;
        std::uint32_t sectionSize = 0;
        if (!U32(0x9C, section) || !U32(section + 4LL, sectionSize)) {
            return airports;
        }
        const std::int64_t end = static_cast<std::int64_t>(section) + sectionSize;
        for (std::int64_t p = section; p < end;) {
            std::uint32_t kind = 0;
            std::uint32_t size = 0;
            if (!U32(p, kind) || !U32(p + 4, size)) {
                return airports;
            }
            std::int32_t step = static_cast<std::int32_t>(size + 8);
            if (kind == 0) {
                step = 8;
            } else if (kind == 1) {
                step = 16;
            } else if (kind == 0x30001) {
                step = 24;
            } else if (kind != 0x30002 && kind != 0x10001 && kind != 0x10002 && kind != 0x10004 &&
                       kind != 0x10005 && kind != 0x10006 && kind != 0x20001) {
                return airports;
            }
            if (kind == 0x30002 && !Airport(p, end, airports)) {
                return airports;
            }
            if (step <= 0) {
                return airports;
            }
            p += step;
        }
        return airports;
    }

  private:
    bool U32(std::int64_t at, std::uint32_t& value) const {
        if (at < 0 || static_cast<std::uint64_t>(at) + 4 > size_) {
            return false;
        }
        value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value << 8 | data_[at + i];
        }
        return true;
    }

    bool Text(std::int64_t at, std::string& text) const {
        if (at < 0 || static_cast<std::uint64_t>(at) >= size_) {
            return false;
        }
        const void* zero = std::memchr(data_ + at, 0, size_ - static_cast<std::size_t>(at));
        if (zero == nullptr) {
            return false;
        }
        text.assign(reinterpret_cast<const char*>(data_ + at));
        return true;
    }

    bool Fixed(std::int64_t at, long double& value) const {
        std::uint32_t whole = 0;
        std::uint32_t fraction = 0;
        if (!U32(at, whole) || !U32(at + 4, fraction)) {
            return false;
        }
        value = static_cast<long double>(static_cast<std::int32_t>(whole)) +
                static_cast<long double>(fraction) * 0x1.00000001p-32L;
        return true;
    }

    // False when a read left the image.
    bool Airport(std::int64_t p, std::int64_t end, std::vector<PlainAirport>& airports) const {
        std::uint32_t tag = 0;
        std::uint32_t detail = 0;
        if (!U32(p + 8, tag)) {
            return false;
        }
        if (tag != 0x50001) {
            return true;
        }
        if (!U32(p + 12, detail)) {
            return false;
        }
        const std::int64_t start = static_cast<std::int32_t>(detail);
        if (start < 0 || start + 128 >= end) {
            return true;
        }
        bool positioned = false;
        long double latitude = 0;
        long double longitude = 0;
        long double elevation = 0;
        std::string code = "????";
        for (std::int64_t q = start; q < end;) {
            std::uint32_t kind = 0;
            std::uint32_t size = 0;
            if (!U32(q, kind) || !U32(q + 4, size)) {
                return false;
            }
            if (kind == 0) {
                break;
            }
            if (kind == 0x10001) {
                if (!Fixed(q + 12, latitude) || !Fixed(q + 20, longitude) ||
                    !Fixed(q + 28, elevation)) {
                    return false;
                }
                positioned = true;
            } else if (kind == 0x10006) {
                if (!Text(q + 8, code)) {
                    return false;
                }
                code = code.substr(0, 7);
            }
            const std::int32_t step = kind == 1 ? 16 : static_cast<std::int32_t>(size + 8);
            if (step <= 0) {
                break;
            }
            q += step;
        }
        if (!positioned) {
            return true;
        }
        std::string name;
        if (!Text(p + 16, name)) {
            return false;
        }
        airports.push_back({name, code, static_cast<double>(latitude * 45 * (1.0L / 5000875.0L)),
                            static_cast<double>(longitude * 90 * 0x1p-30L),
                            static_cast<double>(elevation)});
        return true;
    }

    const unsigned char* data_;
    std::size_t size_;
};

}  // namespace halvern::testing
