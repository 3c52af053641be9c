#include "module/halvern_module.h"

#include <cstring>

#include "frame/library_entry.h"

namespace halvern {

namespace {

constexpr const char* kHomepageShortcut = "Halvern Homepage.url";
constexpr const char* kMakerShortcut = "Tavrel Software.url";

// destination = directory + name when both fit the path buffer; otherwise empty, so that a
// path too long for the platform is never cut into another, wrong one.
void JoinPath(char (&destination)[kPathCapacity], const char* directory, const char* name) {
    const std::size_t directoryLength = std::strlen(directory);
    const std::size_t nameLength = std::strlen(name);
    if (directoryLength + nameLength >= sizeof destination) {
        destination[0] = '\0';
        return;
    }
    std::memcpy(destination, directory, directoryLength);
    std::memcpy(destination + directoryLength, name, nameLength + 1);
}

}  // namespace

HalvernModule::HalvernModule() {
    ComputeSimulatorDir();
    LoadSettings();
    JoinPath(homepageLinkPath, simulatorDir, kHomepageShortcut);
    JoinPath(makerLinkPath, simulatorDir, kMakerShortcut);
    RunDatabaseStep(*this, simulatorDir, progress, this);
    progressDialog = nullptr;
}

HalvernModule::~HalvernModule() {
    SaveSettings();
}

void HalvernModule::ComputeSimulatorDir() {
    // The directory above the one that holds the module file, with its trailing separator:
    // cut right after the second separator counted from the end. With fewer than two
    // separators the path stays as it is.
    platform::GetModuleFilePath(moduleInstance, simulatorDir, kPathCapacity);
    int separators = 0;
    for (std::size_t i = std::strlen(simulatorDir); i-- > 0;) {
        if (simulatorDir[i] == '\\' || simulatorDir[i] == '/') {
            if (++separators == 2) {
                simulatorDir[i + 1] = '\0';
                break;
            }
        }
    }
}

void HalvernModule::OnChainEvent(std::uint32_t a, std::uint32_t b) {
    FSModuleWithMenu::OnChainEvent(a, b);
    RefreshOverlay();
}

void HalvernModule::UpdateNearbyList() {
    halvern::UpdateNearbyList(*this, Services(), overlay);
}

void HalvernModule::RefreshOverlay() {
    halvern::RefreshOverlay(*this, Services(), overlay);
}

void HalvernModule::BeginExtraction() {
    progressDialog = platform::CreateModelessDialog(moduleInstance, kProgressDialogResource,
                                                    nullptr, &ProgressDialogProc,
                                                    reinterpret_cast<platform::LParam>(this));
    // Without the window (no progress bar class in the process, say) the pass only counts.
    if (progressDialog != nullptr) {
        platform::ShowWindowNormal(progressDialog);
        platform::PaintWindowNow(progressDialog);
    }
}

void HalvernModule::EndExtraction() {
    if (progressDialog != nullptr) {
        platform::DestroyWindowNow(progressDialog);
        progressDialog = nullptr;
    }
}

void HalvernModule::OnFileScanned(const char* /*path*/, const platform::FileEntry& /*entry*/) {
    ++progress.filesScanned;
    int percent = 0;
    // At most one position message per percent: with fewer than 100 files every file moves it.
    if (progressDialog != nullptr &&
        ProgressPercentMoved(progress.filesScanned, progress.filesTotal, percent)) {
        platform::SendWindowMessage(platform::GetDialogItem(progressDialog, kProgressBarControl),
                                    platform::kPbmSetPos, static_cast<platform::WParam>(percent),
                                    0);
    }
}

std::intptr_t HALVERN_HOSTCALL HalvernModule::ProgressDialogProc(platform::WindowHandle dialog,
                                                                 std::uint32_t message,
                                                                 platform::WParam /*wParam*/,
                                                                 platform::LParam lParam) {
    if (message == platform::kWmInitDialog) {
        platform::SetWindowUserData(dialog, lParam);
        return 1;
    }
    return 0;
}

}  // namespace halvern
