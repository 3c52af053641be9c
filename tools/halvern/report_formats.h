#pragma once

// The three faces of `halvern report`: text for a terminal, JSON for programs (its schema is
// docs/report-schema.md) and one self-contained HTML page with a map.

#include <cstdio>
#include <ostream>
#include <string>

#include "halvern/scenery_report.h"

namespace halvern::tool {

void WriteReportText(const SceneryReport& report, std::FILE* out);

// The text report's list of the areas and files whose airports are not all in the database,
// one a line, each with why (shared with `halvern find`).
void WriteShortfallsText(const SceneryReport& report, std::FILE* out);

// The text report's list of the folders of scenery files that no area reads, each with why and
// what to do (shared with `halvern find`).
void WriteUnreadFoldersText(const SceneryReport& report, std::FILE* out);

// The JSON document, indented, ending in a line break.
std::string ReportJson(const SceneryReport& report);

void WriteReportHtml(const SceneryReport& report, std::ostream& out);

}  // namespace halvern::tool
