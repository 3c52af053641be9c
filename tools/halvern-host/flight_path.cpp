#include "halvern-host/flight_path.h"

#include <cmath>

#include "geo/reproducible_math.h"

namespace halvern::host {

namespace {

constexpr double kPi = 3.14159265358979323846;

double LegNauticalMiles(const Waypoint& a, const Waypoint& b) {
    const double north = b.latitude - a.latitude;
    const double east =
        (b.longitude - a.longitude) * rmath::Cos((a.latitude + b.latitude) * 0.5 * kPi / 180.0);
    return rmath::Hypot(north, east) * 60.0;
}

}  // namespace

FlightPath::FlightPath(const std::vector<Waypoint>& route, double speedKnots) : route_(route) {
    const double knots = speedKnots > 0 ? speedKnots : 0;
    for (std::size_t i = 0; i + 1 < route_.size(); ++i) {
        legStart_.push_back(duration_);
        if (knots > 0) {
            duration_ += LegNauticalMiles(route_[i], route_[i + 1]) / knots * 3600.0;
        }
    }
}

Waypoint FlightPath::PositionAt(double seconds) const {
    if (route_.size() < 2 || duration_ <= 0 || seconds <= 0) {
        return route_.front();
    }
    for (std::size_t i = legStart_.size(); i-- > 0;) {
        if (seconds >= legStart_[i]) {
            const double end = i + 1 < legStart_.size() ? legStart_[i + 1] : duration_;
            const double length = end - legStart_[i];
            const double f = length > 0 ? std::fmin(1.0, (seconds - legStart_[i]) / length) : 1.0;
            const Waypoint& a = route_[i];
            const Waypoint& b = route_[i + 1];
            return {a.latitude + (b.latitude - a.latitude) * f,
                    a.longitude + (b.longitude - a.longitude) * f};
        }
    }
    return route_.front();
}

}  // namespace halvern::host
