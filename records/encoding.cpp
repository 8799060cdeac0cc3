#include "encoding.h"

#include <cstdio>

namespace {

// The characters of 0x80 to 0x9F; the rest of the code page is Latin-1.
const uint16_t kHighCharacters[32] = {
    /* 80 */ 0x20AC, /* 81 */ 0x0081, /* 82 */ 0x201A, /* 83 */ 0x0192,
    /* 84 */ 0x201E, /* 85 */ 0x2026, /* 86 */ 0x2020, /* 87 */ 0x2021,
    /* 88 */ 0x02C6, /* 89 */ 0x2030, /* 8A */ 0x0160, /* 8B */ 0x2039,
    /* 8C */ 0x0152, /* 8D */ 0x008D, /* 8E */ 0x017D, /* 8F */ 0x008F,
    /* 90 */ 0x0090, /* 91 */ 0x2018, /* 92 */ 0x2019, /* 93 */ 0x201C,
    /* 94 */ 0x201D, /* 95 */ 0x2022, /* 96 */ 0x2013, /* 97 */ 0x2014,
    /* 98 */ 0x02DC, /* 99 */ 0x2122, /* 9A */ 0x0161, /* 9B */ 0x203A,
    /* 9C */ 0x0153, /* 9D */ 0x009D, /* 9E */ 0x017E, /* 9F */ 0x0178,
};

size_t fail(EncodingProblem* problem, EncodingProblem::Kind kind, size_t offset, uint32_t c = 0) {
    problem->kind = kind;
    problem->offset = offset;
    problem->codePoint = c;
    return SIZE_MAX;
}

// The base letter of each character of U+0100 to U+017F, '?' where there
// is none to write instead (the ligatures IJ and OE).
const char kLatinExtendedA[] =
    /* 0100 */ "AaAaAaCcCcCcCcDd"  // ĀāĂăĄąĆćĈĉĊċČčĎď
    /* 0110 */ "DdEeEeEeEeEeGgGg"  // ĐđĒēĔĕĖėĘęĚěĜĝĞğ
    /* 0120 */ "GgGgHhHhIiIiIiIi"  // ĠġĢģĤĥĦħĨĩĪīĬĭĮį
    /* 0130 */ "Ii??JjKkkLlLlLlL"  // İıĲĳĴĵĶķĸĹĺĻļĽľĿ
    /* 0140 */ "lLlNnNnNnnNnOoOo"  // ŀŁłŃńŅņŇňŉŊŋŌōŎŏ
    /* 0150 */ "Oo??RrRrRrSsSsSs"  // ŐőŒœŔŕŖŗŘřŚśŜŝŞş
    /* 0160 */ "SsTtTtTtUuUuUuUu"  // ŠšŢţŤťŦŧŨũŪūŬŭŮů
    /* 0170 */ "UuUuWwYyYZzZzZzs";  // ŰűŲųŴŵŶŷŸŹźŻżŽžſ

}  // namespace

char latinExtendedABase(uint32_t c) {
    return c >= 0x100 && c < 0x180 && kLatinExtendedA[c - 0x100] != '?' ? kLatinExtendedA[c - 0x100] : 0;
}

bool plainSpelling(const std::string& utf8, std::string* spelled) {
    spelled->clear();
    for (size_t i = 0; i < utf8.size();) {
        uint32_t c;
        size_t length = utf8SequenceLength(utf8.data() + i, utf8.size() - i, &c);
        if (length == 0 || c == 0) return false;
        if (cp1252Byte(c) >= 0) spelled->append(utf8, i, length);
        else if (char base = latinExtendedABase(c)) *spelled += base;
        else return false;
        i += length;
    }
    return true;
}

int cp1252Byte(uint32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighCharacters[i] == c) return 0x80 + i;
    return -1;
}

uint32_t cp1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighCharacters[byte - 0x80] : byte;
}

size_t utf8SequenceLength(const char* text, size_t left, uint32_t* codePoint) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    unsigned char b = s[0];
    if (b < 0x80) {
        *codePoint = b;
        return 1;
    }
    size_t length;
    uint32_t c;
    uint32_t least;
    if (b >= 0xC2 && b <= 0xDF) length = 2, c = b & 0x1F, least = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, c = b & 0x0F, least = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, c = b & 0x07, least = 0x10000;
    else return 0;
    if (left < length) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((s[k] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (s[k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    *codePoint = c;
    return length;
}

size_t utf8ToCp1252(const char* text, size_t size, char* out, EncodingProblem* problem) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    // Most names are ASCII, 0x01 to 0x7F: copied by a loop that tests
    // nothing else.
    size_t i = 0;
    while (i < size && static_cast<unsigned char>(s[i] - 1) < 0x7F) {
        out[i] = static_cast<char>(s[i]);
        ++i;
    }
    size_t n = i;
    while (i < size) {
        unsigned char b = s[i];
        if (b < 0x80) {
            if (b == 0) return fail(problem, EncodingProblem::NUL_BYTE, i);
            out[n++] = static_cast<char>(b);
            ++i;
            continue;
        }
        uint32_t c;
        size_t length = utf8SequenceLength(text + i, size - i, &c);
        if (length == 0) return fail(problem, EncodingProblem::INVALID_UTF8, i);
        int byte = cp1252Byte(c);
        if (byte < 0) return fail(problem, EncodingProblem::UNENCODABLE, i, c);
        out[n++] = static_cast<char>(byte);
        i += length;
    }
    return n;
}

size_t cp1252ToUtf8(const char* text, size_t size, char* out) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t n = 0;
    for (size_t i = 0; i < size; ++i) {
        uint32_t c = cp1252CodePoint(s[i]);
        if (c < 0x80) {
            out[n++] = static_cast<char>(c);
        } else if (c < 0x800) {
            out[n++] = static_cast<char>(0xC0 | (c >> 6));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out[n++] = static_cast<char>(0xE0 | (c >> 12));
            out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return n;
}

std::string describeProblem(const EncodingProblem& problem) {
    char text[64];
    switch (problem.kind) {
    case EncodingProblem::INVALID_UTF8: return "invalid UTF-8";
    case EncodingProblem::NUL_BYTE: return "a NUL byte";
    case EncodingProblem::UNENCODABLE:
        std::snprintf(text, sizeof text, "U+%04X has no Windows-1252 form", static_cast<unsigned>(problem.codePoint));
        return text;
    case EncodingProblem::NO_LATIN_SPELLING:
        std::snprintf(text, sizeof text, "U+%04X has no Latin spelling", static_cast<unsigned>(problem.codePoint));
        return text;
    default: return "no problem";
    }
}
