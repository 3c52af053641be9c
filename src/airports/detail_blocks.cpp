#include "airports/detail_blocks.h"

#include <algorithm>
#include <memory>
#include <new>

#include "airports/scenery_layout.h"

namespace halvern {

using namespace scenery;

namespace {

// The outcome of a walk that reached a later key after `before`: what the rest of the block
// finds replaces what came before it.
BlockOutcome Joined(const BlockOutcome& before, const BlockOutcome& after) {
    BlockOutcome joined = after;
    if (joined.position < 0) {
        joined.position = before.position;
    }
    if (joined.code < 0) {
        joined.code = before.code;
    }
    return joined;
}

// Position sub-record: three pairs of 32-bit words from +12.
constexpr std::uint64_t kPositionWordsLength = 24;

}  // namespace

DetailBlocks::DetailBlocks(const ImageReader& image, std::int64_t sectionEnd)
    : image_(image), sectionEnd_(sectionEnd) {
    const auto size = static_cast<std::int64_t>(image.Size());
    mapped_ = std::max<std::int64_t>(0, std::min(sectionEnd, size));
}

std::int64_t DetailBlocks::Step(std::int64_t q, BlockOutcome& outcome) {
    ++visits_;
    std::uint32_t kind = 0;
    std::uint32_t size = 0;
    if (!image_.U32(q, kind) || !image_.U32(q + 4, size)) {
        outcome.outside = true;
        return -1;
    }
    if (kind == kSubKindEnd) {
        return -1;
    }
    if (kind == kSubKindPosition) {
        if (!image_.Contains(q + kPositionLatitudeOffset, kPositionWordsLength)) {
            outcome.outside = true;
            return -1;
        }
        outcome.position = q;
    } else if (kind == kSubKindCode) {
        if (image_.Text(q + kCodeTextOffset) == nullptr) {
            outcome.outside = true;
            return -1;
        }
        outcome.code = q;
    }
    const std::int32_t step = kind == kSubKindShort ? 16 : WrappedStep(size);
    return step <= 0 ? -1 : q + step;
}

std::size_t DetailBlocks::IndexOf(std::int64_t offset) const {
    return static_cast<std::size_t>(
        std::lower_bound(keys_, keys_ + keyCount_, offset,
                         [](const Key& key, std::int64_t value) { return key.offset < value; }) -
        keys_);
}

bool DetailBlocks::Walk(std::int64_t* starts, std::size_t count) {
    std::sort(starts, starts + count);
    count = static_cast<std::size_t>(std::unique(starts, starts + count) - starts);
    if (count == 0) {
        return true;
    }
    // Every step goes forward, so no block reads below the first start: the maps begin there.
    base_ = std::min(starts[0], mapped_);
    const auto words = static_cast<std::size_t>((mapped_ - base_ + 63) / 64);
    // One block holds both maps, then the keys with their outcomes; a small file's fits in the
    // object itself. Each walk of the first pass ends at one junction at most.
    constexpr std::size_t kKeyWords = sizeof(Key) / sizeof(std::uint64_t);
    static_assert(sizeof(Key) % sizeof(std::uint64_t) == 0);
    const std::size_t total = 2 * words + 2 * count * kKeyWords;
    std::uint64_t* storage = inline_;
    if (total > kInlineWords) {
        heap_.reset(new (std::nothrow) std::uint64_t[total]);
        if (!heap_) {
            return false;
        }
        storage = heap_.get();
    }
    std::fill(storage, storage + 2 * words, std::uint64_t{0});
    read_ = storage;
    isKey_ = storage + words;
    keys_ = std::uninitialized_value_construct_n(reinterpret_cast<Key*>(storage + 2 * words),
                                                 2 * count) -
            2 * count;
    keyCount_ = count;
    for (std::size_t i = 0; i < count; ++i) {
        keys_[i].offset = starts[i];
        if (starts[i] < mapped_) {
            Mark(isKey_, starts[i]);
        }
    }

    // First pass: mark what each block reads, up to a sub-record another block read before. A
    // block that reaches its end without meeting one was walked whole: its outcome is final. In
    // a file whose blocks share nothing, which is every sound file, that is every block.
    for (std::size_t i = 0; i < count; ++i) {
        BlockOutcome outcome;
        bool joins = false;
        for (std::int64_t q = starts[i]; q >= 0 && q < sectionEnd_; q = Step(q, outcome)) {
            if (q >= mapped_) {
                // Cannot be read: the block ends there whatever reaches it.
                outcome.outside = true;
                break;
            }
            if (Marked(read_, q)) {
                if (!Marked(isKey_, q)) {
                    Mark(isKey_, q);
                    keys_[keyCount_++].offset = q;
                }
                joins = true;
                break;
            }
            Mark(read_, q);
        }
        keys_[i].outcome = outcome;
        keys_[i].final = !joins;
    }
    if (keyCount_ > count) {
        std::sort(keys_, keys_ + keyCount_,
                  [](const Key& a, const Key& b) { return a.offset < b.offset; });
    }

    // Second pass: the other keys in falling order, each walked up to the next key on its chain,
    // whose outcome is final by then.
    for (std::size_t i = keyCount_; i-- > 0;) {
        Key& key = keys_[i];
        if (key.final) {
            continue;
        }
        BlockOutcome outcome;
        std::int64_t q = key.offset;
        while (q >= 0 && q < sectionEnd_) {
            if (q != key.offset && Marked(isKey_, q)) {
                outcome = Joined(outcome, keys_[IndexOf(q)].outcome);
                break;
            }
            q = Step(q, outcome);
        }
        key.outcome = outcome;
        key.final = true;
    }
    return true;
}

BlockOutcome DetailBlocks::Outcome(std::int64_t start) const {
    // The airports of a file mostly ask in the order of their blocks: the key after the one
    // found last is tried before a search.
    std::size_t index = lastFound_ + 1;
    if (index >= keyCount_ || keys_[index].offset != start) {
        index = IndexOf(start);
    }
    if (index < keyCount_ && keys_[index].offset == start) {
        lastFound_ = index;
        return keys_[index].outcome;
    }
    return BlockOutcome{};
}

}  // namespace halvern
