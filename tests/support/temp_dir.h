#pragma once

// A fresh directory under the system's temporary directory, removed with its contents when the
// object goes out of scope. Tests use real files and real directories.

#include <filesystem>
#include <string>

namespace halvern::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A path below the directory, in the operating system's form.
    std::string File(const std::string& relative) const { return (path_ / relative).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace halvern::testing
