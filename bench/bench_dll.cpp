// ns per call of each script function through the real ovrin.dll, loaded as
// the script host loads it (LoadLibraryA, _WILExtender2@40), against the same
// floor as the native benchmark: the same calls (bench_calls.cpp) over the
// shipped list of proper names, timed with QueryPerformanceCounter. Each
// repetition runs whole passes over the list for at least the minimum time;
// the table shows the median of the repetitions and the ratio to the floor.
//   bench_dll [--repetitions N] [--min-seconds S] [--smoke] PATH_TO_DLL NAMES_FILE
// --smoke runs one pass of each function and prints the checksums only.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../host/dll_entries.h"
#include "bench_calls.h"

namespace {

double secondsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// ns per call of one repetition: whole passes until minSeconds have gone by.
double timeRepetition(Extender2Entry entry, const BenchFunction& function, const std::vector<std::string>& names,
                      double minSeconds, uint32_t& checksum) {
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long passes = 0;
    double elapsed = 0;
    do {
        checksum += runBenchPass(entry, function, names);
        ++passes;
        elapsed = secondsSince(start, frequency);
    } while (elapsed < minSeconds);
    return elapsed * 1e9 / (static_cast<double>(passes) * static_cast<double>(names.size()));
}

// ns per call of the Windows services the functions call, as they call
// them, over the same names: explains what the DLL's figures spend outside
// the library's own code.
struct ServiceTimes {
    double globalAllocFree;  // GlobalAlloc(GMEM_ZEROINIT, length + 5) and GlobalFree
    double charUpper;        // CharUpperA on a fresh copy of the name
    double compare;          // lstrcmpA of the name and the next
    double loadString;       // LoadStringA of the version into 24 bytes
};

ServiceTimes timeServices(HMODULE module, const std::vector<std::string>& names, double minSeconds) {
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    ServiceTimes times = {0, 0, 0, 0};
    char copy[256], other[256];
    uint32_t sink = 0;
    for (int service = 0; service < 5; ++service) {
        long passes = 0;
        double elapsed = 0;
        QueryPerformanceCounter(&start);
        do {
            for (size_t i = 0; i < names.size(); ++i) {
                const std::string& name = names[i];
                std::memcpy(copy, name.c_str(), name.size() + 1);
                switch (service) {
                case 0: break;  // the copy alone, taken off the others
                case 1: {
                    void* block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, name.size() + 5);
                    sink += block != nullptr;
                    GlobalFree(block);
                    break;
                }
                case 2: sink += static_cast<unsigned char>(CharUpperA(copy)[0]); break;
                case 3: {
                    const std::string& next = names[i + 1 < names.size() ? i + 1 : 0];
                    std::memcpy(other, next.c_str(), next.size() + 1);
                    sink += static_cast<uint32_t>(lstrcmpA(copy, other));
                    break;
                }
                default: sink += static_cast<uint32_t>(LoadStringA(module, 1001, other, 24)); break;
                }
            }
            ++passes;
            elapsed = secondsSince(start, frequency);
        } while (elapsed < minSeconds);
        double ns = elapsed * 1e9 / (static_cast<double>(passes) * static_cast<double>(names.size()));
        switch (service) {
        case 0: times.globalAllocFree = times.charUpper = times.compare = times.loadString = -ns; break;
        case 1: times.globalAllocFree += ns; break;
        case 2: times.charUpper += ns; break;
        case 3: times.compare += ns; break;
        default: times.loadString += ns; break;
        }
    }
    if (sink == 0xFFFFFFFF) std::printf(" ");
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    int repetitions = 5;
    double minSeconds = 0.5;
    bool smoke = false;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        if (!std::strcmp(argv[arg], "--smoke")) smoke = true;
        else if (!std::strcmp(argv[arg], "--repetitions") && arg + 1 < argc) repetitions = std::atoi(argv[++arg]);
        else if (!std::strcmp(argv[arg], "--min-seconds") && arg + 1 < argc) minSeconds = std::atof(argv[++arg]);
        else break;
    }
    if (argc - arg != 2 || repetitions < 1) {
        std::fprintf(stderr,
                     "usage: bench_dll [--repetitions N] [--min-seconds S] [--smoke] PATH_TO_DLL NAMES_FILE\n");
        return 2;
    }
    const char* dllPath = argv[arg];
    const char* namesPath = argv[arg + 1];

    HMODULE module = LoadLibraryA(dllPath);
    if (!module) {
        std::fprintf(stderr, "bench_dll: cannot load %s (error %lu)\n", dllPath, GetLastError());
        return 1;
    }
    Extender2Entry entry = nullptr;
    ExtenderQueryEntry query = nullptr;
    if (!findEntryPoints(module, &entry, &query)) {
        std::fprintf(stderr, "bench_dll: %s does not export %s\n", dllPath, kEntryPointNames);
        return 1;
    }
    std::vector<std::string> names = loadNameFile(namesPath);
    if (names.size() < 2) {
        std::fprintf(stderr, "bench_dll: no names in %s\n", namesPath);
        return 1;
    }

    if (smoke) {
        for (size_t f = 0; f < kBenchFunctionCount; ++f)
            std::printf("%-20s checksum %08lx\n", kBenchFunctions[f].name,
                        static_cast<unsigned long>(runBenchPass(entry, kBenchFunctions[f], names)));
        FreeLibrary(module);
        return 0;
    }

    // One warm-up pass of each, then the repetitions.
    uint32_t checksum = 0;
    for (size_t f = 0; f < kBenchFunctionCount; ++f) checksum += runBenchPass(entry, kBenchFunctions[f], names);
    std::vector<double> medians(kBenchFunctionCount);
    for (size_t f = 0; f < kBenchFunctionCount; ++f) {
        std::vector<double> times;
        for (int r = 0; r < repetitions; ++r)
            times.push_back(timeRepetition(entry, kBenchFunctions[f], names, minSeconds, checksum));
        std::sort(times.begin(), times.end());
        medians[f] = times[times.size() / 2];
    }

    double floor = medians[0];
    std::printf("%lu names from %s, ovrin.dll, median of %d repetitions (checksum %08lx)\n%-20s %12s %10s\n",
                static_cast<unsigned long>(names.size()), namesPath, repetitions, static_cast<unsigned long>(checksum), "function", "ns/call",
                "x floor");
    for (size_t f = 0; f < kBenchFunctionCount; ++f)
        std::printf("%-20s %12.1f %10.2f\n", kBenchFunctions[f].name, medians[f], medians[f] / floor);
    ServiceTimes services = timeServices(module, names, minSeconds);
    std::printf("\nWindows services, ns per call (the copy of the name taken off):\n"
                "GlobalAlloc+GlobalFree %.1f, CharUpperA %.1f, lstrcmpA %.1f, LoadStringA %.1f\n",
                services.globalAllocFree, services.charUpper, services.compare, services.loadString);
    FreeLibrary(module);
    return 0;
}
