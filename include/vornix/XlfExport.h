#pragma once

#include <windows.h>

// Functions Excel calls: exported undecorated, with the calling convention Excel uses (WINAPI,
// that is __stdcall, on 32-bit Windows; 64-bit Windows has a single convention and ignores it).
#ifdef _WIN32
#define XLF_EXPORT extern "C" __declspec(dllexport)
#else
#define XLF_EXPORT extern "C"
#endif
