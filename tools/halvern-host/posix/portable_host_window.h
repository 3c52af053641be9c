#pragma once

// The substitute host's main window on the portable desktop: messages are sent, never posted, so
// every command and dialog is done with when the call returns.

#include <memory>

#include "halvern-host/host_window.h"

namespace halvern::host {

std::unique_ptr<HostWindow> CreatePortableHostWindow();

}  // namespace halvern::host
