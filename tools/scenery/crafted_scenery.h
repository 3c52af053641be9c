#pragma once

// Scenery files crafted to multiply the extraction's work, at any size: each shape repeats one
// trick for as long as the file lasts. Used by the crafted-file benchmark (whose time must grow
// no faster than the size) and, small, as fuzz seeds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace halvern::crafted {

enum class Shape {
    kSharedBlock,   // every airport points to one block of seven sub-records
    kOneLongBlock,  // every airport points to another sub-record of one long block
    kLongCode,      // every airport's block reaches one code text that ends at the last byte
    kStepChain,     // blocks of overlapping sub-records stepping 7 bytes, one start per byte
    kPointingBack,  // every airport's block is the section itself, from its first airport on
    kManyRecords,   // a section of the smallest records, a sound airport now and then
};

inline constexpr Shape kShapes[] = {Shape::kSharedBlock, Shape::kOneLongBlock, Shape::kLongCode,
                                    Shape::kStepChain,   Shape::kPointingBack, Shape::kManyRecords};

inline const char* ShapeName(Shape shape) {
    switch (shape) {
        case Shape::kSharedBlock:
            return "shared-block";
        case Shape::kOneLongBlock:
            return "one-long-block";
        case Shape::kLongCode:
            return "long-code";
        case Shape::kStepChain:
            return "step-chain";
        case Shape::kPointingBack:
            return "pointing-back";
        case Shape::kManyRecords:
            return "many-records";
    }
    return "?";
}

class Image {
  public:
    // The header, and the facility section's first record at 0xA0; its size is set by Finish.
    Image() : bytes_(0xA0, 0) {
        Set(0x76, 0x87654321);
        Set(0x90, 1);
        Set(0x9C, 0xA0);
        U32(0x30001);
        U32(0);
        bytes_.resize(bytes_.size() + 16, 0);
    }

    std::size_t Size() const { return bytes_.size(); }

    void U32(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<unsigned char>(value >> (8 * i)));
        }
    }
    void Set(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    void Fill(std::size_t count, unsigned char value) { bytes_.resize(Size() + count, value); }

    // A section-level record that the walk steps over, whose payload follows; returns where
    // the payload starts. Its size is set by EndWrapper.
    std::size_t BeginWrapper() {
        wrapper_ = Size();
        U32(0x20001);
        U32(0);
        return Size();
    }
    void EndWrapper() { Set(wrapper_ + 4, static_cast<std::uint32_t>(Size() - wrapper_ - 8)); }

    void Filler() {
        U32(0x20002);
        U32(0);
    }
    void Position() {
        U32(0x10001);
        U32(28);
        U32(0);
        for (const std::uint32_t word : {111130u, 0u, 0u, 0u, 100u, 0u}) {
            U32(word);
        }
    }
    void Code(const std::string& text) {
        U32(0x10006);
        U32(static_cast<std::uint32_t>(text.size() + 1));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
    }
    void End() {
        U32(0);
        U32(0);
    }
    void Airport(std::size_t detail, const std::string& name) {
        U32(0x30002);
        U32(static_cast<std::uint32_t>(8 + name.size() + 1));
        U32(0x50001);
        U32(static_cast<std::uint32_t>(detail));
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.push_back(0);
    }

    // Pads to `size` (at least 129 zero bytes, so that every block starts far enough before the
    // section end) and closes the section at the end of the file.
    std::vector<unsigned char> Finish(std::size_t size) {
        Fill(Size() + 129 > size ? 129 : size - Size(), 0);
        Set(0xA4, static_cast<std::uint32_t>(Size() - 0xA0));
        return bytes_;
    }

  private:
    std::vector<unsigned char> bytes_;
    std::size_t wrapper_ = 0;
};

// Airport names: short, distinct.
inline std::string Name(std::size_t i) {
    return std::to_string(i);
}

// A file of about `size` bytes (never less than a few hundred) in the given shape.
inline std::vector<unsigned char> Scenery(Shape shape, std::size_t size) {
    Image image;
    const std::size_t half = size / 2;
    switch (shape) {
        case Shape::kSharedBlock: {
            const std::size_t block = image.BeginWrapper();
            for (int i = 0; i < 5; ++i) {
                image.Filler();
            }
            image.Position();
            image.Code("SHRD");
            image.End();
            image.EndWrapper();
            for (std::size_t i = 0; image.Size() + 160 < size; ++i) {
                image.Airport(block, Name(i));
            }
            break;
        }
        case Shape::kOneLongBlock: {
            const std::size_t block = image.BeginWrapper();
            while (image.Size() < half) {
                image.Filler();
            }
            image.Position();
            image.Code("LONG");
            image.End();
            image.EndWrapper();
            for (std::size_t i = 0; image.Size() + 160 < size; ++i) {
                image.Airport(block + 8 * (i % ((half - block) / 8)), Name(i));
            }
            break;
        }
        case Shape::kLongCode: {
            // The airports first, then their block: a position and a code whose text runs on to
            // the last byte of the file.
            std::vector<std::size_t> patch;
            for (std::size_t i = 0; image.Size() < half; ++i) {
                patch.push_back(image.Size() + 12);
                image.Airport(0, Name(i));
            }
            const std::size_t block = image.BeginWrapper();
            for (const std::size_t at : patch) {
                image.Set(at, static_cast<std::uint32_t>(block));
            }
            image.Position();
            image.U32(0x10006);
            image.U32(8);
            image.Fill(size > image.Size() + 1 ? size - image.Size() - 1 : 1, 'x');
            image.Fill(1, 0);
            image.EndWrapper();
            // The last byte of the file stays the code's zero: no padding after it.
            std::vector<unsigned char> bytes = image.Finish(0);
            bytes.resize(bytes.size() - 129);
            return bytes;
        }
        case Shape::kStepChain: {
            // Bytes of 0xFF read as sub-records of another kind whose size wraps to a step of 7.
            const std::size_t run = image.BeginWrapper();
            image.Fill(half, 0xFF);
            image.EndWrapper();
            for (std::size_t i = 0; image.Size() + 160 < size; ++i) {
                image.Airport(run + i % half, Name(i));
            }
            break;
        }
        case Shape::kPointingBack: {
            const std::size_t first = image.Size();
            for (std::size_t i = 0; image.Size() + 200 < size; ++i) {
                image.Airport(first, Name(i));
            }
            // Stepped over at section level, read by every block as its last position.
            image.Position();
            break;
        }
        case Shape::kManyRecords: {
            for (std::size_t i = 0; image.Size() + 300 < size; ++i) {
                if (i % 1000 == 999) {
                    const std::size_t block = image.BeginWrapper();
                    image.Position();
                    image.Code("MANY");
                    image.End();
                    image.EndWrapper();
                    image.Airport(block, Name(i));
                    continue;
                }
                // Kinds 0 and 1 step 8 and 16 whatever their size says.
                image.U32(static_cast<std::uint32_t>(i % 2));
                image.U32(0xFFFFFFFF);
                if (i % 2 == 1) {
                    image.Fill(8, 0xEE);
                }
            }
            break;
        }
    }
    return image.Finish(size);
}

}  // namespace halvern::crafted
