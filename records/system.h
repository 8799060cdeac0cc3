// The few services of the operating system the command needs, so that the
// rest of it is one source for Linux and Windows. Texts are UTF-8 on both.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The program's arguments after its name. Windows hands them over as
// UTF-16 and they are turned into UTF-8, or into Windows-1252 bytes when
// they ask for --encoding cp1252; elsewhere they are taken as they are.
std::vector<std::string> programArguments(int argc, char** argv);

// Puts the standard streams into binary mode, so that output is
// byte-for-byte the same on every system.
void prepareStandardStreams();

// True when the arguments ask for --encoding cp1252.
bool wantsCp1252(const std::vector<std::string>& arguments);

// True when the stream is a Windows console, which is read and written in
// UTF-16 rather than in bytes; always false elsewhere.
bool isConsole(FILE* stream);

// A Windows console's text: `text` (whole characters of UTF-8, or of
// Windows-1252 with `cp1252`) written as UTF-16, and what is typed read back
// into `text` (false on an error; `ended` after a line that begins with
// Ctrl+Z). Elsewhere they fail.
bool writeConsole(FILE* stream, const char* text, size_t size, bool cp1252);
bool readConsole(FILE* stream, bool cp1252, std::string* text, bool* ended);

// Opens a file for reading in binary mode; null with errno set on failure.
FILE* openForReading(const std::string& path);
// A file of that UTF-8 path, made anew for writing; null when it cannot be.
FILE* openForWriting(const std::string& path);

// The size of an open regular file, or -1 for pipes, terminals and the like.
int64_t regularFileSize(FILE* file);

bool isTerminal(FILE* file);

#ifdef _WIN32
std::wstring widen(const std::string& utf8);
std::string narrow(const wchar_t* text, unsigned codePage);
// The folder of the running program, with a trailing backslash.
std::string programFolder();
#endif

// Room for a large array (the records and candidates of a big list): on
// Linux a block of 2 MiB or more is mapped on its own and marked for huge
// pages, so that reaching records scattered over hundreds of megabytes
// costs fewer address translations and the memory is faulted in 2 MiB at
// a time; elsewhere, and for smaller blocks, plain operator new. Throws
// std::bad_alloc as operator new does.
void* allocateLarge(size_t size);
void freeLarge(void* block, size_t size);
