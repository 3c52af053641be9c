#include "platform/directory_listing.h"

namespace halvern::platform {

DirectoryListing::DirectoryListing(const char* hostDirectory) {
    if (hostDirectory == nullptr) {
        started_ = true;  // nothing to list
        unreadable_ = true;
        return;
    }
    directory_ = hostDirectory;
    query_ = QueryFor(hostDirectory);
}

}  // namespace halvern::platform
