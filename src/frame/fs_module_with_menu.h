#pragma once

// The frame's link to the host's main window: the chain event callback, the replacement window
// procedure through which the main window's messages reach the module, and the helpers that
// find and add the module's entries in the host's menu bar.

#include <cstdint>

#include "frame/fs_module.h"
#include "platform/desktop.h"

namespace halvern {

class FSModuleWithMenu : public FSModule {
  public:
    // Registers ChainCallback for the refresh event; without a chain service it says so in a
    // message box and goes on. The callbacks reach the object once it is the running module
    // (module_object.h).
    FSModuleWithMenu();
    // Unregisters the callback and restores the main window's procedure where it is still the
    // module's. Where another component's procedure is in front of it, HostWindowProc stays in
    // the chain, handing the messages on, and the module file is pinned so that the host cannot
    // unload the code that the chain still calls.
    ~FSModuleWithMenu() override;

  protected:
    // Makes sure the module's entries exist in the host's menu. Nothing here.
    virtual void UpdateMenu();
    // One host chain event: finds and subclasses the main window the first time a window of
    // the host has the focus.
    virtual void OnChainEvent(std::uint32_t a, std::uint32_t b);
    // One message of the main window, before the window's previous procedure: true, with the
    // answer in `result`, when the module consumed it. Here a non-client paint updates the menu
    // and every message goes on. A message whose handling throws also goes on.
    virtual bool OnWindowMessage(platform::WindowHandle window, std::uint32_t message,
                                 platform::WParam wParam, platform::LParam lParam,
                                 platform::LResult& result);

    // The host's main window; none until the first chain event that finds it.
    platform::WindowHandle MainWindow() const { return mainWindow; }

    // Position of the first item of `menu` whose text, with every '&' removed, equals
    // `searchText` (case-sensitive); -1 when none. Stores the item's id and submenu where asked.
    int FindMenuItem(platform::MenuHandle menu, const char* searchText, std::uint32_t* id,
                     platform::MenuHandle* submenu) const;
    // The main window's menu bar; none while the main window is not known.
    platform::MenuHandle GetMainMenu() const;
    // Gives the item at `position` of the bar the grayed and disabled bits of its first item.
    void SyncMenuEnable(platform::MenuHandle bar, int position) const;

  private:
    // The top-most ancestor of the calling thread's focus window; none without focus.
    platform::WindowHandle FindMainWindow() const;
    // Installs (true) or removes (false) HostWindowProc on the main window. Where an earlier
    // module object of this process left HostWindowProc in that window's chain, installing takes
    // that place over instead of adding a second one, which would hand messages round in a
    // circle.
    void SetSubclass(bool on);

    // Plain functions, so that their addresses can be handed to the host and to the system. They
    // reach the running module; no exception leaves them (host_boundary.h).
    static void HALVERN_HOSTCALL ChainCallback(std::uint32_t a, std::uint32_t b);
    static platform::LResult HALVERN_HOSTCALL HostWindowProc(platform::WindowHandle window,
                                                             std::uint32_t message,
                                                             platform::WParam wParam,
                                                             platform::LParam lParam);

    platform::WindowHandle mainWindow = nullptr;
    bool subclassed = false;  // HostWindowProc is installed on the main window
    platform::WindowProc prevWndProc = nullptr;
};

}  // namespace halvern
