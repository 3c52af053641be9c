#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/posix/host_path.h"

namespace halvern::platform {

MappedFile::~MappedFile() {
    Close();
}

bool MappedFile::Open(const char* hostPath) {
    Close();
    const int fd = ::open(NativePath(hostPath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    file_ = fd;
    struct stat info {};
    // A directory, an empty file or one too large to address cannot be mapped, as on Windows
    // where creating the mapping of an empty file fails.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        static_cast<std::uintmax_t>(info.st_size) > SIZE_MAX) {
        Close();
        return false;
    }
    const auto length = static_cast<std::size_t>(info.st_size);
    void* image = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    if (image == MAP_FAILED) {
        Close();
        return false;
    }
    image_ = static_cast<const unsigned char*>(image);
    size_ = length;
    return true;
}

void MappedFile::Close() {
    if (image_ != nullptr) {
        ::munmap(const_cast<unsigned char*>(image_), size_);
        image_ = nullptr;
        size_ = 0;
    }
    if (file_ >= 0) {
        ::close(static_cast<int>(file_));
        file_ = -1;
    }
}

}  // namespace halvern::platform
