// Message boxes of the portable desktop: every box is logged and answered by the host's
// responder.

#include <utility>

#include "platform/desktop.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

using desktop::TheDesktop;

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t type) {
    desktop::MessageBoxRecord record;
    record.owner = owner;
    record.text = text == nullptr ? "" : text;
    record.caption = caption == nullptr ? "Error" : caption;
    record.type = type;
    auto& log = TheDesktop().messageBoxes;
    const std::size_t index = log.size();
    log.push_back(record);
    // A copy: the responder may install another while it runs.
    const desktop::MessageBoxResponder responder = TheDesktop().responder;
    const int answer = responder ? responder(record) : kIdOk;
    if (index < TheDesktop().messageBoxes.size()) {
        TheDesktop().messageBoxes[index].answer = answer;
    }
    return answer;
}

namespace desktop {

void SetMessageBoxResponder(MessageBoxResponder responder) {
    TheDesktop().responder = std::move(responder);
}

std::vector<MessageBoxRecord> MessageBoxLog() {
    return TheDesktop().messageBoxes;
}

}  // namespace desktop
}  // namespace halvern::platform
