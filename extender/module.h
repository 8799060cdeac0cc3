// The library's module handle, kept by the start routine for string lookups.
#pragma once

#include "../platform/platform.h"

HINSTANCE moduleHandle();
void setModuleHandle(HINSTANCE module);
