#pragma once

// What the fuzz harnesses share: an exact-size copy of the input (so that AddressSanitizer
// reports a read even one byte past its end), a reader that takes fields from the front of the
// input, a scratch simulator directory for the readers that take files by path, and a check that
// stops the run when a harness's own expectation fails (libFuzzer then keeps the input).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

namespace halvern::fuzz {

// The scenery fingerprint that every cache-file seed is written for and the cache harness reads
// against.
inline constexpr std::uint32_t kCacheFingerprint = 0x5EED0003;

// Stops the run with a message; the input that led here is saved as a finding.
inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "halvern fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The input in a heap block of exactly its size (a zero-size block for an empty input).
class ExactCopy {
  public:
    ExactCopy(const std::uint8_t* data, std::size_t size)
        : bytes_(new unsigned char[size]), size_(size) {
        if (size != 0) {
            std::memcpy(bytes_.get(), data, size);
        }
    }
    const unsigned char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }

  private:
    std::unique_ptr<unsigned char[]> bytes_;
    std::size_t size_;
};

// Fields taken one after another from the front of the input, little-endian; once the input is
// used up every field reads as zero. The seed generator writes seeds in the same order.
class InputReader {
  public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T Take() {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        }
        T result;
        static_assert(sizeof(T) <= sizeof value);
        std::memcpy(&result, &value, sizeof result);  // little-endian machines only
        return result;
    }

    // Up to `count` bytes, fewer when the input ends first.
    std::string Bytes(std::size_t count) {
        const std::size_t taken = count < size_ - used_ ? count : size_ - used_;
        std::string bytes(reinterpret_cast<const char*>(data_ + used_), taken);
        used_ += taken;
        return bytes;
    }

    std::size_t Remaining() const { return size_ - used_; }

  private:
    std::uint8_t Byte() { return used_ < size_ ? data_[used_++] : 0; }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

// A simulator directory of its own for this process, made at the first use and removed at exit.
// The current directory stays as it is: libFuzzer reads its corpus and writes its findings by
// the paths it was given.
class ScratchSimulator {
  public:
    static ScratchSimulator& Get() {
        static ScratchSimulator instance;
        return instance;
    }

    // The directory in the host's form, with its trailing separator.
    const std::string& HostDir() const { return hostDir_; }
    // A path below the directory, in the operating system's form and in the host's form.
    std::string Native(const std::string& relative) const { return (root_ / relative).string(); }
    std::string Host(const std::string& relativeHostForm) const {
        return hostDir_ + relativeHostForm;
    }

    void Write(const std::string& relative, const std::uint8_t* data, std::size_t size) const {
        const std::filesystem::path path = root_ / relative;
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    void Remove(const std::string& relative) const {
        std::error_code ignored;
        std::filesystem::remove(root_ / relative, ignored);
    }

    ScratchSimulator(const ScratchSimulator&) = delete;
    ScratchSimulator& operator=(const ScratchSimulator&) = delete;

  private:
    // A file system in memory where there is one: the harnesses write a file for every input,
    // which costs a disk file system a hundred times more.
    static std::filesystem::path Parent() {
        std::error_code error;
        if (std::filesystem::is_directory("/dev/shm", error)) {
            return "/dev/shm";
        }
        return std::filesystem::temp_directory_path();
    }

    ScratchSimulator() : root_(Parent() / ("halvern-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(root_);
        hostDir_ = root_.string() + '/';
        for (char& c : hostDir_) {
            c = c == '/' ? '\\' : c;
        }
    }
    ~ScratchSimulator() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::filesystem::path root_;
    std::string hostDir_;
};

}  // namespace halvern::fuzz
