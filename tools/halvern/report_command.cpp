// `halvern report SIMDIR [--json | --html FILE]`: why the database holds what it holds.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "halvern/commands.h"
#include "halvern/report_formats.h"
#include "halvern/scenery_report.h"
#include "platform/native_path.h"

namespace halvern::tool {

namespace {

int Usage(const std::string& message) {
    std::fprintf(stderr, "halvern: report: %s (try 'halvern --help')\n", message.c_str());
    return kExitUsage;
}

}  // namespace

int RunReport(const std::vector<std::string>& args) {
    // args: SIMDIR and options.
    if (args.empty()) {
        return Usage("the simulator directory is missing");
    }
    bool json = false;
    std::string htmlFile;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--html") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return Usage("'--html' needs a file");
            }
            htmlFile = args[++i];
        } else {
            return Usage("unknown option '" + args[i] + "'");
        }
    }
    if (json && !htmlFile.empty()) {
        return Usage("--json and --html exclude each other");
    }
    std::string simulatorDir;
    if (!ResolveSimulatorDir(args[0], simulatorDir)) {
        return kExitUsage;
    }
    // The page's file is opened first: a file that cannot be written costs no scenery walk.
    std::ofstream html;
    if (!htmlFile.empty()) {
        html.open(platform::PathFromArgument(htmlFile), std::ios::binary | std::ios::trunc);
        if (!html) {
            return Usage("cannot write '" + htmlFile + "'");
        }
    }
    SceneryReport report;
    BuildSceneryReport(simulatorDir, report);
    if (json) {
        std::fputs(ReportJson(report).c_str(), stdout);
    } else if (html.is_open()) {
        WriteReportHtml(report, html);
        html.close();
        if (!html) {
            std::fprintf(stderr, "halvern: report: could not write '%s'\n", htmlFile.c_str());
            return 1;
        }
    } else {
        WriteReportText(report, stdout);
    }
    return kExitOk;
}

}  // namespace halvern::tool
