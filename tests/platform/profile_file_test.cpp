#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"

namespace halvern {
namespace {

using platform::ProfileFile;

std::string Read(const ProfileFile& file, const char* section, const char* key) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);  // a value must replace whatever was there
    file.ReadString(section, key, buffer, sizeof buffer);
    return buffer;
}

struct ValueCase {
    const char* section;
    const char* key;
    const char* expected;
};

TEST(ProfileFile, FindsValuesIgnoringCaseAndKeepsTheFirstOccurrence) {
    const char* const lines[] = {
        "; a comment line",
        "Orphan=before any section",
        "[General]",
        "Title=Scenery list",
        "[AREA.001]",
        "  LOCAL  =  Addon\\One  ",
        "\tActive=TRUE",
        ";Active=FALSE",
        "Local=second occurrence",
        "Path=a=b",
        "Quoted=\"  kept blanks  \"",
        "Empty=",
        "[Area.001]",
        "Extra=in a repeated section",
        "[ Spaced ] trailing text",
        "key=v",
    };
    const ValueCase cases[] = {
        {"Area.001", "Local", "Addon\\One"},
        {"area.001", "ACTIVE", "TRUE"},
        {"Area.001", "Path", "a=b"},
        {"Area.001", "Quoted", "  kept blanks  "},
        {"Area.001", "Empty", ""},
        {"Area.001", "Extra", ""},
        {"general", "title", "Scenery list"},
        {"Spaced", "Key", "v"},
        {"General", "Orphan", ""},
        {"Missing", "Title", ""},
        {"General", "Missing", ""},
        {"Area.001", ";Active", "FALSE"},  // a comment line is found by its literal key
    };
    // Each line end, and the encodings the host platform's reader accepts: plain bytes, UTF-8
    // with a byte-order mark, UTF-16 little-endian with its mark.
    enum class Encoding { kBytes, kUtf8Mark, kUtf16 };
    testing::TempDir dir;
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        for (const Encoding encoding : {Encoding::kBytes, Encoding::kUtf8Mark, Encoding::kUtf16}) {
            std::string text;
            for (const char* line : lines) {
                text += std::string(line) + lineEnd;
            }
            std::string bytes = encoding == Encoding::kUtf8Mark ? "\xEF\xBB\xBF" + text : text;
            if (encoding == Encoding::kUtf16) {
                bytes = "\xFF\xFE";
                for (const char c : text) {
                    bytes += c;
                    bytes += '\0';
                }
            }
            std::ofstream(dir.File("scenery.cfg"), std::ios::binary) << bytes;
            ProfileFile file;
            ASSERT_TRUE(file.Load(dir.File("scenery.cfg").c_str()));
            for (const ValueCase& c : cases) {
                EXPECT_EQ(Read(file, c.section, c.key), c.expected)
                    << "[" << c.section << "] " << c.key << ", line end " << (lineEnd[0] == '\r')
                    << ", encoding " << static_cast<int>(encoding);
            }
        }
    }
}

TEST(ProfileFile, ReadsEachRuleAsWinesKernel32Does) {
    // Each file, asked for one value into a buffer of `capacity`, and what the host platform's
    // reader (Wine's kernel32, measured) handed out.
    struct Case {
        std::string file;
        const char* section;
        const char* key;
        std::size_t capacity;
        std::string expected;
    };
    const std::string quoted300 = "\"" + std::string(300, 'q') + "\"";
    const Case cases[] = {
        // A key line without '=' is the key, without a value, and the first occurrence counts.
        {"[A]\nLocal\nLocal=X\n", "A", "Local", 260, ""},
        {"[A]\nLocalX\nLocal=X\n", "A", "Local", 260, "X"},
        // The blanks trimmed are tab to carriage return, space and 0x1A; a no-break space stays.
        {"[A]\nK=\v\f\x1Av\x1A \n", "A", "K", 260, "v"},
        {"[A]\nK=\xA0v\xA0\n", "A", "K", 260, "\xA0v\xA0"},
        // A header runs to the line's last ']'; a '[' without one starts a key line.
        {"[x]y] text\nK=v\n", "x]y", "K", 260, "v"},
        {"[A]\n[B=1\n", "A", "[B", 260, "1"},
        // Lines before the first header are in no named section; a NUL ends a value.
        {"K=v\n[A]\n", "A", "K", 260, ""},
        {std::string("[A]\nK=ab\0cd\n", 13), "A", "K", 260, "ab"},
        // ';' and '#' after a value are the value's; a lone CR ends a line.
        {"[A]\nK=v ; note # more\rL=w\n", "A", "K", 260, "v ; note # more"},
        {"[A]\nK=v ; note # more\rL=w\n", "A", "L", 260, "w"},
        // A quoted value loses its quotes; cut to the buffer, its closing quote goes only when
        // the rest fits.
        {"[A]\nK='a b'\n", "A", "K", 260, "a b"},
        {"[A]\nK=\"a'\n", "A", "K", 260, "\"a'"},
        {"[A]\nK=" + quoted300 + "\n", "A", "K", 301, std::string(299, 'q')},
        {"[A]\nK=" + quoted300 + "\n", "A", "K", 260, std::string(259, 'q')},
        // Without a byte-order mark the bytes are Windows-1252; with one, UTF-8 or UTF-16 in
        // either order, handed out in Windows-1252, its best fit or '?'.
        {"[A]\nK=Caf\xC3\xA9\n", "A", "K", 260, "Caf\xC3\xA9"},
        {"\xEF\xBB\xBF[A]\nK=Caf\xC3\xA9 \xC5\x81\xC3\xB3"
         "d\xC5\xBA \xD0\x94 \xF0\x9F\x98\x80\n",
         "A", "K", 260,
         "Caf\xE9 L\xF3"
         "dz ? ??"},
        {std::string("\xFE\xFF\0[\0A\0]\0\n\0K\0=\x20\xAC", 16), "A", "K", 260, "\x80"},
        // A fullwidth '=' is no '=' in UTF-16, though its best fit is.
        {"\xEF\xBB\xBF[A]\nK\xEF\xBC\x9Dv\n", "A",
         "K\x3D"
         "v",
         260, ""},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        std::ofstream(dir.File("t.ini"), std::ios::binary | std::ios::trunc) << c.file;
        ProfileFile file;
        ASSERT_TRUE(file.Load(dir.File("t.ini").c_str()));
        std::string buffer(c.capacity + 1, '#');
        file.ReadString(c.section, c.key, buffer.data(), c.capacity);
        EXPECT_EQ(std::string(buffer.c_str()), c.expected) << c.file;
    }
}

TEST(ProfileFile, CopiesAtMostCapacityLessOneCharacters) {
    testing::TempDir dir;
    std::ofstream(dir.File("a.ini")) << "[S]\nK=ABCDEFGHIJ\n";
    ProfileFile file;
    ASSERT_TRUE(file.Load(dir.File("a.ini").c_str()));
    const struct {
        std::size_t capacity;
        const char* expected;
    } cases[] = {{1, ""}, {5, "ABCD"}, {10, "ABCDEFGHI"}, {11, "ABCDEFGHIJ"}, {40, "ABCDEFGHIJ"}};
    for (const auto& c : cases) {
        char buffer[48];
        std::memset(buffer, '#', sizeof buffer);
        file.ReadString("S", "K", buffer, c.capacity);
        EXPECT_STREQ(buffer, c.expected) << c.capacity;
        EXPECT_EQ(buffer[c.capacity], '#') << "wrote past the capacity " << c.capacity;
    }
}

TEST(ProfileFile, AMissingFileOrADirectoryReadsAsEmpty) {
    testing::TempDir dir;
    for (const std::string& path : {dir.File("absent.cfg"), dir.path().string()}) {
        ProfileFile file;
        EXPECT_FALSE(file.Load(path.c_str())) << path;
        EXPECT_EQ(Read(file, "Area.001", "Active"), "") << path;
    }
}

}  // namespace
}  // namespace halvern
