#include "platform/directory_listing.h"

#include "platform/path_limit.h"

namespace halvern::platform {

void DirectoryListing::RefuseUnlistable(const char* hostDirectory) {
    // Nothing to list; a pattern longer than the host platform's narrow calls take lists
    // nothing on any platform (Wine takes one character more than Windows and is held to it).
    if (hostDirectory == nullptr || !ListingFitsPathLimit(hostDirectory)) {
        started_ = true;
        unreadable_ = true;
    }
}

}  // namespace halvern::platform
