#include "platform/profile_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <limits>
#include <string>
#include <vector>

namespace halvern::platform {

// The system reads the file anew at every call; only its path is kept.
struct ProfileFile::Contents {
    std::string path;
};

ProfileFile::ProfileFile() = default;
ProfileFile::~ProfileFile() = default;

bool ProfileFile::Load(const char* hostPath) {
    contents_.reset();
    if (hostPath == nullptr) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(hostPath);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    contents_ = std::make_unique<Contents>();
    contents_->path = hostPath;
    return true;
}

void ProfileFile::ReadValue(const char* section, const char* key, char* buffer,
                            std::size_t capacity) const {
    const DWORD size = capacity > std::numeric_limits<DWORD>::max()
                           ? std::numeric_limits<DWORD>::max()
                           : static_cast<DWORD>(capacity);
    // The empty default makes a missing section or key read as an empty value. The system copies
    // at most size - 1 characters and always terminates the buffer.
    GetPrivateProfileStringA(section, key, "", buffer, size, contents_->path.c_str());
}

}  // namespace halvern::platform
