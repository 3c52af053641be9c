#pragma once

// An initialisation file of the host platform, named by a host path: "[Section]" lines, each
// followed by "key=value" lines. Section and key names are matched without regard to ASCII
// letter case; where a section or a key occurs more than once, the first occurrence counts, and
// a key line without '=' reads as an empty value.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace halvern::platform {

class ProfileFile {
  public:
    ProfileFile();
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    // Makes the file the one values are read from. False when it does not exist or cannot be
    // read; every value then reads as empty.
    bool Load(const char* hostPath);

    // Copies the value of `key` in `section` into `buffer`: at most capacity - 1 characters and
    // a terminator. A missing file, section or key reads as an empty value.
    void ReadString(const char* section, const char* key, char* buffer, std::size_t capacity) const;

  private:
    // The platform's part of ReadString, for a loaded file, a section and a key, and a buffer of
    // at least one character that already holds an empty text.
    void ReadValue(const char* section, const char* key, char* buffer, std::size_t capacity) const;

    struct Contents;  // what the platform keeps of a loaded file
    std::unique_ptr<Contents> contents_;
};

}  // namespace halvern::platform
