#include "pe_image.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// The file offset of an RVA, or 0 when no section (nor the headers) holds
// `length` bytes there.
uint32_t fileOffset(const PeImage& image, uint32_t rva, uint32_t length) {
    if (rva + length <= image.sizeOfHeaders && rva + length <= image.file.size()) return rva;
    for (const PeSection& s : image.sections)
        if (rva >= s.rva && rva - s.rva + length <= s.rawSize && s.rawOffset + s.rawSize <= image.file.size())
            return s.rawOffset + (rva - s.rva);
    return 0;
}

std::string stringAt(const PeImage& image, uint32_t rva) {
    uint32_t at = fileOffset(image, rva, 1);
    std::string text;
    while (at && at < image.file.size() && image.file[at]) text += static_cast<char>(image.file[at++]);
    return text;
}

bool readImports(PeImage& image, uint32_t rva, std::string& error) {
    for (;; rva += 20) {
        uint32_t at = fileOffset(image, rva, 20);
        if (!at) return error = "the import directory lies outside the image", false;
        const uint8_t* d = &image.file[at];
        uint32_t lookup = u32(d), nameRva = u32(d + 12), slots = u32(d + 16);
        if (!nameRva && !slots) return true;
        std::string dll = stringAt(image, nameRva);
        if (!lookup) lookup = slots;
        for (uint32_t i = 0;; ++i) {
            uint32_t entryAt = fileOffset(image, lookup + 4 * i, 4);
            if (!entryAt) return error = "an import lookup table lies outside the image", false;
            uint32_t entry = u32(&image.file[entryAt]);
            if (!entry) break;
            PeImport import;
            import.dll = dll;
            import.slotRva = slots + 4 * i;
            if (entry & 0x80000000u) import.ordinal = entry & 0xFFFF;
            else import.name = stringAt(image, entry + 2);
            image.imports.push_back(import);
        }
    }
}

void readExports(PeImage& image, uint32_t rva) {
    uint32_t at = fileOffset(image, rva, 40);
    if (!at) return;
    const uint8_t* d = &image.file[at];
    uint32_t functionCount = u32(d + 20), nameCount = u32(d + 24);
    uint32_t functions = u32(d + 28), names = u32(d + 32), ordinals = u32(d + 36);
    for (uint32_t i = 0; i < nameCount; ++i) {
        uint32_t nameAt = fileOffset(image, names + 4 * i, 4), ordinalAt = fileOffset(image, ordinals + 2 * i, 2);
        if (!nameAt || !ordinalAt) return;
        uint32_t index = u16(&image.file[ordinalAt]);
        uint32_t functionAt = index < functionCount ? fileOffset(image, functions + 4 * index, 4) : 0;
        if (!functionAt) continue;
        image.exports.emplace_back(stringAt(image, u32(&image.file[nameAt])), u32(&image.file[functionAt]));
    }
}

bool readRelocations(PeImage& image, uint32_t rva, uint32_t size, std::string& error) {
    for (uint32_t done = 0; done + 8 <= size;) {
        uint32_t at = fileOffset(image, rva + done, 8);
        if (!at) return error = "the relocation table lies outside the image", false;
        uint32_t page = u32(&image.file[at]), blockSize = u32(&image.file[at + 4]);
        if (blockSize < 8 || done + blockSize > size || !fileOffset(image, rva + done, blockSize))
            return error = "a malformed relocation block", false;
        for (uint32_t i = 8; i + 2 <= blockSize; i += 2) {
            uint16_t entry = u16(&image.file[at + i]);
            switch (entry >> 12) {
            case 0: break;  // padding
            case 3: image.relocations.push_back(page + (entry & 0xFFF)); break;
            default: return error = "a relocation of type " + std::to_string(entry >> 12) + " (only 32-bit absolute is expected)", false;
            }
        }
        done += blockSize;
    }
    return true;
}

}  // namespace

bool readPeImage(const std::string& path, PeImage& image, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return error = "cannot read " + path, false;
    image.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::vector<uint8_t>& f = image.file;
    if (f.size() < 0x40 || f[0] != 'M' || f[1] != 'Z') return error = path + " is not an MZ file", false;
    uint32_t pe = u32(&f[0x3C]);
    if (pe + 24 + 96 > f.size() || std::memcmp(&f[pe], "PE\0\0", 4) != 0) return error = path + " has no PE header", false;
    if (u16(&f[pe + 4]) != 0x14C) return error = path + " is not an i386 image", false;
    uint32_t sectionCount = u16(&f[pe + 6]), optionalSize = u16(&f[pe + 20]);
    const uint8_t* opt = &f[pe + 24];
    if (u16(opt) != 0x10B) return error = path + " is not a PE32 image", false;
    image.entryPoint = u32(opt + 16);
    image.imageBase = u32(opt + 28);
    image.sizeOfImage = u32(opt + 56);
    image.sizeOfHeaders = u32(opt + 60);
    uint32_t directoryCount = u32(opt + 92);
    auto directory = [&](uint32_t index, uint32_t* size) -> uint32_t {
        if (index >= directoryCount || 96 + 8 * index + 8 > optionalSize) return *size = 0, 0;
        *size = u32(opt + 96 + 8 * index + 4);
        return u32(opt + 96 + 8 * index);
    };
    uint32_t sectionTable = pe + 24 + optionalSize;
    if (sectionTable + 40 * sectionCount > f.size()) return error = path + ": the section table is cut short", false;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* s = &f[sectionTable + 40 * i];
        PeSection section;
        section.name.assign(reinterpret_cast<const char*>(s), strnlen(reinterpret_cast<const char*>(s), 8));
        section.virtualSize = u32(s + 8);
        section.rva = u32(s + 12);
        section.rawSize = u32(s + 16);
        section.rawOffset = u32(s + 20);
        section.characteristics = u32(s + 36);
        if (section.rva + std::max(section.virtualSize, section.rawSize) > image.sizeOfImage)
            return error = path + ": section " + section.name + " lies outside the image", false;
        image.sections.push_back(section);
    }
    uint32_t size = 0, rva = directory(1, &size);
    if (rva && !readImports(image, rva, error)) return false;
    if ((rva = directory(0, &size))) readExports(image, rva);
    if ((rva = directory(5, &size)) && !readRelocations(image, rva, size, error)) return false;
    if ((rva = directory(9, &size))) {
        uint32_t at = fileOffset(image, rva, 24);
        if (!at) return error = path + ": the TLS directory lies outside the image", false;
        image.tls.present = true;
        image.tls.rawStart = u32(&f[at]);
        image.tls.rawEnd = u32(&f[at + 4]);
        image.tls.indexAddress = u32(&f[at + 8]);
        image.tls.callbacks = u32(&f[at + 12]);
        image.tls.zeroFill = u32(&f[at + 16]);
    }
    image.resourceRva = directory(2, &image.resourceSize);
    return true;
}

const uint8_t* findResource(const uint8_t* mapped, uint32_t size, uint32_t resourceRva, uint32_t type, uint32_t id,
                            uint32_t* length) {
    // Three levels of directories: type, id, language (the first is taken).
    uint32_t directory = 0;
    const uint32_t want[3] = {type, id, 0};
    for (int level = 0; level < 3; ++level) {
        uint32_t at = resourceRva + directory;
        if (at + 16 > size) return nullptr;
        uint32_t named = u16(mapped + at + 12), numbered = u16(mapped + at + 14);
        uint32_t found = 0;
        bool ok = false;
        for (uint32_t i = 0; i < named + numbered && !ok; ++i) {
            uint32_t entry = at + 16 + 8 * i;
            if (entry + 8 > size) return nullptr;
            uint32_t name = u32(mapped + entry);
            if (level == 2 || (!(name & 0x80000000u) && name == want[level])) {
                found = u32(mapped + entry + 4);
                ok = true;
            }
        }
        if (!ok) return nullptr;
        bool subdirectory = (found & 0x80000000u) != 0;
        if (subdirectory != (level < 2)) return nullptr;
        directory = found & 0x7FFFFFFFu;
    }
    uint32_t entry = resourceRva + directory;
    if (entry + 8 > size) return nullptr;
    uint32_t dataRva = u32(mapped + entry), dataSize = u32(mapped + entry + 4);
    if (dataRva > size || dataSize > size - dataRva) return nullptr;
    *length = dataSize;
    return mapped + dataRva;
}

bool resourceString(const uint8_t* mapped, uint32_t size, uint32_t resourceRva, uint32_t id, std::u16string& text) {
    // Strings come in blocks of sixteen, block id / 16 + 1, each a count of
    // UTF-16 units and the units.
    uint32_t length = 0;
    const uint8_t* block = findResource(mapped, size, resourceRva, 6, id / 16 + 1, &length);
    if (!block) return false;
    uint32_t at = 0;
    for (uint32_t i = 0; i <= id % 16; ++i) {
        if (at + 2 > length) return false;
        uint32_t units = u16(block + at);
        at += 2;
        if (at + 2 * units > length) return false;
        if (i == id % 16) {
            text.clear();
            for (uint32_t k = 0; k < units; ++k) text += static_cast<char16_t>(u16(block + at + 2 * k));
            return units > 0;
        }
        at += 2 * units;
    }
    return false;
}

bool versionValue(const uint8_t* record, uint32_t length, const std::string& path, std::vector<uint8_t>& value) {
    // Each node: total length, value length, type (1 text), a UTF-16 key,
    // padding to four bytes, the value, padding, the children.
    std::vector<std::string> keys;
    for (size_t from = 1, to; from <= path.size(); from = to + 1) {
        to = path.find('\\', from);
        if (to == std::string::npos) to = path.size();
        if (to > from) keys.push_back(path.substr(from, to - from));
    }
    const uint8_t* node = record;
    uint32_t nodeLength = length;
    for (size_t depth = 0;; ++depth) {
        if (nodeLength < 6) return false;
        uint32_t total = std::min<uint32_t>(u16(node), nodeLength), valueLength = u16(node + 2), type = u16(node + 4);
        uint32_t at = 6;
        while (at + 2 <= total && u16(node + at)) at += 2;
        at = (at + 2 + 3) & ~3u;
        uint32_t valueBytes = type == 1 ? 2 * valueLength : valueLength;
        if (depth == keys.size()) {
            if (at + valueBytes > total) return false;
            value.assign(node + at, node + at + valueBytes);
            if (type == 1)
                while (value.size() >= 2 && !value[value.size() - 1] && !value[value.size() - 2]) value.resize(value.size() - 2);
            return true;
        }
        uint32_t child = (at + valueBytes + 3) & ~3u;
        bool found = false;
        while (child + 6 <= total && !found) {
            uint32_t childLength = u16(node + child);
            if (childLength < 6 || child + childLength > total) return false;
            std::string key;
            for (uint32_t k = child + 6; k + 2 <= child + childLength && u16(node + k); k += 2)
                key += static_cast<char>(u16(node + k));
            if (key == keys[depth]) {
                node += child;
                nodeLength = childLength;
                found = true;
            } else {
                child = (child + childLength + 3) & ~3u;
            }
        }
        if (!found) return false;
    }
}
