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

std::vector<std::string> ProfileFile::SectionNames() const {
    std::vector<std::string> names;
    if (contents_ == nullptr) {
        return names;
    }
    // The system fills the buffer with zero-terminated names and a final zero; a result of the
    // buffer's size less two means the list was cut short, and a larger buffer is tried.
    std::vector<char> buffer(4096);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD filled =
            GetPrivateProfileSectionNamesA(buffer.data(), size, contents_->path.c_str());
        if (filled + 2 < size || buffer.size() > std::numeric_limits<DWORD>::max() / 2) {
            buffer.resize(filled < size ? filled : size);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    // The names are split at their zeros, never read past what the system filled in.
    std::size_t start = 0;
    for (std::size_t at = 0; at <= buffer.size(); ++at) {
        if (at == buffer.size() || buffer[at] == '\0') {
            if (at > start) {
                names.emplace_back(buffer.data() + start, at - start);
            }
            start = at + 1;
        }
    }
    return names;
}

}  // namespace halvern::platform
