// The ovrin command's entry points for a build against the emulated DLL: its
// calls reach ovrin.dll's own machine code in the x86 emulator, so the
// command and its tests run through the real DLL where Wine cannot.
// OVRIN_DLL names the DLL; by default the one the mingw32 build made.
#include <cstdio>
#include <cstdlib>

#include "../../host/library.h"
#include "emulated_dll.h"

namespace {

EmulatedDll dll;

// A fault seen in the DLL (a write past a buffer, a wrong stack on return)
// ends the program with its own status, whatever the command answered.
void reportFaults() {
    std::vector<std::string> faults = dll.takeFaults();
    for (const std::string& fault : faults) std::fprintf(stderr, "ovrin: emulated ovrin.dll: %s\n", fault.c_str());
    if (!faults.empty()) std::_Exit(70);
}

}  // namespace

bool openLibrary(const char* dllPath, Library* library, std::string* error) {
    const char* path = dllPath ? dllPath : std::getenv("OVRIN_DLL");
    std::string file = path ? path : OVRIN_DEFAULT_DLL;
    if (EmulatedDll::current != &dll) {
        std::string why;
        if (!dll.load(file, EmulatorOptions(), why)) {
            *error = "cannot run " + file + " in the x86 emulator: " + why;
            return false;
        }
        EmulatedDll::current = &dll;
        std::atexit(reportFaults);
    }
    library->call = emulatedExtender2;
    library->query = emulatedExtenderQuery;
    return true;
}
