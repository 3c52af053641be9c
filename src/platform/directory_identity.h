#pragma once

// A key for a directory itself rather than for one spelling of its name: equal for every name
// that reaches the same directory, in any letter case, with repeated separators, "." steps or
// through a link. Keys the walk's guard that lists an area directory once however many areas
// name it, so that a list naming one directory in many spellings costs no more than naming it
// once.

#include <cstdint>
#include <string>
#include <string_view>

namespace halvern::platform {

// The system's identity of the directory named in the host's form (POSIX: its device and inode;
// Windows: its volume serial number and file index) where it can be had, otherwise its
// normalised spelling.
std::string DirectoryIdentity(const char* hostDirectory);

// A host path with its separators ('\' or '/') collapsed into one '\', its "." steps removed and
// its ASCII letters folded: the key of a directory whose identity the system does not give.
std::string NormalisedSpelling(std::string_view hostPath);

// The keys' two forms, for the platform's implementations (the directory listing gives the key
// of the directory it has open): a directory the system identifies by its device or volume and
// its file number, and one known only by its spelling. The two never compare equal.
std::string IdentityKey(std::uint64_t device, std::uint64_t file);
std::string SpellingKey(std::string_view hostPath);

}  // namespace halvern::platform
