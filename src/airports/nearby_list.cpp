#include "airports/nearby_list.h"

// The query keeps, in database order, every airport within the limit whose code is not yet
// listed. Two devices keep it fast without changing any result:
//   - a latitude band: the distance is never less than the latitude difference at 111120 m a
//     degree, so an airport whose latitude lies farther from the query's than the limit (and a
//     margin far above every rounding involved) cannot pass the distance test, and is passed over
//     before its position is converted and measured;
//   - while the list fits its first block (1000 entries), a filter of the codes listed so far:
//     a code whose bit is clear cannot be in the list, so the list is searched only when the bit
//     is set (at most 1000 entries, a bounded cost);
//   - once the list has outgrown that block, a crit-bit tree of the codes listed so far, kept in
//     the grown block: a code is looked up and added in at most 32 steps whatever the codes, so
//     a query with many airports in range takes time linear in them instead of their square.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "airports/growable_array.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"
#include "geo/position_units.h"
#include "platform/extended_precision.h"

namespace halvern {

namespace {

// Codes are compared over at most four characters, stopping after the first zero: "AB" and
// "ABC" differ, two empty codes are equal, and bytes after a code's terminator never count. The
// key holds exactly those characters, so equal codes have equal keys and others differ.
std::uint32_t CodeKey(const char (&code)[5]) {
    std::uint32_t key = 0;
    for (int i = 0; i < 4 && code[i] != '\0'; ++i) {
        key |= static_cast<std::uint32_t>(static_cast<unsigned char>(code[i])) << (8 * i);
    }
    return key;
}

// A one-sided filter of the codes in the list: one bit per hash of a code, cleared for every
// query. Equal codes have equal keys, so they always hash alike.
class ListedCodes {
  public:
    ListedCodes() { std::memset(bits_, 0, sizeof bits_); }

    void Add(std::uint32_t key) {
        const std::uint32_t bit = Bit(key);
        bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    // False only when no listed code equals this one.
    bool MayHold(std::uint32_t key) const {
        const std::uint32_t bit = Bit(key);
        return (bits_[bit / 64] >> (bit % 64) & 1) != 0;
    }

  private:
    static constexpr std::uint32_t kBitsLog2 = 14;

    static std::uint32_t Bit(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kBitsLog2); }

    std::uint64_t bits_[(std::uint32_t{1} << kBitsLog2) / 64];
};

// The latitudes, in degrees, outside which no airport can lie within the limit.
class LatitudeBand {
  public:
    LatitudeBand(const WorldPosition& position, double limitMetres) {
        const long double units =
            static_cast<long double>(position.latitudeInteger) +
            static_cast<long double>(position.latitudeFraction) * kFractionUnit;
        const auto centre = static_cast<double>(units * kLatitudeDegreesPerUnit);
        // The distance test compares against the limit after converting each airport to host
        // units, which may land up to one unit (9e-6 degree) from its latitude, and rounds a few
        // times in double; the margin of 1e-3 degree (111 m) covers that many times over. A NaN
        // limit, which keeps every airport, gives NaN edges that exclude nothing (comparisons
        // with NaN are false); an infinite one gives infinite edges.
        const double halfWidth = limitMetres / kMetresPerDegree * (1 + 1e-9) + kMarginDegrees;
        south_ = centre - halfWidth;
        north_ = centre + halfWidth;
    }

    // True when an airport at this latitude cannot lie within the limit. Only latitudes that the
    // conversion to host units keeps in order (within +-1000 degrees, far below where its words
    // wrap) are judged; any other value, NaN included, is left to the full test.
    bool Excludes(float latitude) const {
        const double degrees = latitude;
        return (degrees < south_ || degrees > north_) && std::fabs(degrees) <= kLargestJudged;
    }

  private:
    static constexpr double kMetresPerDegree = 111120.0;  // 60 nautical miles of 1852 m
    static constexpr double kMarginDegrees = 1e-3;
    static constexpr double kLargestJudged = 1000.0;

    double south_ = -std::numeric_limits<double>::infinity();
    double north_ = std::numeric_limits<double>::infinity();
};

}  // namespace

NearbyList::~NearbyList() {
    std::free(indices_);
}

bool NearbyList::Resize(std::int32_t capacity) {
    const auto oldCount = static_cast<std::size_t>(capacity_);
    const auto newCount = static_cast<std::size_t>(capacity);
    // The first block holds the indices alone; a grown one the keys and tree nodes too.
    const bool withTree = capacity > kListInitialCapacity;
    const std::size_t entryBytes = withTree ? kEntryBytes : sizeof(std::int32_t);
    if (newCount <= oldCount || newCount > SIZE_MAX / entryBytes) {
        return false;
    }
    void* grown = std::realloc(indices_, newCount * entryBytes);
    if (grown == nullptr) {
        return false;
    }
    auto* bytes = static_cast<unsigned char*>(grown);
    if (withTree) {
        // Keys and nodes of the old block move up to their places for the new capacity (the
        // nodes first, as the keys move into where they were); the rest is zero.
        const std::size_t keysAt = newCount * sizeof(std::int32_t);
        const std::size_t nodesAt = keysAt + newCount * sizeof(std::uint32_t);
        const std::size_t kept = keys_ != nullptr ? oldCount : 0;
        std::memmove(bytes + nodesAt, bytes + kept * (kEntryBytes - sizeof(CodeNode)),
                     kept * sizeof(CodeNode));
        std::memmove(bytes + keysAt, bytes + kept * sizeof(std::int32_t),
                     kept * sizeof(std::uint32_t));
        std::memset(bytes + keysAt + kept * sizeof(std::uint32_t), 0,
                    (newCount - kept) * sizeof(std::uint32_t));
        std::memset(bytes + nodesAt + kept * sizeof(CodeNode), 0,
                    (newCount - kept) * sizeof(CodeNode));
        keys_ = reinterpret_cast<std::uint32_t*>(bytes + keysAt);
        nodes_ = reinterpret_cast<CodeNode*>(bytes + nodesAt);
    }
    // Only now, as the old keys lay there.
    std::memset(bytes + oldCount * sizeof(std::int32_t), 0,
                (newCount - oldCount) * sizeof(std::int32_t));
    indices_ = reinterpret_cast<std::int32_t*>(bytes);
    capacity_ = capacity;
    return true;
}

bool NearbyList::Append(std::int32_t index) {
    if (count_ == INT32_MAX) {
        return false;
    }
    const std::int32_t count = count_ + 1;
    if (count > capacity_) {
        const std::int32_t capacity = GrownCapacity(count, kListCapacityStep);
        if (capacity == 0 || !Resize(capacity)) {
            return false;
        }
    }
    indices_[count_] = index;
    count_ = count;
    return true;
}

void NearbyList::Find(const AirportRecord* records, std::int32_t recordCount,
                      const WorldPosition& position, double limitMetres) {
    count_ = 0;
    // One precision guard for the whole walk instead of two per record.
    platform::ExtendedPrecisionScope extended;
    const LatitudeBand band(position, limitMetres);
    // The tree's root (a node index, or ~entry when the list holds one entry), once the list's
    // block has room for the tree; until then the filter.
    std::int32_t root = 0;
    bool inTree = keys_ != nullptr;
    ListedCodes listedCodes;
    for (std::int32_t i = 0; i < recordCount; ++i) {
        const AirportRecord& record = records[i];
        if (band.Excludes(record.latitude)) {
            continue;
        }
        const WorldPosition at = PositionFromDegreesUnguarded(
            static_cast<double>(record.latitude), static_cast<double>(record.longitude));
        const auto metres = static_cast<double>(PositionDistanceUnguarded(position, at));
        // An airport exactly at the limit is listed.
        if (metres > limitMetres) {
            continue;
        }
        // The first airport of a code in database order wins, however far it is.
        const std::uint32_t key = CodeKey(record.code);
        bool listed = false;
        if (inTree) {
            listed = ListedCode(key, root);
        } else if (listedCodes.MayHold(key)) {
            for (std::int32_t j = 0; j < count_ && !listed; ++j) {
                listed = CodeKey(records[indices_[j]].code) == key;
            }
        }
        if (listed) {
            continue;
        }
        // When the list cannot grow it keeps the airports found so far.
        if (!Append(i)) {
            return;
        }
        if (!inTree && keys_ != nullptr) {
            // The list has just outgrown its first block: the tree takes over the codes so far.
            inTree = true;
            for (std::int32_t j = 0; j + 1 < count_; ++j) {
                AddListedCode(CodeKey(records[indices_[j]].code), j, root);
            }
        }
        if (inTree) {
            AddListedCode(key, count_ - 1, root);
        } else {
            listedCodes.Add(key);
        }
    }
}

// The list entry whose key shares the most leading bits with `key`, following the tree from
// `root` by the bit each node tests.
std::int32_t NearbyList::ClosestListedEntry(std::uint32_t key, std::int32_t root) const {
    std::int32_t at = root;
    while (at >= 0) {
        const CodeNode& node = nodes_[at];
        at = node.child[key >> node.bit & 1];
    }
    return ~at;
}

bool NearbyList::ListedCode(std::uint32_t key, std::int32_t root) const {
    return count_ > 0 && keys_[ClosestListedEntry(key, root)] == key;
}

void NearbyList::AddListedCode(std::uint32_t key, std::int32_t entry, std::int32_t& root) {
    keys_[entry] = key;
    if (entry == 0) {
        root = ~0;
        return;
    }
    const std::uint32_t differ = keys_[ClosestListedEntry(key, root)] ^ key;
    const auto bit = static_cast<std::uint32_t>(31 - std::countl_zero(differ));
    // The new node goes where the path's tested bits fall below the new one: nodes test falling
    // bits from the root down.
    std::int32_t* link = &root;
    while (*link >= 0 && nodes_[*link].bit > bit) {
        CodeNode& node = nodes_[*link];
        link = &node.child[key >> node.bit & 1];
    }
    CodeNode& added = nodes_[entry - 1];
    const std::uint32_t side = key >> bit & 1;
    added.bit = bit;
    added.child[side] = ~entry;
    added.child[1 - side] = *link;
    *link = entry - 1;
}

}  // namespace halvern
