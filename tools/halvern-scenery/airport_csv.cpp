#include "halvern-scenery/airport_csv.h"

#include <charconv>
#include <fstream>

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

namespace {

bool ParseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

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
        CsvAirport airport;
        if (fields.size() != 8 || !ParseNumber(fields[3], airport.latitude) ||
            !ParseNumber(fields[4], airport.longitude)) {
            error = path + ":" + std::to_string(lineNumber) + ": expected 8 fields with numbers";
            return false;
        }
        airport.ident = fields[0];
        airport.gpsCode = fields[1];
        airport.name = fields[2];
        double feet = 0;
        if (!fields[5].empty()) {
            if (!ParseNumber(fields[5], feet)) {
                error = path + ":" + std::to_string(lineNumber) + ": bad elevation";
                return false;
            }
            airport.elevationFeet = feet;
        }
        airport.country = fields[6];
        airport.type = fields[7];
        airports.push_back(std::move(airport));
    }
    return true;
}

}  // namespace halvern::scenery
