// `halvern report SIMDIR [--json | --html FILE]`: why the database holds what it holds.

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "halvern/commands.h"
#include "halvern/report_formats.h"
#include "halvern/scenery_report.h"
#include "platform/native_path.h"

namespace halvern::tool {

namespace {

struct ReportGiven {
    bool json = false;
    std::string htmlFile;
};

int Report(const SimulatorDir& simulatorDir, const ReportGiven& given) {
    // The page's file is opened first: a file that cannot be written costs no scenery walk.
    std::ofstream html;
    if (!given.htmlFile.empty()) {
        html.open(platform::PathFromArgument(given.htmlFile), std::ios::binary | std::ios::trunc);
        if (!html) {
            std::fprintf(stderr, "halvern: report: cannot write '%s' (try 'halvern --help')\n",
                         given.htmlFile.c_str());
            return kExitUsage;
        }
    }
    SceneryReport report;
    BuildSceneryReport(simulatorDir, report);
    if (given.json) {
        std::fputs(ReportJson(report).c_str(), stdout);
    } else if (html.is_open()) {
        WriteReportHtml(report, html);
        html.close();
        if (!html) {
            std::fprintf(stderr, "halvern: report: could not write '%s'\n", given.htmlFile.c_str());
            return 1;
        }
    } else {
        WriteReportText(report, stdout);
    }
    return kExitOk;
}

constexpr const char* kReport =
    "why the database holds what it holds: the scenery areas in the\n"
    "order walked, where each comes from and what became of it; each\n"
    "area's scenery files with size, write time and airports, or why\n"
    "a file was left out or where its reading ended early; the codes\n"
    "that several files define and which one the overlay shows; the\n"
    "cache file's state and whether the next start extracts; totals\n"
    "and times";

}  // namespace

void AddReportCommand(CLI::App& tool, int& status) {
    const auto given = std::make_shared<ReportGiven>();
    CLI::App* report = tool.add_subcommand("report", kReport);
    AddSimulatorDir(*report, status,
                    [given](const SimulatorDir& dir) { return Report(dir, *given); });
    CLI::Option* json =
        report->add_flag("--json", given->json, "prints it as JSON (docs/report-schema.md)");
    report
        ->add_option("--html", given->htmlFile, "writes one self-contained page with a map to FILE")
        ->type_name("FILE")
        ->check(kNotEmpty)
        ->excludes(json);
}

}  // namespace halvern::tool
