#include "platform/mapped_file.h"

namespace halvern::platform {

MappedFile::~MappedFile() {
    Close();
}

bool MappedFile::Open(const char* hostPath) {
    Close();
    outOfMemory_ = false;
    return OpenNative(hostPath);
}

}  // namespace halvern::platform
