#pragma once

// The spellings under which the module may know a directory that a pilot names on a command
// line. The module composes every scenery path from the directory it derives from its own
// file's name, and the scenery fingerprint folds those paths byte for byte: only the spelling
// the module used finds its cache valid. Which one it used cannot be known from outside; these
// are the candidates, and only a cache whose fingerprint matches under one proves it.

#include <string>
#include <vector>

namespace halvern::platform {

// The candidates for a directory named by a command-line argument, each in the host's form
// with a trailing separator, each once, in this order: the directory made absolute and
// normalised (no "." steps, no doubled separators), with every component's letter case as its
// directory lists it; the same in the letter case as typed; the same with links resolved; on
// Windows each of these with the drive letter in the other case; on POSIX, the paths under which
// Wine reaches it (Z:, a prefix's drive_c as C: and its other drive links, drive letters in either
// case). Empty when the directory does not exist.
std::vector<std::string> DirectorySpellings(const std::string& argument);

// The platform's part of DirectorySpellings: the candidates in order, a spelling perhaps more
// than once.
std::vector<std::string> SpellingsOfDirectory(const std::string& argument);

}  // namespace halvern::platform
