// A long run through the DLL: random calls of random functions with random
// arguments, every argument string guarded, the process's memory compared
// between the early calls and the end.
#pragma once

#include "../support/case_table.h"

// Answers the number of failures, printing each.
int runSoak(Extender2Entry entry, long calls, const char* namesPath);
