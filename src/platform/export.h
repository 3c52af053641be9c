#pragma once

// Marks the module's exported data. The Windows DLL exports through its module-definition file,
// which keeps the names undecorated; a shared object exports by symbol visibility.

#if defined(_WIN32)
#define HALVERN_EXPORT
#else
#define HALVERN_EXPORT __attribute__((visibility("default")))
#endif

// The exported records share one data section, where they are laid out in source order (their
// file is compiled without top-level reordering), so that the import table follows the linkage
// record at a fixed distance whatever relocations each needs.
#if defined(_WIN32)
#define HALVERN_EXPORT_SECTION __attribute__((section(".data$halvern")))
#else
#define HALVERN_EXPORT_SECTION __attribute__((section(".data.halvern_exports")))
#endif
