// Runs the command's tests, tests/cli/*.t, either inside this process
// through the command's own entry (runCommand, with the library's entry
// points as the program finds them: linked in natively, ovrin.dll beside
// this program on Windows), or with --exec through the real program, one
// process per test:
//   cli_tests FILE.t...
//   cli_tests --exec PATH_TO_OVRIN FILE.t...
// Each test runs in the folder of its file.
//
// The format of a .t file, one line at a time:
//   # text        a comment
//   $ ovrin ARGS  a test: the command line, split into words like a shell
//                 does ('...' as it stands; "..." and bare words with the
//                 escapes below)
//   < TEXT        a line of stdin; <- TEXT: the same without its line end
//   > TEXT        a line that stdout must hold; >- TEXT: without line end
//   >~ PATTERN    a line of stdout in which * stands for any text without
//                 a TAB (\* for a star)
//   >...          any number of lines of stdout
//   ! TEXT, !~ PATTERN, !...   the same for stderr
//   ? N           the exit status (0 when not given)
// stdout and stderr must match exactly what the test lists (nothing listed
// means empty). TEXT may hold the escapes \t \r \n \\ \xHH.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../cli/command.h"

#ifdef _WIN32
#include <direct.h>
#include <windows.h>

#include "../../records/system.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

enum ItemKind { EXACT, EXACT_NO_END, PATTERN, ANY_LINES };

struct Item {
    ItemKind kind;
    std::string text;
};

struct Test {
    std::string where;  // file:line
    std::string commandLine;
    std::vector<std::string> arguments;
    std::string input;
    std::vector<Item> out;
    std::vector<Item> err;
    int status = 0;
};

std::string unescape(const std::string& text, bool keepStar) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        char e = text[++i];
        switch (e) {
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 'x':
            if (i + 2 < text.size()) {
                out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
                i += 2;
            }
            break;
        case '*':
            if (keepStar) out += '\\';
            out += '*';
            break;
        default: out += e; break;
        }
    }
    return out;
}

// Splits a command line into words: blanks separate; '...' is taken as it
// stands; "..." and bare text take the escapes.
bool splitWords(const std::string& line, std::vector<std::string>* words) {
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i >= line.size()) break;
        std::string word;
        std::string raw;
        while (i < line.size() && line[i] != ' ') {
            char c = line[i];
            if (c == '\'') {
                size_t close = line.find('\'', i + 1);
                if (close == std::string::npos) return false;
                word += unescape(raw, false) + line.substr(i + 1, close - i - 1);
                raw.clear();
                i = close + 1;
            } else if (c == '"') {
                size_t j = i + 1;
                std::string inner;
                while (j < line.size() && line[j] != '"') {
                    if (line[j] == '\\' && j + 1 < line.size()) inner += line[j++];
                    inner += line[j++];
                }
                if (j >= line.size()) return false;
                word += unescape(raw, false) + unescape(inner, false);
                raw.clear();
                i = j + 1;
            } else {
                if (c == '\\' && i + 1 < line.size()) raw += line[i++];
                raw += line[i++];
            }
        }
        words->push_back(word + unescape(raw, false));
    }
    return true;
}

bool readTests(const std::string& path, std::vector<Test>* tests, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string where = path + ":" + std::to_string(number);
        if (line.empty() || line[0] == '#') continue;
        if (line.compare(0, 2, "$ ") == 0) {
            Test t;
            t.where = where;
            t.commandLine = line.substr(2);
            std::vector<std::string> words;
            if (!splitWords(t.commandLine, &words) || words.empty() || words[0] != "ovrin") {
                *error = where + ": a command must begin with ovrin and close its quotes";
                return false;
            }
            t.arguments.assign(words.begin() + 1, words.end());
            tests->push_back(t);
            continue;
        }
        if (tests->empty()) {
            *error = where + ": a line before the first command";
            return false;
        }
        Test& t = tests->back();
        auto rest = [&](size_t from) { return line.size() > from && line[from] == ' ' ? line.substr(from + 1) : line.substr(from); };
        char kind = line[0];
        if (kind == '<') {
            if (line.compare(0, 2, "<-") == 0) t.input += unescape(rest(2), false);
            else t.input += unescape(rest(1), false) + "\n";
        } else if (kind == '>' || kind == '!') {
            std::vector<Item>& items = kind == '>' ? t.out : t.err;
            if (line.compare(1, 3, "...") == 0) items.push_back({ANY_LINES, ""});
            else if (line.compare(1, 1, "~") == 0) items.push_back({PATTERN, unescape(rest(2), true)});
            else if (line.compare(1, 1, "-") == 0) items.push_back({EXACT_NO_END, unescape(rest(2), false)});
            else items.push_back({EXACT, unescape(rest(1), false)});
        } else if (kind == '?') {
            t.status = std::atoi(rest(1).c_str());
        } else {
            *error = where + ": a line of unknown kind";
            return false;
        }
    }
    return true;
}

// * matches any run of characters other than TAB; \* matches a star.
bool globMatch(const char* pattern, const char* text, const char* end) {
    if (*pattern == '\0') return text == end;
    if (pattern[0] == '\\' && pattern[1] == '*')
        return text < end && *text == '*' && globMatch(pattern + 2, text + 1, end);
    if (*pattern == '*') {
        for (const char* t = text;; ++t) {
            if (globMatch(pattern + 1, t, end)) return true;
            if (t == end || *t == '\t') return false;
        }
    }
    return text < end && *pattern == *text && globMatch(pattern + 1, text + 1, end);
}

// Does `text` consist of the items, starting at item i and byte `at`?
bool matchItems(const std::vector<Item>& items, size_t i, const std::string& text, size_t at) {
    if (i == items.size()) return at == text.size();
    const Item& item = items[i];
    if (item.kind == ANY_LINES) {
        for (size_t p = at;;) {
            if (matchItems(items, i + 1, text, p)) return true;
            size_t nl = text.find('\n', p);
            if (nl == std::string::npos) return false;
            p = nl + 1;
        }
    }
    if (item.kind == EXACT_NO_END)
        return text.compare(at, item.text.size(), item.text) == 0 && matchItems(items, i + 1, text, at + item.text.size());
    size_t nl = text.find('\n', at);
    if (nl == std::string::npos) return false;
    if (item.kind == EXACT)
        return nl - at == item.text.size() && text.compare(at, item.text.size(), item.text) == 0 &&
               matchItems(items, i + 1, text, nl + 1);
    return globMatch(item.text.c_str(), text.data() + at, text.data() + nl) && matchItems(items, i + 1, text, nl + 1);
}

std::string visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20 && c != '\n') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string describeItems(const std::vector<Item>& items) {
    std::string out;
    for (const Item& item : items) {
        switch (item.kind) {
        case EXACT: out += "    " + visible(item.text) + "\n"; break;
        case EXACT_NO_END: out += "    " + visible(item.text) + "(no line end)\n"; break;
        case PATTERN: out += "  ~ " + visible(item.text) + "\n"; break;
        case ANY_LINES: out += "    ...\n"; break;
        }
    }
    return out;
}

std::string indent(const std::string& text) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        std::string line = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
        out += "    " + visible(line) + (nl == std::string::npos ? "(no line end)\n" : "\n");
        if (nl == std::string::npos) break;
        at = nl + 1;
    }
    return out;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    std::string failure;  // the test could not be run
};

Outcome runInProcess(const Library& library, const Test& test) {
    Outcome o;
    MemorySource in(test.input);
    MemorySink out;
    MemorySink err;
    Console console{&in, &out, &err, false, false};
    o.status = runCommand(library, test.arguments, console);
    o.out = out.text;
    o.err = err.text;
    return o;
}

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeWhole(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

#ifdef _WIN32

std::string tempPath(const char* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return narrow(folder, CP_UTF8) + "cli_tests_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

// Quotes one argument so that CommandLineToArgvW gives it back.
std::wstring quoteArgument(const std::wstring& a) {
    if (!a.empty() && a.find_first_of(L" \t\"") == std::wstring::npos) return a;
    std::wstring q = L"\"";
    for (size_t i = 0;; ++i) {
        size_t backslashes = 0;
        while (i < a.size() && a[i] == L'\\') ++i, ++backslashes;
        if (i == a.size()) {
            q.append(backslashes * 2, L'\\');
            break;
        }
        if (a[i] == L'"') q.append(backslashes * 2 + 1, L'\\');
        else q.append(backslashes, L'\\');
        q += a[i];
    }
    return q + L"\"";
}

std::wstring toWide(const std::string& text, UINT codePage) {
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

HANDLE openInherited(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(widen(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

Outcome runProgram(const std::string& program, const Test& test, const std::string& folder) {
    Outcome o;
    std::string inPath = tempPath("in"), outPath = tempPath("out"), errPath = tempPath("err");
    writeWhole(inPath, test.input);
    // The arguments travel as UTF-16; the program takes them back as UTF-8,
    // or as Windows-1252 when they ask for it, so they are widened the same way.
    UINT codePage = CP_UTF8;
    for (size_t i = 0; i < test.arguments.size(); ++i)
        if (test.arguments[i] == "--encoding=cp1252" ||
            (test.arguments[i] == "--encoding" && i + 1 < test.arguments.size() && test.arguments[i + 1] == "cp1252"))
            codePage = 1252;
    std::wstring commandLine = quoteArgument(widen(program));
    for (const std::string& a : test.arguments) commandLine += L" " + quoteArgument(toWide(a, codePage));
    HANDLE in = openInherited(inPath, false), out = openInherited(outPath, true), err = openInherited(errPath, true);
    STARTUPINFOW startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, widen(folder).c_str(), &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        o.status = static_cast<int>(code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        o.failure = "cannot start " + program + " (error " + std::to_string(GetLastError()) + ")";
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    o.out = readWhole(outPath);
    o.err = readWhole(errPath);
    DeleteFileW(widen(inPath).c_str());
    DeleteFileW(widen(outPath).c_str());
    DeleteFileW(widen(errPath).c_str());
    return o;
}

bool enterFolder(const std::string& folder) { return _wchdir(widen(folder).c_str()) == 0; }

std::string absolutePath(const std::string& path) {
    wchar_t full[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(widen(path).c_str(), sizeof full / sizeof full[0], full, nullptr);
    return n ? narrow(full, CP_UTF8) : path;
}

#else

std::string tempPath(const char* name) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/cli_tests_" + std::to_string(getpid()) + "_" + name;
}

Outcome runProgram(const std::string& program, const Test& test, const std::string& folder) {
    Outcome o;
    std::string inPath = tempPath("in"), outPath = tempPath("out"), errPath = tempPath("err");
    writeWhole(inPath, test.input);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : test.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int in = open(inPath.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    if (child < 0 || waitpid(child, &wstatus, 0) < 0) o.failure = "cannot start " + program;
    else if (WIFEXITED(wstatus)) o.status = WEXITSTATUS(wstatus);
    else o.failure = program + " ended by signal " + std::to_string(WTERMSIG(wstatus));
    if (o.status == 127 || o.status == 126) o.failure = "cannot run " + program + " in " + folder;
    o.out = readWhole(outPath);
    o.err = readWhole(errPath);
    unlink(inPath.c_str());
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return o;
}

bool enterFolder(const std::string& folder) { return chdir(folder.c_str()) == 0; }

std::string absolutePath(const std::string& path) {
    char* full = realpath(path.c_str(), nullptr);
    std::string result = full ? full : path;
    std::free(full);
    return result;
}

#endif

}  // namespace

int main(int argc, char** argv) {
    std::string program;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--exec") {
        program = absolutePath(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: cli_tests [--exec PATH_TO_OVRIN] FILE.t...\n");
        return 2;
    }
    Library library;
    std::string error;
    if (program.empty() && !openLibrary(nullptr, &library, &error)) {
        std::printf("FAIL %s\n", error.c_str());
        return 1;
    }
    // Each file's tests run in its folder, so the files are found first.
    std::vector<std::string> files;
    for (int f = first; f < argc; ++f) files.push_back(absolutePath(argv[f]));
    int passed = 0;
    int failed = 0;
    for (const std::string& path : files) {
        std::vector<Test> tests;
        if (!readTests(path, &tests, &error)) {
            std::printf("FAIL %s\n", error.c_str());
            ++failed;
            continue;
        }
        if (tests.empty()) {
            std::printf("FAIL %s holds no test\n", path.c_str());
            ++failed;
            continue;
        }
        std::string folder = folderOf(path);
        if (program.empty() && !enterFolder(folder)) {
            std::printf("FAIL cannot enter %s\n", folder.c_str());
            ++failed;
            continue;
        }
        for (const Test& test : tests) {
            Outcome o = program.empty() ? runInProcess(library, test) : runProgram(program, test, folder);
            bool ok = o.failure.empty() && o.status == test.status && matchItems(test.out, 0, o.out, 0) &&
                      matchItems(test.err, 0, o.err, 0);
            if (ok) {
                ++passed;
                continue;
            }
            ++failed;
            std::printf("FAIL %s: $ %s\n", test.where.c_str(), visible(test.commandLine).c_str());
            if (!o.failure.empty()) {
                std::printf("  %s\n", o.failure.c_str());
                continue;
            }
            std::printf("  exit status %d, expected %d\n", o.status, test.status);
            std::printf("  stdout:\n%s  expected:\n%s", indent(o.out).c_str(), describeItems(test.out).c_str());
            std::printf("  stderr:\n%s  expected:\n%s", indent(o.err).c_str(), describeItems(test.err).c_str());
        }
    }
    std::printf("cli_tests%s: %d passed, %d failed\n", program.empty() ? "" : " (program)", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
