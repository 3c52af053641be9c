#include "halvern-scenery/airport_csv.h"

#include <fstream>
#include <optional>

#include "number_text.h"

namespace halvern::scenery {

std::vector<std::string> SplitCsvLine(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

bool ReadAirportCsv(const std::string& path, std::vector<CsvAirport>& airports,
                    std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open '" + path + "'";
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 || line.empty() || line == "\r") {
            continue;  // the header line
        }
        const std::vector<std::string> fields = SplitCsvLine(line);
        const std::optional<double> latitude =
            fields.size() == 8 ? tool::ReadNumber<double>(fields[3]) : std::nullopt;
        const std::optional<double> longitude =
            latitude ? tool::ReadNumber<double>(fields[4]) : std::nullopt;
        if (!longitude) {
            error = path + ":" + std::to_string(lineNumber) + ": expected 8 fields with numbers";
            return false;
        }
        CsvAirport airport;
        airport.latitude = *latitude;
        airport.longitude = *longitude;
        airport.ident = fields[0];
        airport.gpsCode = fields[1];
        airport.name = fields[2];
        if (!fields[5].empty()) {
            airport.elevationFeet = tool::ReadNumber<double>(fields[5]);
            if (!airport.elevationFeet) {
                error = path + ":" + std::to_string(lineNumber) + ": bad elevation";
                return false;
            }
        }
        airport.country = fields[6];
        airport.type = fields[7];
        airports.push_back(std::move(airport));
    }
    return true;
}

}  // namespace halvern::scenery
