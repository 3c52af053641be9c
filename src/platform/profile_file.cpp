#include "platform/profile_file.h"

namespace halvern::platform {

void ProfileFile::ReadString(const char* section, const char* key, char* buffer,
                             std::size_t capacity) const {
    if (buffer == nullptr || capacity == 0) {
        return;
    }
    buffer[0] = '\0';
    // A null section or key would make the system list names instead of reading a value.
    if (contents_ == nullptr || section == nullptr || key == nullptr) {
        return;
    }
    ReadValue(section, key, buffer, capacity);
}

}  // namespace halvern::platform
