#include "module/halvern_module.h"

#include <cstring>
#include <string>

#include "frame/host_boundary.h"
#include "resources/dialog_templates.h"

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

// The module file's path is asked for in ever larger buffers, up to this many characters, until
// it is certainly whole: a result that fills its buffer may have been cut.
constexpr std::uint32_t kLongestModulePath = 1u << 16;

std::string ModuleFilePath(platform::InstanceHandle instance) {
    for (std::uint32_t capacity = kPathCapacity; capacity <= kLongestModulePath; capacity *= 2) {
        std::string path(capacity, '\0');
        const std::uint32_t length = platform::GetModuleFilePath(instance, path.data(), capacity);
        if (length + 1 < capacity) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

}  // namespace

HalvernModule::HalvernModule() {
    ComputeSimulatorDir();
    LoadSettings();
    JoinPath(homepageLinkPath, simulatorDir, kHomepageShortcut);
    JoinPath(makerLinkPath, simulatorDir, kMakerShortcut);
    // Without a simulator directory there is no scenery to read and no place for the cache:
    // the module runs with an empty database rather than read or write in the current
    // directory.
    if (simulatorDir[0] != '\0') {
        BuildDatabase();
    }
}

HalvernModule::~HalvernModule() {
    GuardHostCall([this] { SaveSettings(); });
}

void HalvernModule::BuildDatabase() {
    if (GuardHostCall([this] { RunDatabaseStep(*this, simulatorDir, progress, this); })) {
        return;
    }
    // The step stopped part-way: whatever it read is dropped, so that the database is either
    // whole or empty, and the progress window it may have opened is closed.
    ClearRecords();
    nearby.Clear();
    EndExtraction();
}

void HalvernModule::ComputeSimulatorDir() {
    // The directory above the one that holds the module file, with its trailing separator:
    // cut right after the second separator counted from the end. With fewer than two
    // separators the path stays as it is. A directory that does not fit the path buffer is left
    // empty: cut, it would name one of its parents.
    std::string path = ModuleFilePath(Instance());
    int separators = 0;
    for (std::size_t i = path.size(); i-- > 0;) {
        if (path[i] == '\\' || path[i] == '/') {
            if (++separators == 2) {
                path.resize(i + 1);
                break;
            }
        }
    }
    if (path.size() >= sizeof simulatorDir) {
        simulatorDir[0] = '\0';
        return;
    }
    std::memcpy(simulatorDir, path.c_str(), path.size() + 1);
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
    progressDialog = platform::CreateModelessDialog(Instance(), &resources::kProgressDialog,
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
        platform::SendWindowMessage(
            platform::GetDialogItem(progressDialog, resources::kProgressBar), platform::kPbmSetPos,
            static_cast<platform::WParam>(percent), 0);
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
