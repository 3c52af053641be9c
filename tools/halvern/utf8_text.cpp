#include "halvern/utf8_text.h"

#include "platform/native_path.h"
#include "scenery/windows_1252.h"

namespace halvern::tool {

std::string Utf8Name(const char* name) {
    return scenery::Utf8FromWindows1252(name);
}

std::string Utf8Path(const std::string& path) {
    const std::u8string utf8 = platform::PathFromArgument(path).u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace halvern::tool
