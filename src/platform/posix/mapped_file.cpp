#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "platform/posix/host_path.h"

namespace halvern::platform {

namespace {

// Files up to this size are read rather than mapped: for a file of a few pages, mapping it,
// faulting its pages in and unmapping it costs several times more than one read (measured on a
// virtual machine: 8 KiB 57 against 10 microseconds, 1 MiB 550 against 70). Larger files are
// mapped, so that no copy of them ever sits in the heap.
constexpr std::uintmax_t kLargestReadFile = std::uintmax_t{1} << 20;

// Reads up to `length` bytes from the start of the file; the count read (0 on failure).
std::size_t ReadWhole(int fd, unsigned char* bytes, std::size_t length) {
    std::size_t filled = 0;
    while (filled < length) {
        const ssize_t got = ::read(fd, bytes + filled, length - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return filled;
}

}  // namespace

bool MappedFile::OpenNative(const char* hostPath) {
    // O_NONBLOCK: a FIFO under a scenery file's name opens at once instead of waiting for a
    // writer, and is then refused as not a regular file; reads of a regular file ignore it.
    int fd = -1;
    if (!WithNativePath(hostPath, [&fd](const char* native) {
            fd = ::open(native, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            return fd >= 0;
        })) {
        return false;
    }
    file_ = fd;
    struct stat info {};
    // Anything but a regular file (a directory, a FIFO, a device), an empty file or one too
    // large to address is not mapped, as on Windows where creating the mapping of an empty file
    // fails.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        static_cast<std::uintmax_t>(info.st_size) > SIZE_MAX) {
        Close();
        return false;
    }
    const auto length = static_cast<std::size_t>(info.st_size);
    if (static_cast<std::uintmax_t>(info.st_size) <= kLargestReadFile) {
        copy_ = static_cast<unsigned char*>(std::malloc(length));
        outOfMemory_ = copy_ == nullptr;
        // A file that shrank since its size was taken gives the bytes it still has.
        const std::size_t read = copy_ == nullptr ? 0 : ReadWhole(fd, copy_, length);
        if (read == 0) {
            Close();
            return false;
        }
        image_ = copy_;
        size_ = read;
        return true;
    }
    void* image = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    if (image == MAP_FAILED) {
        outOfMemory_ = errno == ENOMEM;
        Close();
        return false;
    }
    image_ = static_cast<const unsigned char*>(image);
    size_ = length;
    return true;
}

void MappedFile::Close() {
    if (copy_ != nullptr) {
        std::free(copy_);
        copy_ = nullptr;
    } else if (image_ != nullptr) {
        ::munmap(const_cast<unsigned char*>(image_), size_);
    }
    image_ = nullptr;
    size_ = 0;
    if (file_ >= 0) {
        ::close(static_cast<int>(file_));
        file_ = -1;
    }
}

}  // namespace halvern::platform
