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

bool isConsole(HANDLE handle) {
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// Writes UTF-8 (or Windows-1252) text to a console as UTF-16. A UTF-8
// sequence cut by the end of one write waits for the next.
class ConsoleSink : public ByteSink {
public:
    ConsoleSink(HANDLE console, unsigned codePage) : console_(console), codePage_(codePage) {}
    bool write(const char* data, size_t size) override {
        pending_.append(data, size);
        size_t complete = pending_.size();
        if (codePage_ == CP_UTF8) {
            // Back up over a lead byte whose sequence is not all there yet.
            size_t back = 0;
            while (back < 3 && back < complete && (static_cast<unsigned char>(pending_[complete - 1 - back]) & 0xC0) == 0x80)
                ++back;
            if (back < complete) {
                unsigned char lead = static_cast<unsigned char>(pending_[complete - 1 - back]);
                size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                if (need > back + 1) complete -= back + 1;
            }
        }
        int n = MultiByteToWideChar(codePage_, 0, pending_.data(), static_cast<int>(complete), nullptr, 0);
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(codePage_, 0, pending_.data(), static_cast<int>(complete), &wide[0], n);
        pending_.erase(0, complete);
        DWORD written = 0;
        return wide.empty() || WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }

private:
    HANDLE console_;
    unsigned codePage_;
    std::string pending_;
};

// Reads what is typed at a console as UTF-8 (or Windows-1252); a line that
// begins with Ctrl+Z ends the input.
class ConsoleSource : public ByteSource {
public:
    ConsoleSource(HANDLE console, unsigned codePage) : console_(console), codePage_(codePage) {}
    long read(char* buffer, size_t size) override {
        while (pending_.empty() && !ended_) {
            wchar_t wide[4096];
            DWORD got = 0;
            if (!ReadConsoleW(console_, wide, 4096, &got, nullptr)) return -1;
            if (got == 0 || wide[0] == 0x1A) {
                ended_ = true;
                break;
            }
            pending_ = narrow(std::wstring(wide, got).c_str(), codePage_);
        }
        size_t n = pending_.size() < size ? pending_.size() : size;
        pending_.copy(buffer, n);
        pending_.erase(0, n);
        return static_cast<long>(n);
    }

private:
    HANDLE console_;
    unsigned codePage_;
    std::string pending_;
    bool ended_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> standardInput(bool cp1252) {
    HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
    if (isConsole(handle)) return std::unique_ptr<ByteSource>(new ConsoleSource(handle, cp1252 ? 1252 : CP_UTF8));
    return std::unique_ptr<ByteSource>(new FileSource(stdin));
}

std::unique_ptr<ByteSink> standardOutput(FILE* stream, bool cp1252) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (isConsole(handle)) {
        std::fflush(stream);
        return std::unique_ptr<ByteSink>(new ConsoleSink(handle, cp1252 ? 1252 : CP_UTF8));
    }
    return std::unique_ptr<ByteSink>(new FileSink(stream));
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

std::unique_ptr<ByteSource> standardInput(bool) { return std::unique_ptr<ByteSource>(new FileSource(stdin)); }

std::unique_ptr<ByteSink> standardOutput(FILE* stream, bool) {
    return std::unique_ptr<ByteSink>(new FileSink(stream));
}

FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

int64_t regularFileSize(FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size;
}

bool isTerminal(FILE* file) { return isatty(fileno(file)) != 0; }

#endif
