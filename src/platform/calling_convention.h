#pragma once

// The calling convention of every routine that crosses the host boundary: the host's service
// entries that the module calls, and the module's callbacks that the host calls. On 32-bit
// Windows the host uses stdcall (the callee pops its arguments), so a mismatch would corrupt the
// stack on the first call; everywhere else each platform has only one convention.

#if defined(_WIN32) && defined(__i386__)
#define HALVERN_HOSTCALL __attribute__((stdcall))
#elif defined(_WIN32) && defined(_M_IX86)
#define HALVERN_HOSTCALL __stdcall
#else
#define HALVERN_HOSTCALL
#endif
