#pragma once

// The texts of the report and the finder as they are shown. Airport names are in the host's code
// page, Windows-1252; paths in the form the operating system's narrow functions take (the ANSI
// code page on Windows, any bytes elsewhere). Every face converts them alike: the JSON to valid
// UTF-8, whose writer escapes control characters; the HTML page and the terminal also with
// each C0 control character and DEL shown as its Unicode control picture (U+2400 to U+241F,
// U+2421), and each C1 control or invisible formatting character as "<U+XXXX>", so that a byte
// from a scenery file never acts on a terminal, turns the text around it or hides, and a line
// break inside a name never starts a line of its own.

#include <optional>
#include <string>
#include <string_view>

namespace halvern::tool {

// Valid UTF-8 of a name, and of a path (bytes that form no UTF-8 become U+FFFD).
std::string Utf8Name(const char* name);
std::string Utf8Path(const std::string& path);

// UTF-8 text with its control characters replaced by their pictures, and the C1 controls and
// the invisible characters that format or turn text (U+061C, U+200B to U+200F, U+2028 to
// U+202E, U+2066 to U+2069, U+FEFF) by the visible text "<U+XXXX>".
std::string WithControlPictures(std::string_view utf8);

// A JSON document with those C1 controls and invisible characters written as \u escapes.
std::string WithInvisibleEscaped(std::string_view json);

// A name and a path for the HTML page.
std::string PageName(const char* name);
std::string PagePath(const std::string& path);

// A name and a path for the terminal: as for the page where the terminal takes UTF-8; where it
// takes the ANSI code page (Windows), the bytes as they are, with '?' for a control character.
std::string ShownName(const char* name);
std::string ShownPath(const std::string& path);

// Text typed at the terminal, as the terminal shows it.
std::string ShownArgument(const std::string& typed);

// Text typed at the terminal, in Windows-1252 to compare with names. None when it holds a
// character that code page lacks: no name can contain it. Text that is not UTF-8 where the
// terminal takes UTF-8 is taken as the bytes typed.
std::optional<std::string> NameTextFromTerminal(const std::string& typed);

}  // namespace halvern::tool
