#include "system.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <new>

bool wantsCp1252(const std::vector<std::string>& arguments) {
    bool cp1252 = false;
    for (size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (arguments[i] == "--encoding" && i + 1 < arguments.size()) cp1252 = arguments[i + 1] == "cp1252";
        else if (arguments[i].compare(0, 11, "--encoding=") == 0) cp1252 = arguments[i] == "--encoding=cp1252";
    }
    return cp1252;
}

#ifdef _WIN32

std::wstring widen(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string narrow(const wchar_t* text, unsigned codePage) {
    int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string result(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text, -1, &result[0], n, nullptr, nullptr);
    result.resize(static_cast<size_t>(n - 1));
    return result;
}

std::string programFolder() {
    wchar_t path[32768];
    DWORD n = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    std::string folder = narrow(std::wstring(path, n).c_str(), CP_UTF8);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::vector<std::string> programArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(narrow(wide[i], CP_UTF8));
    // With --encoding cp1252 the names on the command line are passed to the
    // library as the code page's bytes, as they are natively.
    if (wantsCp1252(arguments))
        for (int i = 1; i < count; ++i) arguments[static_cast<size_t>(i - 1)] = narrow(wide[i], 1252);
    LocalFree(wide);
    return arguments;
}

void prepareStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

namespace {

HANDLE handleOf(FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

}  // namespace

bool isConsole(FILE* stream) {
    HANDLE handle = handleOf(stream);
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool writeConsole(FILE* stream, const char* text, size_t size, bool cp1252) {
    if (size == 0) return true;
    UINT codePage = cp1252 ? 1252 : CP_UTF8;
    int n = MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), &wide[0], n);
    DWORD written = 0;
    return wide.empty() || WriteConsoleW(handleOf(stream), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

bool readConsole(FILE* stream, bool cp1252, std::string* text, bool* ended) {
    wchar_t wide[4096];
    DWORD got = 0;
    if (!ReadConsoleW(handleOf(stream), wide, 4096, &got, nullptr)) return false;
    *ended = got == 0 || wide[0] == 0x1A;
    *text = *ended ? std::string() : narrow(std::wstring(wide, got).c_str(), cp1252 ? 1252 : CP_UTF8);
    return true;
}

FILE* openForReading(const std::string& path) { return _wfopen(widen(path).c_str(), L"rb"); }

FILE* openForWriting(const std::string& path) { return _wfopen(widen(path).c_str(), L"wb"); }

int64_t regularFileSize(FILE* file) {
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || !(info.st_mode & _S_IFREG)) return -1;
    return info.st_size;
}

bool isTerminal(FILE* file) { return _isatty(_fileno(file)) != 0; }

#else

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void prepareStandardStreams() {}

bool isConsole(FILE*) { return false; }

bool writeConsole(FILE*, const char*, size_t, bool) { return false; }

bool readConsole(FILE*, bool, std::string*, bool*) { return false; }

FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

FILE* openForWriting(const std::string& path) { return std::fopen(path.c_str(), "wb"); }

int64_t regularFileSize(FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size;
}

bool isTerminal(FILE* file) { return isatty(fileno(file)) != 0; }

#endif

namespace {

const size_t kHugePage = 2u << 20;

}  // namespace

#if defined(__linux__)

void* allocateLarge(size_t size) {
    if (size < kHugePage) return ::operator new(size);
    if (size > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
    // Mapped with a huge page of slack, then trimmed to whole huge pages on
    // a huge page's boundary, where the kernel can back them.
    const size_t rounded = (size + kHugePage - 1) & ~(kHugePage - 1);
    void* mapped = mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const uintptr_t end = start + rounded + kHugePage;
    if (end > aligned + rounded) munmap(reinterpret_cast<void*>(aligned + rounded), end - (aligned + rounded));
    madvise(reinterpret_cast<void*>(aligned), rounded, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void freeLarge(void* block, size_t size) {
    if (!block) return;
    if (size < kHugePage) return ::operator delete(block);
    munmap(block, (size + kHugePage - 1) & ~(kHugePage - 1));
}

#else

void* allocateLarge(size_t size) { return ::operator new(size); }

void freeLarge(void* block, size_t) { ::operator delete(block); }

#endif
