#include "bench_calls.h"

#include <cstdio>
#include <cstring>
#include <fstream>

const BenchFunction kBenchFunctions[] = {
    {"floor", 0},         {"ovExtenderInfo", 10}, {"ovSoundex", 51},         {"ovMetaphone", 52},
    {"ovPhonex", 53},     {"ovGuthMatch", 54},    {"ovLevenshtein", 55},     {"ovDoubleMetaphone", 56},
    {"ovIsAbbrev", 61},   {"ovIsConsonant", 62},  {"ovIsVowel", 63},
};
const size_t kBenchFunctionCount = sizeof kBenchFunctions / sizeof kBenchFunctions[0];

namespace {

char copied[512];  // the host's copy of the last string result
uint32_t checksum = 0;

int32_t OV_STDCALL copyResult(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    if (value->type == TYPE_STRING) {
        size_t length = std::strlen(value->stringValue);
        if (length >= sizeof copied) length = sizeof copied - 1;
        std::memcpy(copied, value->stringValue, length + 1);
        checksum += static_cast<uint32_t>(length) + static_cast<unsigned char>(copied[0]);
    } else {
        checksum += static_cast<uint32_t>(value->intValue);
    }
    return flag;
}

// A fresh host-owned copy of an argument string, as the host makes one per call.
size_t copyInto(char* buffer, const std::string& text) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return text.size();
}

HostValue stringValue(char* text) { return HostValue{0.0, 0, TYPE_STRING, text}; }
HostValue integerValue(int32_t value) { return HostValue{0.0, value, TYPE_INTEGER, nullptr}; }

}  // namespace

std::vector<std::string> loadBenchNames(const char* path) {
    std::vector<std::string> names;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::string name;
        bool ok = true;
        for (size_t i = 0; i < line.size() && ok; ++i) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            if (c < 0x80) {
                if (c != '\r') name += static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < line.size()) {
                // U+0080 to U+00FF: Windows-1252 holds U+00A0 to U+00FF at the same values.
                unsigned value = ((c & 0x1F) << 6) | (static_cast<unsigned char>(line[++i]) & 0x3F);
                ok = value >= 0xA0;
                name += static_cast<char>(value);
            } else {
                ok = false;
            }
        }
        if (ok && !name.empty() && name.size() < 256) names.push_back(name);
    }
    return names;
}

uint32_t runBenchPass(Extender2Entry entry, const BenchFunction& function, const std::vector<std::string>& names) {
    char first[256], second[256];
    HostValue args[3];
    HostValue result{};
    checksum = 0;
    size_t count = names.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string& name = names[i];
        const std::string& next = names[i + 1 < count ? i + 1 : 0];
        int32_t argCount = 0;
        switch (function.number) {
        case 0: {
            // The floor: the copy, one strlen and one upper-case pass.
            copyInto(first, name);
            size_t length = std::strlen(first);
            for (size_t k = 0; k < length; ++k)
                if (first[k] >= 'a' && first[k] <= 'z') first[k] = static_cast<char>(first[k] - 32);
            checksum += static_cast<unsigned char>(first[0]) + static_cast<uint32_t>(length);
            continue;
        }
        case 10:
            args[0] = integerValue(0);
            argCount = 1;
            break;
        case 53:
            copyInto(first, name);
            args[0] = stringValue(first);
            argCount = 1;
            break;
        case 51: case 52: case 56: case 62:
            copyInto(first, name);
            args[0] = stringValue(first);
            args[1] = integerValue(function.number == 51 ? 0 : function.number == 62 ? 2 : 4);
            argCount = 2;
            break;
        case 63:
            copyInto(first, name);
            args[0] = stringValue(first);
            args[1] = integerValue(2);
            args[2] = integerValue(1);
            argCount = 3;
            break;
        case 54: case 55: case 61:
            copyInto(first, name);
            copyInto(second, next);
            args[0] = stringValue(first);
            args[1] = stringValue(second);
            args[2] = integerValue(function.number == 54 ? 2 : 0);
            argCount = function.number == 55 ? 2 : 3;
            break;
        default:
            break;
        }
        entry(0, 0, 0, function.number, copyResult, 0, 0, args, argCount, &result);
    }
    return checksum;
}
