// Dialogs of the portable desktop, built from the templates their callers hand over: modal
// dialogs run by a driver that plays the user, modeless dialogs, and the calls that address their
// controls by id (controls.cpp has the controls' own behaviour).

#include <algorithm>
#include <cstring>
#include <ranges>
#include <utility>

#include "platform/desktop.h"
#include "platform/dialog_template.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

using desktop::FindWindow;
using desktop::Handle;
using desktop::TheDesktop;
using desktop::Window;
using desktop::WindowKind;

namespace {

constexpr const char* kDialogClass = "#32770";  // the system's class of dialog boxes

// Controls carry 16-bit ids in the templates: -1 is 0xFFFF.
bool SameControlId(int a, int b) {
    return (static_cast<unsigned>(a) & 0xFFFF) == (static_cast<unsigned>(b) & 0xFFFF);
}

// Creates the dialog's window and its controls in template order; 0 without a template, when
// the owner does not exist, or when a control's class is not available.
Handle CreateDialogWindow(const DialogTemplate* dialogTemplate, WindowHandle owner,
                          DialogProc procedure, LParam parameter, bool modal) {
    if (dialogTemplate == nullptr || (owner != nullptr && FindWindow(owner) == nullptr)) {
        return 0;
    }
    desktop::Desktop& state = TheDesktop();
    const bool needsProgressBar =
        std::ranges::any_of(dialogTemplate->controls, [](const DialogControl& control) {
            return control.windowClass == ControlClass::ProgressBar;
        });
    if (needsProgressBar && !state.progressClassAvailable) {
        return 0;
    }

    Window dialog;
    dialog.kind = WindowKind::Dialog;
    dialog.className = kDialogClass;
    dialog.text = dialogTemplate->caption;
    dialog.owner = desktop::NumberOf(owner);
    dialog.style = dialogTemplate->style;
    dialog.visible = (dialogTemplate->style & kWsVisible) != 0;
    dialog.dialogProcedure = procedure;
    dialog.resourceId = dialogTemplate->resourceId;
    dialog.logIndex = state.dialogs.size();
    const Handle handle = desktop::AddWindow(std::move(dialog));

    desktop::DialogRecord record;
    record.dialog = desktop::AsWindow(handle);
    record.resourceId = dialogTemplate->resourceId;
    record.modal = modal;
    record.owner = owner;
    record.parameter = parameter;
    state.dialogs.push_back(record);

    for (const DialogControl& control : dialogTemplate->controls) {
        Window window;
        window.kind = WindowKind::Control;
        window.controlClass = control.windowClass;
        window.className = ControlClassName(control.windowClass);
        window.text = control.text;
        window.parent = handle;
        window.style = control.style;
        window.visible = (control.style & kWsVisible) != 0;
        window.controlId = control.id;
        desktop::AddWindow(std::move(window));
    }
    return handle;
}

Window* FindControl(WindowHandle dialog, int id) {
    return FindWindow(GetDialogItem(dialog, id));
}

}  // namespace

std::intptr_t RunModalDialog(InstanceHandle, const DialogTemplate* dialogTemplate,
                             WindowHandle owner, DialogProc procedure, LParam parameter) {
    // The description is the whole template: no instance holds it.
    const Handle handle = CreateDialogWindow(dialogTemplate, owner, procedure, parameter, true);
    if (handle == 0) {
        return -1;
    }
    const WindowHandle dialog = desktop::AsWindow(handle);
    const std::size_t logIndex = FindWindow(dialog)->logIndex;
    SendWindowMessage(dialog, kWmInitDialog, 0, parameter);

    const auto running = [dialog] {
        const Window* window = FindWindow(dialog);
        return window != nullptr && !window->ended;
    };
    if (running()) {
        // A copy: the driver may install another while it runs.
        const desktop::DialogDriver driver = TheDesktop().driver;
        if (driver) {
            driver(dialog, dialogTemplate->resourceId);
        } else {
            // No user at the keyboard: the dialog is dismissed as with the Esc key.
            SendWindowMessage(dialog, kWmCommand, static_cast<WParam>(kIdCancel),
                              reinterpret_cast<LParam>(GetDialogItem(dialog, kIdCancel)));
        }
    }
    if (running()) {
        EndModalDialog(dialog, -1);
    }
    DestroyWindowNow(dialog);
    const auto& log = TheDesktop().dialogs;
    if (logIndex >= log.size() || !log[logIndex].ended) {
        return -1;  // destroyed without EndModalDialog
    }
    return log[logIndex].result;
}

WindowHandle CreateModelessDialog(InstanceHandle, const DialogTemplate* dialogTemplate,
                                  WindowHandle owner, DialogProc procedure, LParam parameter) {
    const Handle handle = CreateDialogWindow(dialogTemplate, owner, procedure, parameter, false);
    if (handle == 0) {
        return nullptr;
    }
    const WindowHandle dialog = desktop::AsWindow(handle);
    SendWindowMessage(dialog, kWmInitDialog, 0, parameter);
    return dialog;
}

void EndModalDialog(WindowHandle dialog, std::intptr_t result) {
    Window* window = FindWindow(dialog);
    if (window == nullptr || window->kind != WindowKind::Dialog) {
        return;
    }
    window->ended = true;
    window->result = result;
    window->visible = false;
    desktop::DialogRecord& record = TheDesktop().dialogs[window->logIndex];
    record.ended = true;
    record.result = result;
}

WindowHandle GetDialogItem(WindowHandle dialog, int id) {
    if (FindWindow(dialog) == nullptr) {
        return nullptr;
    }
    for (const Handle child : desktop::ChildrenOf(desktop::NumberOf(dialog))) {
        if (SameControlId(TheDesktop().windows.at(child).controlId, id)) {
            return desktop::AsWindow(child);
        }
    }
    return nullptr;
}

void SetDialogItemText(WindowHandle dialog, int id, const char* text) {
    if (Window* control = FindControl(dialog, id)) {
        control->text = text == nullptr ? "" : text;
    }
}

void GetDialogItemText(WindowHandle dialog, int id, char* text, int capacity) {
    if (text == nullptr || capacity <= 0) {
        return;
    }
    text[0] = '\0';
    if (const Window* control = FindControl(dialog, id)) {
        const std::size_t length =
            std::min(control->text.size(), static_cast<std::size_t>(capacity) - 1);
        std::memcpy(text, control->text.data(), length);
        text[length] = '\0';
    }
}

void CheckDialogButton(WindowHandle dialog, int id, std::uint32_t state) {
    SendWindowMessage(GetDialogItem(dialog, id), desktop::kBmSetCheck, state, 0);
}

std::uint32_t IsDialogButtonChecked(WindowHandle dialog, int id) {
    return static_cast<std::uint32_t>(
        SendWindowMessage(GetDialogItem(dialog, id), desktop::kBmGetCheck, 0, 0));
}

namespace desktop {

LResult DialogWindowProcedure(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) {
    const Window* dialog = FindWindow(window);
    if (dialog == nullptr) {
        return 0;
    }
    const DialogProc procedure = dialog->dialogProcedure;
    const std::intptr_t handled =
        procedure == nullptr ? 0 : procedure(window, message, wParam, lParam);
    // The close box of a dialog whose procedure leaves kWmClose alone means Cancel.
    if (message == kWmClose && handled == 0 && FindWindow(window) != nullptr) {
        SendWindowMessage(window, kWmCommand, static_cast<WParam>(kIdCancel),
                          reinterpret_cast<LParam>(GetDialogItem(window, kIdCancel)));
    }
    return handled;
}

void SetDialogDriver(DialogDriver driver) {
    TheDesktop().driver = std::move(driver);
}

std::vector<DialogRecord> DialogLog() {
    return TheDesktop().dialogs;
}

WindowHandle FindDialog(int resourceId) {
    for (const auto& [handle, window] : std::views::reverse(TheDesktop().windows)) {
        if (window.kind == WindowKind::Dialog && window.resourceId == resourceId) {
            return AsWindow(handle);
        }
    }
    return nullptr;
}

std::string ControlText(WindowHandle dialog, int id) {
    const Window* control = FindControl(dialog, id);
    return control == nullptr ? std::string() : control->text;
}

bool ClickButton(WindowHandle dialog, int id) {
    const WindowHandle item = GetDialogItem(dialog, id);
    Window* control = FindWindow(item);
    if (control == nullptr) {
        return false;
    }
    if (control->controlClass == ControlClass::Button &&
        (control->style & kBsTypeMask) == kBsAutoCheckBox) {
        control->check = control->check == kButtonChecked ? 0 : kButtonChecked;
    }
    // The notification code, BN_CLICKED, is 0 in the high word.
    SendWindowMessage(dialog, kWmCommand, static_cast<WParam>(id) & 0xFFFF,
                      reinterpret_cast<LParam>(item));
    return true;
}

void CloseDialog(WindowHandle dialog) {
    SendWindowMessage(dialog, kWmClose, 0, 0);
}

void SetProgressClassAvailable(bool available) {
    TheDesktop().progressClassAvailable = available;
}

}  // namespace desktop
}  // namespace halvern::platform
