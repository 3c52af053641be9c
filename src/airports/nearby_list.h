#pragma once

// The nearby list and the query that fills it: the record indices of the airports within a
// distance of the aircraft, in database order, each code listed once. The overlay's refresh
// reads it; the module's database owns one (AirportFinder).

#include <cstddef>
#include <cstdint>

#include "airports/airport_record.h"
#include "geo/world_position.h"

namespace halvern {

// The growth rule of the database's arrays: they start with room for 1000 entries, and an append
// past the capacity raises it to the new count + 1000.
inline constexpr std::int32_t kListInitialCapacity = 1000;
inline constexpr std::int32_t kListCapacityStep = 1000;

class NearbyList {
  public:
    // Empty and without storage: the owner takes the first block (Resize), and when it cannot be
    // obtained the first append tries again.
    NearbyList() = default;
    ~NearbyList();
    NearbyList(const NearbyList&) = delete;
    NearbyList& operator=(const NearbyList&) = delete;

    // Rebuilds the list: in database order, every one of `recordCount` records whose position
    // lies within `limitMetres` of `position` and whose code is not yet in the list. When the
    // list cannot grow it keeps the airports found so far.
    void Find(const AirportRecord* records, std::int32_t recordCount, const WorldPosition& position,
              double limitMetres);

    // Empties the list; its storage stays.
    void Clear() { count_ = 0; }

    // Appends one index, following the growth rule; false (and the list unchanged) when storage
    // cannot be obtained.
    bool Append(std::int32_t index);

    // Grows the list's block to `capacity` entries, keeping its contents; false (and the list
    // unchanged) when storage cannot be obtained.
    bool Resize(std::int32_t capacity);

    std::int32_t Count() const { return count_; }
    std::int32_t Capacity() const { return capacity_; }
    const std::int32_t* Indices() const { return indices_; }

  private:
    // One node of the tree of the codes in the list: a crit-bit tree whose leaves are list
    // entries. A child is a node index, or ~entry for a leaf.
    struct CodeNode {
        std::int32_t child[2];
        std::uint32_t bit;  // the highest bit in which the codes below the two children differ
    };

    static constexpr std::size_t kEntryBytes =
        sizeof(std::int32_t) + sizeof(std::uint32_t) + sizeof(CodeNode);

    // The codes of the list during a query: whether a code key is listed, and the key of list
    // entry `entry` (entries 0 to entry - 1 added already) added to the tree whose root is
    // `root`.
    std::int32_t ClosestListedEntry(std::uint32_t key, std::int32_t root) const;
    bool ListedCode(std::uint32_t key, std::int32_t root) const;
    void AddListedCode(std::uint32_t key, std::int32_t entry, std::int32_t& root);

    // The indices, and once the list has outgrown its first block, the code of each entry as a
    // 32-bit key and one tree node for each entry after the first. The three arrays then share
    // one block (indices, keys, nodes, each `capacity_` long) that grows as the list does, so the
    // query allocates no more than the list alone would; the first block holds only the indices
    // (keys and nodes null), so a list that never grows costs what it did.
    std::int32_t* indices_ = nullptr;
    std::uint32_t* keys_ = nullptr;
    CodeNode* nodes_ = nullptr;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = 0;
};

}  // namespace halvern
