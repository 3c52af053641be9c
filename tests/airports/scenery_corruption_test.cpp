// Damaged scenery files never crash the extraction or make it read outside the file image.
// Under the sanitizer build every image lives in a heap block of exactly its size, so a read
// one byte past the end is reported.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "fixtures/recording_collector.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace halvern {
namespace {

using scenery::MakeAirport;
using scenery::SceneryFileWriter;

std::vector<unsigned char> ValidFile(std::mt19937& random) {
    SceneryFileWriter writer;
    const int airports = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < airports; ++i) {
        const std::string name(1 + random() % 40, static_cast<char>('A' + i));
        writer.Add(MakeAirport(name, "C" + std::to_string(i), -60.0 + i * 20.0, 170.0 - i * 50.0,
                               i * 100.0));
        if (random() % 3 == 0) {
            writer.Add(scenery::SectionRecord{0x20001, std::vector<unsigned char>(random() % 24, 0),
                                              std::nullopt});
        }
    }
    return writer.Build();
}

// One damage of a kind a broken or hostile file shows.
void Damage(std::vector<unsigned char>& bytes, std::mt19937& random) {
    if (bytes.empty()) {
        return;
    }
    const auto at = [&] { return static_cast<std::size_t>(random() % bytes.size()); };
    const std::uint32_t hostile[] = {
        0,          4,          0x7FFFFFFF, 0x80000000,
        0xFFFFFFFF, 0xFFFFFFF8, 0x30001,    0x30002,
        0x10001,    0x10006,    0x50001,    static_cast<std::uint32_t>(bytes.size())};
    switch (random() % 6) {
        case 0:  // truncation
            bytes.resize(at());
            break;
        case 1:  // flipped bits
            bytes[at()] ^= static_cast<unsigned char>(1u << (random() % 8));
            break;
        case 2: {  // a hostile 32-bit value (sizes, offsets, kinds) at any position
            const std::size_t offset = at();
            if (offset + 4 <= bytes.size()) {
                StoreU32(bytes.data() + offset, hostile[random() % std::size(hostile)]);
            }
            break;
        }
        case 3: {  // a value at a 4-byte boundary inside the section, where heads and fields lie
            const std::size_t offset = (0xA0 + (at() & ~std::size_t{3})) % bytes.size();
            if (offset + 4 <= bytes.size()) {
                StoreU32(bytes.data() + offset,
                         static_cast<std::uint32_t>(random()) | (random() % 2 ? 0x80000000u : 0));
            }
            break;
        }
        case 4:  // terminators removed: every zero byte from some point on
            for (std::size_t i = at(); i < bytes.size(); ++i) {
                if (bytes[i] == 0) {
                    bytes[i] = 'x';
                }
            }
            break;
        default:  // the facility section pointed elsewhere
            if (bytes.size() >= 0xA0) {
                StoreU32(bytes.data() + 0x9C,
                         static_cast<std::uint32_t>(random() % (bytes.size() + 64)));
            }
            break;
    }
}

// 20000 rounds; HALVERN_CORRUPTION_ROUNDS sets fewer (or more) for slow runners such as
// valgrind.
int CorruptionRounds() {
    const char* text = std::getenv("HALVERN_CORRUPTION_ROUNDS");
    if (text == nullptr) {
        return 20000;
    }
    const int rounds = std::atoi(text);
    return rounds > 0 ? rounds : 20000;
}

TEST(SceneryCorruption, DamagedFilesNeverReadOutsideTheImage) {
    std::mt19937 random(20261207);
    std::size_t reported = 0;
    const int rounds = CorruptionRounds();
    for (int round = 0; round < rounds; ++round) {
        std::vector<unsigned char> bytes = ValidFile(random);
        const int damages = 1 + static_cast<int>(random() % 4);
        for (int d = 0; d < damages; ++d) {
            Damage(bytes, random);
        }
        // An exact-size heap copy: the sanitizer sees any read past the end.
        const std::size_t size = bytes.size();
        std::unique_ptr<unsigned char[]> image(new unsigned char[size == 0 ? 1 : size]);
        if (size != 0) {
            std::memcpy(image.get(), bytes.data(), size);
        }
        testing::RecordingCollector collector;
        collector.ParseMappedFile(size == 0 ? nullptr : image.get(), size);
        for (const auto& airport : collector.airports) {
            ASSERT_LT(airport.name.size(), size) << "a name longer than its file";
            ASSERT_LE(airport.code.size(), 7u) << "the code buffer holds seven characters";
        }
        reported += collector.airports.size();
    }
    // Most damage leaves some airports readable: the test exercises the walk, not only the header.
    EXPECT_GT(reported, static_cast<std::size_t>(rounds) / 2);
}

}  // namespace
}  // namespace halvern
