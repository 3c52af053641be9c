#pragma once

// Keeping the module file loaded for the rest of the process. A window procedure of the module
// that stays in another window's chain after shutdown is still called for every message of that
// window: if the host then unloaded the module file, the next message would run freed code.

namespace halvern::platform {

// Pins the module file that holds this code, so that unloading it has no effect any more; false
// when the system refused.
bool KeepModuleLoaded();

}  // namespace halvern::platform
