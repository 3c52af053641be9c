#pragma once

// Halvern itself: the one module object. It is the frame's window and chain-event client and,
// through its second base, the airport database.

#include <cstdint>

#include "airports/airport_finder.h"
#include "airports/database_step.h"
#include "frame/fs_module_with_menu.h"
#include "overlay/overlay_refresh.h"
#include "platform/desktop.h"

namespace halvern {

// Command ids of the module's menu items.
inline constexpr std::uint32_t kCommandAbout = 17921;
inline constexpr std::uint32_t kCommandShowAirports = 17922;
inline constexpr std::uint32_t kCommandOptions = 17923;
inline constexpr std::uint32_t kCommandHomepage = 17928;
inline constexpr std::uint32_t kCommandMakerSite = 17936;

// Paths are fixed buffers of 260 characters and the terminator.
inline constexpr int kPathCapacity = 261;

class HalvernModule final : public FSModuleWithMenu,
                            public AirportFinder,
                            private ExtractionObserver {
  public:
    // In this order: the frame (services, chain registration), the empty database, the defaults,
    // the simulator directory, the stored settings, the link paths, and the database step. A
    // database step that fails (memory runs out) leaves the database empty, closes the progress
    // window and writes no cache; the module runs on with no airports. Any other failure throws,
    // and the bases then undo what they did (CreateModuleObject gives no object).
    HalvernModule();
    // Saves the settings (a failure to save is given up); the bases then release the database
    // and the host links.
    ~HalvernModule() override;

  private:
    void UpdateMenu() override;
    void OnChainEvent(std::uint32_t a, std::uint32_t b) override;
    bool OnWindowMessage(platform::WindowHandle window, std::uint32_t message,
                         platform::WParam wParam, platform::LParam lParam,
                         platform::LResult& result) override;
    // The progress tick: counts the file and moves the progress bar when its percentage moves.
    void OnFileScanned(const char* path, const platform::FileEntry& entry) override;
    void BeginExtraction() override;
    void EndExtraction() override;

    void ComputeSimulatorDir();
    // The database step; on a failure the database stays empty.
    void BuildDatabase();

    // Handles a menu command; false for an id that is not the module's.
    bool RunCommand(std::uint32_t id);
    void ToggleOverlay();
    void UpdateCheckMark();
    void UpdateNearbyList();
    void RefreshOverlay();

    void LoadSettings();
    void SaveSettings();
    void ShowOptionsDialog();
    // Applies the options dialog's OK; false (and nothing changed) when a check fails.
    bool AcceptOptions(platform::WindowHandle dialog);
    void ShowAboutBox();
    void OpenShortcut(const char* path);

    static std::intptr_t HALVERN_HOSTCALL OptionsDialogProc(platform::WindowHandle dialog,
                                                            std::uint32_t message,
                                                            platform::WParam wParam,
                                                            platform::LParam lParam);
    static std::intptr_t OnOptionsDialogMessage(platform::WindowHandle dialog,
                                                std::uint32_t message, platform::WParam wParam,
                                                platform::LParam lParam);
    static std::intptr_t HALVERN_HOSTCALL ProgressDialogProc(platform::WindowHandle dialog,
                                                             std::uint32_t message,
                                                             platform::WParam wParam,
                                                             platform::LParam lParam);

    // maxDistance, displayOptions, lastQueryPosition and overlayOn.
    OverlayState overlay;
    char simulatorDir[kPathCapacity] = {};
    platform::MenuHandle moduleMenu = nullptr;
    platform::WindowHandle progressDialog = nullptr;
    ScanProgress progress;  // filesScanned, filesTotal
    char makerLinkPath[kPathCapacity] = {};
    char homepageLinkPath[kPathCapacity] = {};
};

}  // namespace halvern
