#pragma once

// Where the aircraft is along the script's route at a given time: each leg is flown as a
// straight line in latitude and longitude at the ground speed (a leg's length measured as the
// module measures, one degree of latitude being 60 NM).

#include "halvern-host/flight_script.h"

namespace halvern::host {

class FlightPath {
  public:
    FlightPath(const std::vector<Waypoint>& route, double speedKnots);

    Waypoint PositionAt(double seconds) const;
    // Seconds needed to fly the whole route.
    double Duration() const { return duration_; }

  private:
    std::vector<Waypoint> route_;
    std::vector<double> legStart_;  // seconds at which each leg begins
    double duration_ = 0;
};

}  // namespace halvern::host
