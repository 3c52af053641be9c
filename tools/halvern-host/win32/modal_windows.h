#pragma once

// The dialogs and message boxes the module opens on the host's thread, as the host's timer sees
// them while their own modal loops run: found among the thread's top-level windows, read, and
// answered with posted commands, never with sent ones, so that each modal loop ends by itself.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "halvern-host/options_entry.h"
#include "resources/dialog_templates.h"

namespace halvern::host {

class ModalWindows {
  public:
    // The module's options dialog (its caption) and the message-box text control.
    static constexpr std::string_view kOptionsCaption = resources::kOptionsDialog.caption;

    // Answers the next options dialog with these values and OK (then Cancel if the module
    // refuses them); without values the dialog is cancelled.
    void AnswerNextOptionsDialog(const OptionsEntry& entry) { pendingOptions_ = entry; }

    // Looks at the calling thread's open dialogs and message boxes and answers the top-most one
    // that has not been answered yet: a message box is reported and closed with OK, the options
    // dialog is filled in and confirmed. True while any of them is open.
    bool Drive();

    // Called with the options dialog before it is answered (for a picture of the screen).
    std::function<void(HWND dialog)> onOptionsDialog;
    // Every message box, with its caption and text, before it is closed.
    std::function<void(const std::string& caption, const std::string& text)> onMessageBox;

  private:
    struct Answered {
        HWND window;
        int times;  // how often the window has been answered
    };
    int TimesAnswered(HWND window) const;
    void MarkAnswered(HWND window);
    void AnswerMessageBox(HWND box);
    void AnswerOptionsDialog(HWND dialog);

    std::optional<OptionsEntry> pendingOptions_;
    std::vector<Answered> answered_;
};

// The text of a window (its caption, or a control's text).
std::string WindowText(HWND window);

// The class name of a window.
std::string WindowClass(HWND window);

}  // namespace halvern::host
