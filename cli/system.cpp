#include "system.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

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
    // With --encoding cp1252 the names on the command line are passed to the
    // library as the code page's bytes, as they are natively.
    unsigned codePage = CP_UTF8;
    for (int i = 1; i < count; ++i) {
        std::wstring a = wide[i];
        if (a == L"--") break;
        if ((a == L"--encoding" && i + 1 < count && std::wstring(wide[i + 1]) == L"cp1252") ||
            a == L"--encoding=cp1252")
            codePage = 1252;
    }
    for (int i = 1; i < count; ++i) arguments.push_back(narrow(wide[i], codePage));
    LocalFree(wide);
    return arguments;
}

void prepareStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) || GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode))
        SetConsoleOutputCP(CP_UTF8);
}

FILE* openForReading(const std::string& path) { return _wfopen(widen(path).c_str(), L"rb"); }

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

FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

int64_t regularFileSize(FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size;
}

bool isTerminal(FILE* file) { return isatty(fileno(file)) != 0; }

#endif
