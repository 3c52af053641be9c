#pragma once

// The text of an initialisation file (scenery.cfg) as the host platform's profile functions read
// it, measured on Wine's kernel32: decoded by its byte-order mark (UTF-8, UTF-16 in either byte
// order) or, without one, as Windows-1252; lines ended by any run of CR and LF; blanks trimmed
// (tab to carriage return, space and 0x1A); a header running from '[' to the line's last ']'
// (text after it ignored; a '[' without one starts a key line); a key line split at its first
// '=' (without one, a key without a value); a name or value ending at a NUL. The lines before
// the first header form a section without a name. Names compare without regard to ASCII letter
// case. Every section and line is kept in file order, with where it lies in the bytes, so that
// the module's reader, the diagnostics and a repair read one text alike.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace halvern {

enum class TextEncoding { kWindows1252, kUtf8, kUtf16Little, kUtf16Big };

struct ProfileLine {
    std::u16string_view key;
    std::u16string_view value;
    bool hasValue;    // the line holds a '='
    std::size_t end;  // the unit after the line's last one (where a line after it would begin)
};

struct ProfileSection {
    std::u16string_view name;  // empty for the lines before the first header
    std::size_t headerEnd;     // the unit after the header line's last one; 0 for the first
    std::size_t firstLine;     // its key lines are lines[firstLine, firstLine + lineCount)
    std::size_t lineCount;
};

class ProfileText {
  public:
    explicit ProfileText(std::string_view bytes);
    // The sections and lines are views of the text: it stays where it was made.
    ProfileText(const ProfileText&) = delete;
    ProfileText& operator=(const ProfileText&) = delete;

    TextEncoding Encoding() const { return encoding_; }
    const std::u16string& Units() const { return units_; }
    // Every section in file order, a name that heads several as often as it does; the first is
    // the one without a name.
    const std::vector<ProfileSection>& Sections() const { return sections_; }
    const std::vector<ProfileLine>& Lines() const { return lines_; }

    // The byte offset of a unit of the text (the bytes' length after the last).
    std::size_t ByteOffset(std::size_t unit) const;
    // What ends the file's lines: its first CR LF, LF or CR, or CR LF where it has none.
    std::u16string_view LineEnd() const;
    // Text in the file's encoding, for an edit of its bytes.
    std::string Encoded(std::u16string_view text) const;

    // A line's value as the host hands it out into a buffer of `capacity` characters (the
    // terminator included, at least one), in Windows-1252: without one pair of enclosing like
    // quotes, the opening one dropped before the value is cut to the buffer and the closing one
    // after, only when the buffer could hold the rest whole.
    static std::string ValueAsRead(const ProfileLine& line, std::size_t capacity);

    // Whether two names are one: equal but for ASCII letter case.
    static bool SameName(std::u16string_view a, std::u16string_view b);
    // Host text (Windows-1252) as units, and units as host text (the code page's best fit or '?').
    static std::u16string UnitsOfHostText(std::string_view text);
    static std::string HostTextOfUnits(std::u16string_view units);

  private:
    void Parse();

    TextEncoding encoding_ = TextEncoding::kWindows1252;
    std::size_t markSize_ = 0;
    std::u16string units_;
    std::vector<std::size_t> utf8Starts_;  // the byte offset of each unit of UTF-8 text
    std::size_t byteCount_ = 0;
    std::vector<ProfileSection> sections_;
    std::vector<ProfileLine> lines_;
};

}  // namespace halvern
