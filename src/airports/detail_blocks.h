#pragma once

// The detail blocks of one scenery file, walked together so that no sub-record is read more than
// a few times however many airports point into the same bytes.
//
// A sub-record's successor depends only on its own offset, and every step goes forward, so the
// blocks of a file form chains that may merge but never part. Walking each airport's block on
// its own would read a shared block (or the shared end of many blocks) once per airport: time
// that grows with the square of the file size. Here the chains are walked twice:
//   1. from every block start, marking each sub-record read and stopping at one already marked,
//      which is recorded as a junction (an offset that two chains reach); a block that reaches
//      its end without one was walked whole, and its outcome is kept;
//   2. from every other start and every junction in falling order, up to the next start or
//      junction, whose outcome is already known and is joined to the part just walked.
// Both passes read each sub-record of the file at most once, and a file whose blocks share
// nothing is read once; the outcome of every block is what walking it alone would give.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "airports/image_reader.h"

namespace halvern {

// What walking a detail block from its start finds: the offsets of the last position and the
// last code sub-record before the block ends (-1 for none), or that a read would have left the
// image, which ends the walk of the whole file.
struct BlockOutcome {
    std::int64_t position = -1;
    std::int64_t code = -1;
    bool outside = false;
};

class DetailBlocks {
  public:
    // Blocks of `image` whose sub-records are walked while they lie below `sectionEnd`.
    DetailBlocks(const ImageReader& image, std::int64_t sectionEnd);

    // Walks the blocks that start at `starts` (offsets from 0 to below the section end, in any
    // order, repeats allowed; the array is sorted in place). False when storage cannot be
    // obtained.
    bool Walk(std::int64_t* starts, std::size_t count);

    // The outcome of the block that starts at `start`, one of the starts handed to Walk.
    BlockOutcome Outcome(std::int64_t start) const;

    // Sub-records read by Walk, both passes together.
    std::uint64_t Visits() const { return visits_; }

  private:
    // Reads the sub-record at `q` into `outcome`; the offset of the next sub-record, or -1 when
    // the block ends at this one (an end marker, a step that is not positive, a read outside
    // the image).
    std::int64_t Step(std::int64_t q, BlockOutcome& outcome);

    // The bit of sub-record offset `q` in a map (`q` from base_; Marked is false from mapped_).
    bool Marked(const std::uint64_t* bits, std::int64_t q) const {
        const std::int64_t bit = q - base_;
        return q < mapped_ && (bits[bit / 64] >> (bit % 64) & 1) != 0;
    }
    void Mark(std::uint64_t* bits, std::int64_t q) const {
        const std::int64_t bit = q - base_;
        bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    // A start or junction with the outcome of the walk from it, final once known whole.
    struct Key {
        std::int64_t offset;
        BlockOutcome outcome;
        bool final;
    };

    // The index of the first key at or above `offset`.
    std::size_t IndexOf(std::int64_t offset) const;

    const ImageReader& image_;
    std::int64_t sectionEnd_;
    // Offsets from base_ to below this have a bit in the maps: the lesser of the section end and
    // the image size (a sub-record at or beyond the image size cannot be read).
    std::int64_t mapped_ = 0;
    std::int64_t base_ = 0;  // the offset of the maps' first bit: the lowest block start
    // Storage of the maps, keys and outcomes: in the object for a small file, else on the heap.
    static constexpr std::size_t kInlineWords = 512;
    std::uint64_t inline_[kInlineWords];
    std::unique_ptr<std::uint64_t[]> heap_;
    std::uint64_t* read_ = nullptr;   // sub-records read by the first pass
    std::uint64_t* isKey_ = nullptr;  // starts and junctions
    Key* keys_ = nullptr;             // starts, then junctions; rising after the first pass
    std::size_t keyCount_ = 0;
    mutable std::size_t lastFound_ = SIZE_MAX;  // the key Outcome found last; none at first
    std::uint64_t visits_ = 0;
};

}  // namespace halvern
