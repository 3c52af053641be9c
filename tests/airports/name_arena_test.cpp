#include "airports/name_arena.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "airports/airport_finder.h"

namespace halvern {
namespace {

TEST(NameArena, CopiesStayIntactAcrossManyBlocks) {
    NameArena arena;
    std::vector<std::string> texts;
    std::vector<const char*> copies;
    for (int i = 0; i < 20000; ++i) {
        // Lengths from 0 to 300, and now and then one larger than any block the arena picks.
        const std::size_t length =
            i % 4999 == 0 ? (std::size_t{3} << 20) : static_cast<std::size_t>(i * 7919 % 301);
        texts.emplace_back(length, static_cast<char>('a' + i % 26));
        texts.back() += std::to_string(i);
        copies.push_back(arena.Copy(texts.back().c_str(), texts.back().size()));
        ASSERT_NE(copies.back(), nullptr);
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(texts[i], copies[i]) << i;
    }
}

TEST(NameArena, CopiesAPrefixAndTerminatesIt) {
    NameArena arena;
    EXPECT_STREQ(arena.Copy("Lakeside Field", 8), "Lakeside");
    EXPECT_STREQ(arena.Copy("", 0), "");
    EXPECT_STREQ(arena.Copy("A\0B", 3), "A");  // an inner zero ends the text as stored
}

TEST(NameArena, CopiesTheTextOfAFieldUpToItsFirstZero) {
    NameArena arena;
    ASSERT_TRUE(arena.Reserve(12));
    const std::size_t held = arena.BytesHeld();
    // A field that ends in a zero takes exactly its length, wherever its first zero lies.
    EXPECT_STREQ(arena.CopyField("Field\0", 6), "Field");
    EXPECT_STREQ(arena.CopyField("A\0BCD\0", 6), "A");
    EXPECT_EQ(arena.BytesHeld(), held);
    // Any other field: up to its first zero, or all of it and a zero.
    EXPECT_STREQ(arena.CopyField("XY\0Z", 4), "XY");
    EXPECT_STREQ(arena.CopyField("Open", 4), "Open");
    EXPECT_STREQ(arena.CopyField("", 0), "");
    // In a buffer that may be read further, the bytes moved with a short field leave the copies
    // before it intact and are overwritten by the next one.
    const std::string buffer = std::string("Kilo\0Lima\0", 10) + std::string(100, 'x');
    const char* kilo = arena.CopyField(buffer.data(), 5, buffer.size());
    const char* lima = arena.CopyField(buffer.data() + 5, 5, buffer.size() - 5);
    EXPECT_STREQ(kilo, "Kilo");
    EXPECT_STREQ(lima, "Lima");
    EXPECT_EQ(lima, kilo + 5);
}

TEST(NameArena, AReservedTotalTakesOneBlockOfExactlyThatSize) {
    NameArena arena;
    ASSERT_TRUE(arena.Reserve(30000));
    const std::size_t held = arena.BytesHeld();
    // 1000 copies of 29 characters and their terminators: 30000 bytes.
    for (int i = 0; i < 1000; ++i) {
        ASSERT_NE(arena.Copy("Regional Airfield Number 0000", 29), nullptr);
    }
    EXPECT_EQ(arena.BytesHeld(), held);
    EXPECT_LT(held, 30000u + 64u);
    // One byte more than reserved needs another block.
    ASSERT_NE(arena.Copy("", 0), nullptr);
    EXPECT_GT(arena.BytesHeld(), held);
}

TEST(NameArena, GrowthKeepsTheUnusedRoomSmall) {
    NameArena arena;
    std::size_t stored = 0;
    for (int i = 0; i < 50000; ++i) {
        arena.Copy("Some Regional Airport 12345", 27);
        stored += 28;
    }
    // At most an eighth of what is held is unused room or block headers, beyond the first block.
    EXPECT_LT(arena.BytesHeld(), stored + stored / 8 + 4096);
}

TEST(NameArena, ReleaseGivesEverythingBackAndTheArenaStaysUsable) {
    NameArena arena;
    arena.Copy("First", 5);
    arena.Reserve(100000);
    EXPECT_GT(arena.BytesHeld(), 100000u);
    arena.Release();
    EXPECT_EQ(arena.BytesHeld(), 0u);
    EXPECT_STREQ(arena.Copy("Again", 5), "Again");
}

TEST(AirportFinderNames, EveryNameSurvivesGrowthAndRefillingAfterEmptying) {
    AirportFinder finder;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 3000; ++i) {
            finder.AddAirport(("Field " + std::to_string(round) + "-" + std::to_string(i)).c_str(),
                              1, 2, 3, "CODE");
        }
        EXPECT_STREQ(finder.Record(0).name, ("Field " + std::to_string(round) + "-0").c_str());
        EXPECT_STREQ(finder.Record(2999).name,
                     ("Field " + std::to_string(round) + "-2999").c_str());
        finder.ClearRecords();
        EXPECT_EQ(finder.RecordCount(), 0);
    }
}

}  // namespace
}  // namespace halvern
