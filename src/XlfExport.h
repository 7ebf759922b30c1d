#pragma once

#include <windows.h>

// Functions Excel calls: exported undecorated, with the calling convention Excel uses (WINAPI,
// that is __stdcall, on 32-bit Windows).
#ifdef _WIN32
#define XLF_EXPORT extern "C" __declspec(dllexport)
#else
#define XLF_EXPORT extern "C"
#endif
