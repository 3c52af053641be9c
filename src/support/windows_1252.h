#pragma once

// The host's texts (names in scenery files, paths composed from scenery.cfg) are 8-bit texts in
// its code page, Windows-1252; the tools and a POSIX disk take UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace halvern {

// Converts UTF-8 text to Windows-1252; characters the code page lacks, and malformed bytes,
// become '?'.
std::string Windows1252FromUtf8(const std::string& utf8);

// Converts Windows-1252 text to UTF-8; the five bytes the code page leaves undefined become the
// C1 controls of their value, as the system converts them, so that any byte string gives valid
// UTF-8.
std::string Utf8FromWindows1252(const std::string& text);

// The code point of the well-formed UTF-8 sequence at `at`, which moves past it; none for a byte
// that begins no well-formed sequence (a stray continuation byte, a sequence cut short, an
// overlong form, a surrogate or a value beyond U+10FFFF), which `at` moves past alone.
std::optional<char32_t> NextUtf8CodePoint(std::string_view utf8, std::size_t& at);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// The Windows-1252 byte of a code point, where the code page has one.
std::optional<char> Windows1252Byte(char32_t codePoint);

// The byte the system converts a UTF-16 unit to (WideCharToMultiByte with its default flags): the
// code page's own, else its best fit (U+0100 'A' as 'A', U+0142 'l' with a stroke as 'l'), else
// '?'. A surrogate, half a character, is '?'.
char Windows1252ByteOfUnit(char16_t unit);

// The character of a Windows-1252 byte as the system converts it: the five bytes the code page
// leaves undefined stand for the C1 controls of the same value.
char32_t CodePointOfWindows1252(unsigned char byte);

}  // namespace halvern
