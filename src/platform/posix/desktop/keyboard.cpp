// Key state of the portable desktop: what the module reads and the host holds down.

#include "platform/desktop.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

using desktop::TheDesktop;

std::int16_t GetKeyStateOf(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 0xFF) {
        return 0;
    }
    const std::uint8_t key = TheDesktop().keys[static_cast<std::size_t>(virtualKey)];
    const auto bits = static_cast<std::uint16_t>(((key & 0x80) != 0 ? 0x8000 : 0) | (key & 0x01));
    return static_cast<std::int16_t>(bits);
}

namespace desktop {

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey < 0 || virtualKey > 0xFF) {
        return;
    }
    std::uint8_t& key = TheDesktop().keys[static_cast<std::size_t>(virtualKey)];
    auto toggled = static_cast<std::uint8_t>(key & 0x01);
    if (down && (key & 0x80) == 0) {
        toggled ^= 0x01;
    }
    key = static_cast<std::uint8_t>((down ? 0x80 : 0) | toggled);
}

}  // namespace desktop
}  // namespace halvern::platform
