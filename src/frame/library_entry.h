#pragma once

// The library entry point's record of the module's instance handle, used for the module file's
// name and for the dialogs of the module's resources.

#include "platform/desktop.h"

namespace halvern {

extern platform::InstanceHandle moduleInstance;

// Called by the platform's library entry point on every attach and detach.
void OnLibraryEntry(platform::InstanceHandle instance);

}  // namespace halvern
