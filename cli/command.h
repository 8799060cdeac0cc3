// The ovrin command: everything it does, given its arguments (without the
// program name), the library's two entry points and its standard streams.
// The program's main and the tests both run it through this.
#pragma once

#include <string>
#include <vector>

#include "../host/library.h"
#include "../records/streams.h"

// Exit statuses.
enum : int {
    EXIT_DONE = 0,
    EXIT_FAULTS = 1,  // the library answered an error, or map left a record without a result
    EXIT_USAGE = 2,   // a usage error, an unreadable file, a failed write
};

int runCommand(const Library& library, const std::vector<std::string>& arguments, Console& console);
