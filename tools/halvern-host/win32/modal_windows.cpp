#include "halvern-host/win32/modal_windows.h"

#include <algorithm>
#include <cstdio>

#include "module/option_check_boxes.h"

namespace halvern::host {

namespace {

// The class of dialogs and message boxes.
constexpr const char* kDialogClass = "#32770";
// A message box's text is the static control with this id (0xFFFF), on Windows and on Wine.
constexpr int kMessageBoxTextId = 0xFFFF;

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
        IsWindowVisible(window) && WindowClass(window) == kDialogClass) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// The visible dialogs of the calling thread, top-most first (EnumWindows walks the Z order).
std::vector<HWND> OpenDialogs() {
    std::vector<HWND> dialogs;
    EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

// Presses a dialog's button the way the dialog manager does for a click: a WM_COMMAND with the
// button's id and the notification BN_CLICKED (0), posted so that it runs in the dialog's loop.
void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

}  // namespace

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool ModalWindows::Drive() {
    // Forget the windows that have gone, so that a reused handle counts as new.
    answered_.erase(std::remove_if(answered_.begin(), answered_.end(),
                                   [](const Answered& a) { return !IsWindow(a.window); }),
                    answered_.end());
    const std::vector<HWND> dialogs = OpenDialogs();
    // A message box opened by the dialog lies above it: answer the top-most first.
    for (HWND dialog : dialogs) {
        if (WindowText(dialog) == kOptionsCaption) {
            // Still open after its OK: the module refused the values (its message box, above
            // it, has already been answered), and the user gives up.
            if (TimesAnswered(dialog) == 0) {
                AnswerOptionsDialog(dialog);
            } else if (TimesAnswered(dialog) == 1) {
                MarkAnswered(dialog);
                std::fprintf(stderr,
                             "halvern-host: the options dialog stayed open after OK; cancelled\n");
                PressButton(dialog, IDCANCEL);
            }
        } else if (TimesAnswered(dialog) == 0) {
            AnswerMessageBox(dialog);
        }
        break;
    }
    return !dialogs.empty();
}

int ModalWindows::TimesAnswered(HWND window) const {
    for (const Answered& a : answered_) {
        if (a.window == window) {
            return a.times;
        }
    }
    return 0;
}

void ModalWindows::MarkAnswered(HWND window) {
    for (Answered& a : answered_) {
        if (a.window == window) {
            ++a.times;
            return;
        }
    }
    answered_.push_back({window, 1});
}

void ModalWindows::AnswerMessageBox(HWND box) {
    MarkAnswered(box);
    std::string text;
    if (HWND control = GetDlgItem(box, kMessageBoxTextId)) {
        text = WindowText(control);
    }
    if (onMessageBox) {
        onMessageBox(WindowText(box), text);
    }
    PressButton(box, IDOK);
}

void ModalWindows::AnswerOptionsDialog(HWND dialog) {
    MarkAnswered(dialog);
    if (onOptionsDialog) {
        onOptionsDialog(dialog);
    }
    if (!pendingOptions_) {
        PressButton(dialog, IDCANCEL);
        return;
    }
    const OptionsEntry entry = *pendingOptions_;
    pendingOptions_.reset();
    SetDlgItemTextA(dialog, resources::kOptionDistanceEdit, entry.distance.c_str());
    for (const OptionCheckBox& box : kOptionCheckBoxes) {
        CheckDlgButton(dialog, box.control,
                       (entry.options & static_cast<std::uint32_t>(box.bit)) != 0 ? BST_CHECKED
                                                                                  : BST_UNCHECKED);
    }
    PressButton(dialog, IDOK);
}

}  // namespace halvern::host
