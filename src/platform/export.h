#pragma once

// Marks the module's exported data. The Windows DLL exports through its module-definition file,
// which keeps the names undecorated; a shared object exports by symbol visibility.

#if defined(_WIN32)
#define HALVERN_EXPORT
#else
#define HALVERN_EXPORT __attribute__((visibility("default")))
#endif
