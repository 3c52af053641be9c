#include "airports/scenery_fingerprint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fixtures/file_entry.h"

namespace halvern {
namespace {

using testing::Entry;

TEST(SceneryFingerprint, FoldsPathBytesSizeAndWriteTime) {
    // ((65 * 3) + 92) * 3 + 98 = 959, then XOR (size ^ written low ^ written high).
    EXPECT_EQ(FoldFingerprint(0, "A\\b", Entry(0, 0)), 959u);
    EXPECT_EQ(FoldFingerprint(0, "A\\b", Entry(0x100, 0x0000000300000010)),
              959u ^ 0x100 ^ 0x10 ^ 3);
    // Bytes of 0x80 and above count as negative numbers.
    EXPECT_EQ(FoldFingerprint(0, "\xE9", Entry(0, 0)), 0xFFFFFFE9u);
    EXPECT_EQ(FoldFingerprint(1, "\xFF", Entry(0, 0)), 2u);
    // Arithmetic wraps modulo 2^32.
    EXPECT_EQ(FoldFingerprint(0x80000000u, "", Entry(0, 0)), 0x80000000u);
    EXPECT_EQ(FoldFingerprint(0x80000000u, "\x01", Entry(0, 0)), 0x80000001u);
    // Paths of every length fold as byte after byte.
    std::string path;
    std::uint32_t folded = 11;
    for (const char c : std::string_view("C:\\S\xE9\xFF\\x.bgl")) {
        path += c;
        folded = folded * 3u + static_cast<std::uint32_t>(static_cast<std::int8_t>(c));
        EXPECT_EQ(FoldFingerprint(11, path, Entry(0, 0)), folded) << path;
    }
}

TEST(SceneryFingerprint, IgnoresHighSizeBitsCreationAndAccessTimes) {
    platform::FileEntry a = Entry(0x0000000100000042, 77);
    platform::FileEntry b = Entry(0x42, 77);
    b.creationTime = 999;
    b.lastAccessTime = 888;
    b.attributes = 0x10;
    EXPECT_EQ(FoldFingerprint(5, "x.bgl", a), FoldFingerprint(5, "x.bgl", b));
}

TEST(SceneryFingerprint, ChangesWithEveryPropertyAndWithOrder) {
    const std::uint32_t base =
        FoldFingerprint(FoldFingerprint(0, "a\\1.bgl", Entry(10, 20)), "a\\2.bgl", Entry(30, 40));
    const std::uint32_t variants[] = {
        FoldFingerprint(FoldFingerprint(0, "a\\2.bgl", Entry(30, 40)), "a\\1.bgl", Entry(10, 20)),
        FoldFingerprint(FoldFingerprint(0, "a\\1.bgl", Entry(11, 20)), "a\\2.bgl", Entry(30, 40)),
        FoldFingerprint(FoldFingerprint(0, "a\\1.bgl", Entry(10, 21)), "a\\2.bgl", Entry(30, 40)),
        FoldFingerprint(FoldFingerprint(0, "a\\3.bgl", Entry(10, 20)), "a\\2.bgl", Entry(30, 40)),
        FoldFingerprint(0, "a\\1.bgl", Entry(10, 20)),
    };
    for (std::uint32_t variant : variants) {
        EXPECT_NE(variant, base);
    }
}

}  // namespace
}  // namespace halvern
