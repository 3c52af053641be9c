#pragma once

// The two records the host reads after loading the module: Linkage names the start-up and
// shutdown routines, ImportTable receives the addresses of the host's services. Every field is
// one pointer wide: 4 bytes in the 32-bit DLL, as the host expects them, 8 in a 64-bit build.

#include <cstddef>
#include <cstdint>

#include "platform/calling_convention.h"
#include "platform/export.h"

namespace halvern {

using ModuleRoutine = void(HALVERN_HOSTCALL*)();

inline constexpr std::uintptr_t kLinkageValue = 15;
// ImportTable follows Linkage at this distance; everything between is zero.
inline constexpr std::size_t kImportTableDistance = 2072;

struct LinkageRecord {
    std::uintptr_t value;        // 15
    ModuleRoutine moduleInit;    // creates the module object
    ModuleRoutine moduleDeinit;  // destroys it
    std::uintptr_t reserved[4];  // 0
    // Zero up to the import table, whatever length of record the host reads.
    unsigned char zeros[kImportTableDistance - 7 * sizeof(void*)];
};

struct ImportEntry {
    std::uintptr_t id;    // service id; 0 ends the table
    const void* address;  // written by the host before it calls ModuleInit
};

inline constexpr std::size_t kImportEntryCount = 4;

static_assert(sizeof(LinkageRecord) == kImportTableDistance);
static_assert(offsetof(LinkageRecord, moduleInit) == sizeof(void*));
static_assert(offsetof(LinkageRecord, moduleDeinit) == 2 * sizeof(void*));
static_assert(sizeof(ImportEntry) == 2 * sizeof(void*));
// The 32-bit layout the host reads.
static_assert(sizeof(void*) != 4 ||
              (offsetof(LinkageRecord, moduleInit) == 4 &&
               offsetof(LinkageRecord, moduleDeinit) == 8 &&
               offsetof(LinkageRecord, reserved) == 12 && sizeof(ImportEntry) == 8 &&
               offsetof(ImportEntry, address) == 4));

}  // namespace halvern

extern "C" {
// Exported data under exactly these names (the host looks them up by name).
extern HALVERN_EXPORT halvern::LinkageRecord Linkage;
extern HALVERN_EXPORT halvern::ImportEntry ImportTable[halvern::kImportEntryCount];
}
