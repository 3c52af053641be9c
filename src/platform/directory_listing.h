#pragma once

// The scenery files of one directory: a listing of the entries whose names match "*.bgl" (letter
// case ignored, as the host platform's wildcard matching does), in the order the host platform
// lists them: sorted by name, letters compared in upper case. The directory is named in the
// host's form and ends in a separator. Entries are not filtered by kind: a subdirectory whose
// name matches is listed too, with size 0. The listing is opened at the first call of Next and
// released by the destructor.

#include <memory>
#include <string>

#include "platform/file_entry.h"

namespace halvern::platform {

class DirectoryListing {
  public:
    explicit DirectoryListing(const char* hostDirectory);
    ~DirectoryListing();
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    // Fills `entry` with the next matching entry; false when there is none left. A directory
    // that does not exist or cannot be read lists nothing.
    bool Next(FileEntry& entry);

    // After Next has returned false: true when the directory itself could not be listed (it does
    // not exist, is not a directory, cannot be read, or its pattern is beyond the host
    // platform's path limit), as against one without a matching entry.
    bool Unreadable() const { return unreadable_; }

    // The key of the directory itself (directory_identity.h), taken from the open listing where
    // the system gives it (the listing is then opened, as the first Next would), else from the
    // directory's spelling. Costs no reading of entries.
    std::string Identity();

  private:
    struct State;  // what the platform keeps of an open listing

    // Opens the listing, once.
    void Start();
    // Marks a listing that lists nothing, for want of a directory or beyond the path limit.
    void RefuseUnlistable(const char* hostDirectory);

    std::string directory_;  // as the caller named it
    std::unique_ptr<State> state_;
    bool started_ = false;
    bool unreadable_ = false;
};

}  // namespace halvern::platform
