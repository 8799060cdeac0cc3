// Replays fuzz inputs (files, or folders of files) without libFuzzer, so the
// committed corpus runs in every build: natively against the linked library,
// on Windows against ovrin.dll loaded as the host loads it, and in the x86
// emulator against ovrin.dll's own machine code.
//   fuzz_replay [--dll PATH] FILE_OR_FOLDER...
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../../host/dll_entries.h"
#include "fuzz_extender.h"

#ifdef _WIN32
Extender2Entry fuzzExtender2 = nullptr;
ExtenderQueryEntry fuzzExtenderQuery = nullptr;
static long noBlockCount() { return -1; }
long (*fuzzLiveBlocks)() = noBlockCount;
#elif defined(OVRIN_EMULATOR)
#include "../dll/emulated_dll.h"
Extender2Entry fuzzExtender2 = nullptr;
ExtenderQueryEntry fuzzExtenderQuery = nullptr;
static long emulatedBlocks() { return EmulatedDll::current->liveBlocks(); }
long (*fuzzLiveBlocks)() = emulatedBlocks;
static EmulatedDll emulated;
#endif

static void collect(const std::string& path, std::vector<std::string>& files) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return;
    if (!S_ISDIR(info.st_mode)) {
        files.push_back(path);
        return;
    }
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') collect(path + "/" + e->d_name, files);
        closedir(dir);
    }
}

int main(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dll" && i + 1 < argc) {
#ifdef _WIN32
            HMODULE module = LoadLibraryA(argv[++i]);
            if (!module) {
                std::fprintf(stderr, "fuzz_replay: cannot load %s\n", argv[i]);
                return 1;
            }
            if (!findEntryPoints(module, &fuzzExtender2, &fuzzExtenderQuery)) {
                std::fprintf(stderr, "fuzz_replay: %s does not export %s\n", argv[i], kEntryPointNames);
                return 1;
            }
#elif defined(OVRIN_EMULATOR)
            std::string error;
            if (!emulated.load(argv[++i], EmulatorOptions(), error)) {
                std::fprintf(stderr, "fuzz_replay: cannot load %s in the emulator: %s\n", argv[i], error.c_str());
                return 1;
            }
            EmulatedDll::current = &emulated;
            fuzzExtender2 = emulatedExtender2;
            fuzzExtenderQuery = emulatedExtenderQuery;
#else
            ++i;
#endif
            continue;
        }
        collect(arg, files);
    }
    if (!fuzzExtender2 || !fuzzExtenderQuery) {
        std::fprintf(stderr, "fuzz_replay: no library to call\n");
        return 1;
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
#ifdef OVRIN_EMULATOR
        // What the emulator saw (a write past a heap block, a wrong stack on
        // return) fails the input as a failed check of the target would.
        std::vector<std::string> faults = EmulatedDll::current ? EmulatedDll::current->takeFaults() : std::vector<std::string>();
        for (const std::string& fault : faults) std::fprintf(stderr, "fuzz_replay: %s: %s\n", file.c_str(), fault.c_str());
        if (!faults.empty()) return 1;
#endif
    }
    std::printf("fuzz_replay: %zu passed, 0 failed\n", files.size());
    return files.empty() ? 1 : 0;
}
