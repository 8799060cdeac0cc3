#include "module.h"

namespace {
HINSTANCE theModule = nullptr;
}

HINSTANCE moduleHandle() { return theModule; }
void setModuleHandle(HINSTANCE module) { theModule = module; }
