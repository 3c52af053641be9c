#pragma once

// A whole file's bytes, read-only, for the time of one object's life: mapped into memory, or,
// where the implementation finds reading cheaper (small files, on POSIX systems), read into a
// heap block of the file's size. Paths are in the host's form (backslash separators); the
// implementation turns them into what the operating system expects. Every handle and block is
// released by the destructor, on every path out.

#include <cstddef>
#include <cstdint>

namespace halvern::platform {

class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Opens the file and maps or reads it. False when it cannot be opened, is empty, or cannot
    // be mapped or read.
    bool Open(const char* hostPath);

    // After a failed Open: true when it failed for want of memory or address space rather than
    // because of the file.
    bool OutOfMemory() const { return outOfMemory_; }

    const unsigned char* data() const { return image_; }
    std::size_t size() const { return size_; }

  private:
    // The platform's part of Open, on a closed object.
    bool OpenNative(const char* hostPath);
    void Close();

    const unsigned char* image_ = nullptr;
    std::size_t size_ = 0;
    std::intptr_t file_ = -1;        // file descriptor or file handle; -1 when none
    std::intptr_t mapping_ = -1;     // mapping handle where the platform has one; -1 when none
    unsigned char* copy_ = nullptr;  // the heap block when the file was read, not mapped
    bool outOfMemory_ = false;
};

}  // namespace halvern::platform
