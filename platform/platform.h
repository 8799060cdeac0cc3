// The few Windows services the library calls. The Windows build takes them
// from <windows.h>; the POSIX build gets stand-ins (platform_posix.cpp) that
// behave as the library relies on: a zero-filled fixed heap block, the string
// table, Windows-1252 upper-casing and the lstr* routines.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define OV_STDCALL __stdcall
#else
#define OV_STDCALL
#define WINAPI

typedef void* HGLOBAL;
typedef void* HINSTANCE;
typedef unsigned int UINT;
typedef size_t SIZE_T;

#define GMEM_FIXED 0x0000
#define GMEM_ZEROINIT 0x0040

// A fixed block of `bytes` bytes, zero-filled when GMEM_ZEROINIT is given;
// null when the heap refuses it.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Releases a block of GlobalAlloc; answers null on success.
HGLOBAL GlobalFree(HGLOBAL block);
// Copies string `id` of the string table into `buffer` (at most size - 1
// characters and a NUL); answers the characters copied, 0 if there is none.
int LoadStringA(HINSTANCE module, UINT id, char* buffer, int size);
// Upper-cases a NUL-terminated string in place in Windows-1252.
char* CharUpperA(char* text);
int lstrlenA(const char* text);
// Copies at most max - 1 characters of `source` and a NUL.
char* lstrcpynA(char* target, const char* source, int max);
int lstrcmpA(const char* left, const char* right);
#endif
