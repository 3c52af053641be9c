#include "platform/directory_listing.h"

namespace halvern::platform {

DirectoryListing::DirectoryListing(const char* hostDirectory) {
    if (hostDirectory == nullptr) {
        started_ = true;  // nothing to list
        unreadable_ = true;
        return;
    }
    query_ = QueryFor(hostDirectory);
}

}  // namespace halvern::platform
