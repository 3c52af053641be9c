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
    // Becomes the active module and registers ChainCallback for the refresh event; without a
    // chain service it says so in a message box and goes on.
    FSModuleWithMenu();
    // Stops being the active module, unregisters the callback and restores the main window's
    // procedure where it is still the module's. Where another component's procedure is in front
    // of it, HostWindowProc stays in the chain, handing the messages on, and the module file is
    // pinned so that the host cannot unload the code that the chain still calls.
    ~FSModuleWithMenu() override;

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

    // The top-most ancestor of the calling thread's focus window; none without focus.
    platform::WindowHandle FindMainWindow() const;
    // Installs (true) or removes (false) HostWindowProc on the main window. Where an earlier
    // module object of this process left HostWindowProc in that window's chain, installing takes
    // that place over instead of adding a second one, which would hand messages round in a
    // circle.
    void SetSubclass(bool on);

    // Position of the first item of `menu` whose text, with every '&' removed, equals
    // `searchText` (case-sensitive); -1 when none. Stores the item's id and submenu where asked.
    int FindMenuItem(platform::MenuHandle menu, const char* searchText, std::uint32_t* id,
                     platform::MenuHandle* submenu) const;
    // The main window's menu bar; none while the main window is not known.
    platform::MenuHandle GetMainMenu() const;
    // Gives the item at `position` of the bar the grayed and disabled bits of its first item.
    void SyncMenuEnable(platform::MenuHandle bar, int position) const;

    // Plain functions, so that their addresses can be handed to the host and to the system. No
    // exception leaves them (host_boundary.h).
    static void HALVERN_HOSTCALL ChainCallback(std::uint32_t a, std::uint32_t b);
    static platform::LResult HALVERN_HOSTCALL HostWindowProc(platform::WindowHandle window,
                                                             std::uint32_t message,
                                                             platform::WParam wParam,
                                                             platform::LParam lParam);

    // The object the two callbacks reach; one module object at a time.
    static FSModuleWithMenu* activeModule;

  protected:
    platform::WindowHandle mainWindow = nullptr;
    std::uint8_t subclassed = 0;
    platform::WindowProc prevWndProc = nullptr;
};

}  // namespace halvern
