#pragma once

// Opens a local page in headless Chromium (Debian's `chromium`) as a reader's browser would:
// what it rendered, and every message the page wrote to the browser's console (script errors,
// markup the browser rejects, loads the page's content policy blocks).

#include <string>
#include <vector>

namespace halvern::testing {

struct PageRun {
    int status = -1;                   // the browser's exit status
    std::string dom;                   // the document as rendered, serialised
    std::vector<std::string> console;  // the console messages, one a line as logged
};

// Renders `page` (a file) and serialises its document.
PageRun RenderPage(const std::string& page);

// Renders `page` in a window `width` by `height` pixels and saves it as a PNG picture.
PageRun ScreenshotPage(const std::string& page, const std::string& png, int width, int height);

}  // namespace halvern::testing
