#include "frame/library_entry.h"

namespace halvern {

platform::InstanceHandle moduleInstance = nullptr;

void OnLibraryEntry(platform::InstanceHandle instance) {
    moduleInstance = instance;
}

}  // namespace halvern
