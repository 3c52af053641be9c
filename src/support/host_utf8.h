#pragma once

// UTF-8 as the host platform decodes it under Wine (a name on a Linux disk, a text file with a
// UTF-8 byte-order mark), measured: a byte that leads no character, or a character whose
// continuation fails (checked byte by byte, as far as it goes), is U+FFFD; a character cut off by
// the end is U+FFFD and ends the text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace halvern {

// The UTF-16 units of the bytes. With `starts`, it also receives the byte offset at which each
// unit's character starts, and after the last the bytes' length, for edits of the bytes by
// their units.
std::u16string UnitsOfUtf8(std::string_view bytes, std::vector<std::size_t>* starts = nullptr);

}  // namespace halvern
