#include "platform/posix/desktop/registry_file_format.h"

#include <cstdint>
#include <vector>

#include "support/ascii_case.h"

// The file, one record a line:
//
//   halvern registry 1
//   key Software\Tavrel Software\Halvern
//   value 4 0d000000 AirportOptions
//   end
//
// "key" names a key by its path (a bare "key" is the root); the "value" lines after it belong to
// it: the registry type in decimal, the data in hexadecimal ("-" when empty), then the name to
// the end of the line. In paths and names every control character and '%' is written as %XX.
// The closing "end" tells a whole file from a cut one.

namespace halvern::platform::desktop {

namespace {

constexpr std::string_view kHeader = "halvern registry 1";
constexpr std::string_view kEnd = "end";
constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>((high << 4) | low);
        i += 2;
    }
    return out;
}

std::optional<std::vector<unsigned char>> BytesFromHex(std::string_view hex) {
    std::vector<unsigned char> bytes;
    if (hex == "-") {
        return bytes;
    }
    if (hex.empty() || hex.size() % 2 != 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<unsigned char>((high << 4) | low));
    }
    return bytes;
}

std::optional<std::uint32_t> DecimalValue(std::string_view text) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::string FormatRegistryFile(const StoredKeys& keys) {
    std::string text(kHeader);
    text += '\n';
    for (const auto& [folded, key] : keys) {
        // The root exists anyway; it is written only when it holds values.
        if (folded.empty() && key.values.empty()) {
            continue;
        }
        text += "key";
        if (!key.path.empty()) {
            text += ' ';
            AppendEscaped(text, key.path);
        }
        text += '\n';
        for (const auto& [foldedName, value] : key.values) {
            text += "value ";
            text += std::to_string(value.type);
            text += ' ';
            if (value.data.empty()) {
                text += '-';
            }
            for (const unsigned char byte : value.data) {
                text += kHexDigits[byte >> 4];
                text += kHexDigits[byte & 0xF];
            }
            text += ' ';
            AppendEscaped(text, value.name);
            text += '\n';
        }
    }
    text += kEnd;
    text += '\n';
    return text;
}

std::optional<StoredKeys> ParseRegistryFile(std::string_view text) {
    StoredKeys keys;
    keys.try_emplace(std::string(), StoredKey{});
    StoredKey* current = nullptr;
    bool first = true;
    bool ended = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            return std::nullopt;  // every line of a whole file ends in a line feed
        }
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (ended) {
            return std::nullopt;
        }
        if (first) {
            if (line != kHeader) {
                return std::nullopt;
            }
            first = false;
        } else if (line == kEnd) {
            ended = true;
        } else if (line == "key" || line.starts_with("key ")) {
            const std::optional<std::string> path =
                Unescaped(line.size() > 3 ? line.substr(4) : std::string_view());
            if (!path || !ValidKeyPath(*path)) {
                return std::nullopt;
            }
            current = &AddKeyPath(keys, *path);
        } else if (line.starts_with("value ")) {
            const std::string_view rest = line.substr(6);
            const std::size_t typeEnd = rest.find(' ');
            if (current == nullptr || typeEnd == std::string_view::npos) {
                return std::nullopt;
            }
            const std::size_t dataEnd = rest.find(' ', typeEnd + 1);
            const std::optional<std::uint32_t> type = DecimalValue(rest.substr(0, typeEnd));
            const std::optional<std::vector<unsigned char>> data = BytesFromHex(rest.substr(
                typeEnd + 1, dataEnd == std::string_view::npos ? std::string_view::npos
                                                               : dataEnd - typeEnd - 1));
            const std::optional<std::string> name = Unescaped(
                dataEnd == std::string_view::npos ? std::string_view() : rest.substr(dataEnd + 1));
            if (!type || !data || !name) {
                return std::nullopt;
            }
            current->values[FoldedAscii(*name)] = StoredValue{*name, *type, *data};
        } else {
            return std::nullopt;
        }
    }
    if (!ended) {
        return std::nullopt;
    }
    return keys;
}

}  // namespace halvern::platform::desktop
