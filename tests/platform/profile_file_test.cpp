#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

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
        {"Area.001", ";Active", ""},  // a comment
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
