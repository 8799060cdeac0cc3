// What the DLL's resources must hold: the string table and the version
// record. Both DLL hosts run these checks, each reading the resources its
// own way (the Windows API under Wine, the image itself in the emulator).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "../support/entry_checks.h"

struct ResourceReader {
    // String `id` of the string table; false when there is none.
    std::function<bool(uint32_t id, std::string& text)> string;
    // The fixed file info's file and product versions (MS, LS each), false
    // when the DLL has no version record.
    std::function<bool(uint32_t versions[4])> fixedVersions;
    // A value of StringFileInfo\040904E4, or "" when missing.
    std::function<std::string(const char* name)> versionString;
    // The first translation: language and code page.
    std::function<bool(uint16_t* language, uint16_t* codePage)> translation;
};

CheckCount runResourceChecks(const ResourceReader& reader, FILE* report);
