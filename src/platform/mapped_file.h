#pragma once

// A whole file mapped read-only into memory for the time of one object's life. Paths are in the
// host's form (backslash separators); the implementation turns them into what the operating
// system expects. Every handle is released by the destructor, on every path out.

#include <cstddef>
#include <cstdint>

namespace halvern::platform {

class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Opens and maps the file. False when it cannot be opened, is empty, or cannot be mapped.
    bool Open(const char* hostPath);

    const unsigned char* data() const { return image_; }
    std::size_t size() const { return size_; }

  private:
    void Close();

    const unsigned char* image_ = nullptr;
    std::size_t size_ = 0;
    std::intptr_t file_ = -1;     // file descriptor or file handle; -1 when none
    std::intptr_t mapping_ = -1;  // mapping handle where the platform has one; -1 when none
};

}  // namespace halvern::platform
