// ovrin: the name-matching functions from a shell. On Windows this is
// ovrin.exe beside ovrin.dll; natively the library is linked in.
#include <cstdio>

#include "command.h"
#include "system.h"

int main(int argc, char** argv) {
    prepareStandardStreams();
    std::vector<std::string> arguments = programArguments(argc, argv);
    FileSource in(stdin);
    FileSink out(stdout);
    FileSink err(stderr);
    Console console{&in, &out, &err, isTerminal(stderr)};
    Library library;
    std::string error;
    if (!openLibrary(nullptr, &library, &error)) {
        std::string line = "ovrin: " + error + "\n";
        err.write(line.data(), line.size());
        return EXIT_USAGE;
    }
    return runCommand(library, arguments, console);
}
