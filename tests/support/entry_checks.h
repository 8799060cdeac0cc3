// Checks of the discovery side of the two entry points: WILExtenderQuery and
// the numbers -3, -2 and -1 of WILExtender2. Run in-process and through the
// DLL with the same code.
#pragma once

#include <cstdio>

#include "case_table.h"

struct CheckCount {
    int passed = 0;
    int failed = 0;
};

CheckCount runEntryChecks(Extender2Entry entry, ExtenderQueryEntry query, FILE* report);
