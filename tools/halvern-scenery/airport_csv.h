#pragma once

// Reads the airports CSV (ident, gps_code, name, latitude_deg, longitude_deg, elevation_ft,
// iso_country, type; a header line first; fields may be quoted, with "" for a quote).

#include <optional>
#include <string>
#include <vector>

namespace halvern::scenery {

struct CsvAirport {
    std::string ident;
    std::string gpsCode;
    std::string name;  // UTF-8
    double latitude = 0;
    double longitude = 0;
    std::optional<double> elevationFeet;
    std::string country;
    std::string type;
};

// Parses the file; on failure returns false with a one-line reason (the line number included).
bool ReadAirportCsv(const std::string& path, std::vector<CsvAirport>& airports, std::string& error);

// Splits one CSV line into fields.
std::vector<std::string> SplitCsvLine(const std::string& line);

}  // namespace halvern::scenery
