// ovrin: the name-matching functions from a shell. On Windows this is
// ovrin.exe beside ovrin.dll; natively the library is linked in.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "command.h"
#include "../records/system.h"

int main(int argc, char** argv) {
    prepareStandardStreams();
    std::vector<std::string> arguments = programArguments(argc, argv);
    bool cp1252 = wantsCp1252(arguments);
    std::unique_ptr<ByteSource> in = standardInput(cp1252);
    std::unique_ptr<ByteSink> out = standardOutput(stdout, cp1252);
    std::unique_ptr<ByteSink> err = standardOutput(stderr, cp1252);
    Console console{in.get(), out.get(), err.get(), isTerminal(stderr), isTerminal(stdout)};
    Library library;
    std::string error;
#ifdef _WIN32
    const std::string dll = programFolder() + "ovrin.dll";
    const char* dllPath = dll.c_str();
#else
    const char* dllPath = nullptr;  // linked in, or the emulated DLL's own choice
#endif
    if (!openLibrary(dllPath, &library, &error)) {
        std::string line = "ovrin: " + error + "\n";
        err->write(line.data(), line.size());
        return EXIT_USAGE;
    }
    int status = runCommand(library, arguments, console);
    // The last flush, and the closing of stdout, which on some systems is
    // where a full disk shows.
    if (std::fflush(stdout) != 0 || std::fclose(stdout) != 0) {
        std::string line = std::string("ovrin: cannot write the output: ") + std::strerror(errno) + "\n";
        err->write(line.data(), line.size());
        return EXIT_USAGE;
    }
    return status;
}
