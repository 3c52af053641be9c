#pragma once

// Paths handed to the module from outside (a command line, the module file's own path) come in
// the operating system's form; the module works in the host's form, with backslashes.

#include <cstdio>
#include <filesystem>
#include <string>

namespace halvern::platform {

// The host form of a path in the operating system's form.
std::string HostPathFromNative(const std::string& nativePath);

// A host path as a file-system path, for the tools' own walks over folders: on Windows the host's
// text through the ANSI code page; on POSIX its disk spelling, each component found as the host
// platform finds it where it does not exist as spelled.
std::filesystem::path PathFromHostText(const std::string& hostPath);

// A host path (or name) in UTF-8, its separators as they are, for showing it: on Windows the
// host's texts are in the ANSI code page, as the narrow calls take them; on POSIX in
// Windows-1252, as the portable layer reads them.
std::string Utf8FromHostText(const std::string& hostText);

// A path given as a narrow string on a command line, as a file-system path. On Windows such a
// string is in the ANSI code page (as the system's narrow file functions read it), while a
// std::filesystem::path made from it directly would take it for another character set.
std::filesystem::path PathFromArgument(const std::string& argument);

// A file-system path as a narrow string of the same encoding, for the system's narrow file
// functions and for messages; characters that the ANSI code page lacks become '?'.
std::string ArgumentFromPath(const std::filesystem::path& path);

// Whether a directory named on a command line lies where the module's paths cannot name it: on
// POSIX, a path that holds '\\' (the module takes every backslash for a separator). Never on
// Windows, where it is a separator.
bool NameHoldsHostSeparator(const std::string& argument);

// True when the stream is an interactive terminal (progress is drawn only there).
bool IsTerminal(std::FILE* stream);

// Whether the text of a command line, and what a terminal shows, is UTF-8 (POSIX), rather than
// the ANSI code page (Windows).
bool TerminalTextIsUtf8();

}  // namespace halvern::platform
