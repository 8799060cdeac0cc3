// A 32-bit PE image read from its file: the headers, sections, imports,
// exports, base relocations, TLS directory and resources, as a loader needs
// them. Nothing here runs code; the emulated host maps what this describes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PeSection {
    std::string name;
    uint32_t rva = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
    uint32_t characteristics = 0;  // IMAGE_SCN_MEM_EXECUTE, _READ, _WRITE
};

struct PeImport {
    std::string dll;       // as the image spells it, e.g. KERNEL32.dll
    std::string name;      // empty when imported by ordinal
    uint32_t ordinal = 0;
    uint32_t slotRva = 0;  // the import address table entry to fill
};

struct PeTls {
    bool present = false;
    uint32_t rawStart = 0, rawEnd = 0;  // virtual addresses at the preferred base
    uint32_t indexAddress = 0;
    uint32_t callbacks = 0;
    uint32_t zeroFill = 0;
};

struct PeImage {
    std::vector<uint8_t> file;
    uint32_t imageBase = 0;
    uint32_t sizeOfImage = 0;
    uint32_t sizeOfHeaders = 0;
    uint32_t entryPoint = 0;  // RVA, 0 when there is none
    std::vector<PeSection> sections;
    std::vector<PeImport> imports;
    std::vector<std::pair<std::string, uint32_t>> exports;  // name, RVA
    std::vector<uint32_t> relocations;                      // RVAs of 32-bit absolute addresses
    PeTls tls;                                              // addresses at the preferred base
    uint32_t resourceRva = 0, resourceSize = 0;
};

// Reads and checks a PE32 image for i386. Answers false with `error` set.
bool readPeImage(const std::string& path, PeImage& image, std::string& error);

// Resources of an image laid out in memory (`mapped` is the image at `base`,
// `size` bytes): the data of resource type/id in the first language.
const uint8_t* findResource(const uint8_t* mapped, uint32_t size, uint32_t resourceRva, uint32_t type, uint32_t id,
                            uint32_t* length);

// String `id` of the RT_STRING resource, in UTF-16 code units; false when
// the table has no such string.
bool resourceString(const uint8_t* mapped, uint32_t size, uint32_t resourceRva, uint32_t id,
                    std::u16string& text);

// A value of the version record: "\\" gives the 52-byte fixed file info,
// "\\StringFileInfo\\040904E4\\FileVersion" a string (UTF-16 without NUL).
bool versionValue(const uint8_t* record, uint32_t length, const std::string& path, std::vector<uint8_t>& value);
