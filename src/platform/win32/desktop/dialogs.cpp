// Dialogs from the module's templates, loaded from the module file's resources, and the calls
// that address their controls.

#include "platform/desktop.h"
#include "platform/dialog_template.h"
#include "platform/win32/desktop/system_handles.h"

namespace halvern::platform {

using namespace win32;

namespace {

// MAKEINTRESOURCEA without its C casts: the id travels in the low word of the name pointer.
LPCSTR ResourceName(int resourceId) {
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(resourceId)));
}

}  // namespace

std::intptr_t RunModalDialog(InstanceHandle instance, const DialogTemplate* dialog,
                             WindowHandle owner, DialogProc procedure, LParam parameter) {
    if (dialog == nullptr) {
        return -1;
    }
    return DialogBoxParamA(AsInstance(instance), ResourceName(dialog->resourceId), AsWindow(owner),
                           AsDialogProc(procedure), parameter);
}

WindowHandle CreateModelessDialog(InstanceHandle instance, const DialogTemplate* dialog,
                                  WindowHandle owner, DialogProc procedure, LParam parameter) {
    if (dialog == nullptr) {
        return nullptr;
    }
    return FromWindow(CreateDialogParamA(AsInstance(instance), ResourceName(dialog->resourceId),
                                         AsWindow(owner), AsDialogProc(procedure), parameter));
}

void EndModalDialog(WindowHandle dialog, std::intptr_t result) {
    EndDialog(AsWindow(dialog), result);
}

WindowHandle GetDialogItem(WindowHandle dialog, int id) {
    return FromWindow(GetDlgItem(AsWindow(dialog), id));
}

void SetDialogItemText(WindowHandle dialog, int id, const char* text) {
    SetDlgItemTextA(AsWindow(dialog), id, text);
}

void GetDialogItemText(WindowHandle dialog, int id, char* text, int capacity) {
    if (text == nullptr || capacity <= 0) {
        return;
    }
    // The system leaves the buffer untouched when the control does not exist.
    text[0] = '\0';
    GetDlgItemTextA(AsWindow(dialog), id, text, capacity);
}

void CheckDialogButton(WindowHandle dialog, int id, std::uint32_t state) {
    CheckDlgButton(AsWindow(dialog), id, state);
}

std::uint32_t IsDialogButtonChecked(WindowHandle dialog, int id) {
    return IsDlgButtonChecked(AsWindow(dialog), id);
}

}  // namespace halvern::platform
