// The About box and the two web links.

#include <cstdio>

#include "module/halvern_module.h"
#include "resources/version.h"

namespace halvern {

namespace {

constexpr int kAboutTextCapacity = 512;
// The shell's results of 32 and below are failures.
constexpr std::intptr_t kShellFailureLimit = 32;

}  // namespace

void HalvernModule::ShowAboutBox() {
    char text[kAboutTextCapacity];
    std::snprintf(text, sizeof text,
                  HALVERN_PRODUCT_NAME " version " HALVERN_VERSION_TEXT
                                       "\nMade by " HALVERN_MAKER_NAME
                                       "\n\nAirports in the database: %d",
                  recordCount);
    platform::ShowMessageBox(MainWindow(), text, "About Halvern",
                             platform::kMbIconInformation | platform::kMbOk);
}

void HalvernModule::OpenShortcut(const char* path) {
    if (platform::OpenWithShell(MainWindow(), path) <= kShellFailureLimit) {
        platform::ShowMessageBox(MainWindow(), "Unable to launch the webbrowser", "Error",
                                 platform::kMbIconError | platform::kMbOk);
    }
}

}  // namespace halvern
