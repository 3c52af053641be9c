#include "integration/browser.h"

#include <cctype>
#include <filesystem>
#include <sstream>

#include "fixtures/temp_dir.h"
#include "integration/run_tool.h"

namespace halvern::testing {

namespace {

// A file: address of a path, every byte but the unreserved ones percent-encoded.
std::string FileUrl(const std::string& path) {
    const std::string absolute = std::filesystem::absolute(path).string();
    std::string url = "file://";
    for (char c : absolute) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
            url += c;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 15];
        }
    }
    return url;
}

// Runs the browser headless on the page with a profile of its own, its log on standard error.
// Debian's build logs each console message as a line with "CONSOLE" in its tag.
PageRun RunBrowser(const std::string& options, const std::string& page) {
    const TempDir profile;
    const ToolRun run =
        RunTool("timeout 180 " + Quoted(HALVERN_CHROMIUM) +
                " --headless --no-sandbox --disable-gpu --no-first-run "
                "--enable-logging=stderr --v=0 --user-data-dir=" +
                Quoted(profile.path().string()) + " " + options + " " + Quoted(FileUrl(page)));
    PageRun result;
    result.status = run.status;
    result.dom = run.out;
    std::istringstream log(run.error);
    for (std::string line; std::getline(log, line);) {
        if (line.find(":CONSOLE") != std::string::npos) {
            result.console.push_back(line);
        }
    }
    return result;
}

}  // namespace

PageRun RenderPage(const std::string& page) {
    return RunBrowser("--dump-dom", page);
}

PageRun ScreenshotPage(const std::string& page, const std::string& png, int width, int height) {
    return RunBrowser("--hide-scrollbars --window-size=" + std::to_string(width) + "," +
                          std::to_string(height) + " --screenshot=" + Quoted(png),
                      page);
}

}  // namespace halvern::testing
