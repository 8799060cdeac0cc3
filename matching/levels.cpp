#include "levels.h"

const char* levelName(Level level) {
    switch (level) {
    case DIFFERENT: return "different";
    case SOME: return "some";
    case CLOSE: return "close";
    case EXACT: return "exact";
    case MISSING: return "missing";
    }
    return "";
}

Level wordLevel(const WordAnswers& a) {
    double longer = static_cast<double>(a.lengthA > a.lengthB ? a.lengthA : a.lengthB);
    double share = longer > 0 ? a.distance / longer : 1.0;  // of the letters that differ
    if (share <= 0.2 || a.guthPercent >= 80 || (a.codesAgree && share <= 0.4) || a.transposed) return CLOSE;
    if (a.codesAgree || share <= 0.5 || a.guthPercent >= 60) return SOME;
    return DIFFERENT;
}

bool oneTransposition(const char* a, size_t aSize, const char* b, size_t bSize) {
    if (aSize != bSize) return false;
    size_t i = 0;
    while (i < aSize && a[i] == b[i]) ++i;
    if (i + 1 >= aSize || a[i] != b[i + 1] || a[i + 1] != b[i] || a[i] == a[i + 1]) return false;
    for (i += 2; i < aSize; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

std::string plainValue(const char* text, size_t size) {
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') out += static_cast<char>(c - 32);
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80) out += c;
    }
    return out;
}

namespace {

bool swappedAt(std::string_view a, std::string_view b, size_t first, size_t second) {
    for (size_t i = 0; i < a.size(); ++i) {
        size_t j = i;
        if (i >= first && i < first + 2) j = second + (i - first);
        else if (i >= second && i < second + 2) j = first + (i - second);
        if (a[i] != b[j]) return false;
    }
    return true;
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

Level valueLevel(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return MISSING;
    if (a == b) return EXACT;
    if (a.size() != b.size()) return DIFFERENT;
    int differ = 0;
    for (size_t i = 0; i < a.size(); ++i) differ += a[i] != b[i];
    if (differ == 1) return CLOSE;
    // YYYYMMDD or DDMMYYYY with day and month swapped.
    if (a.size() == 8 && allDigits(a) && allDigits(b) && (swappedAt(a, b, 4, 6) || swappedAt(a, b, 0, 2)))
        return CLOSE;
    return DIFFERENT;
}
