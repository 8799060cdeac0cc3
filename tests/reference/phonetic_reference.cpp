// Metaphone and Phonex written straight from their rules: a chain of tests
// per letter, a skipped character skipped. Only the tests link them.
#include "phonetic_reference.h"

namespace {

bool isOneOf(char c, const char* set) { return c != '\0' && std::string(set).find(c) != std::string::npos; }

}  // namespace

std::string referenceMetaphone(const std::string& text, int limit) {
    std::string w;
    for (char c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) w += c;
    }
    if (w.empty()) return "";
    const std::string pair = w.substr(0, 2);
    if (pair == "PN" || pair == "AE" || pair == "KN" || pair == "GN" || pair == "WR") w.erase(0, 1);
    if (!w.empty() && w[0] == 'X') w[0] = 'S';
    if (pair == "WH") w.erase(1, 1);
    const int n = static_cast<int>(w.size());
    auto at = [&](int k) { return k >= 0 && k < n ? w[k] : '\0'; };
    std::string code;
    for (int i = 0; i < n && static_cast<int>(code.size()) < limit; ++i) {
        const char c = w[i], prev = at(i - 1), next = at(i + 1), after = at(i + 2);
        const bool last = i == n - 1;
        if (i > 0 && c == prev && c != 'C') continue;
        if (i == 0 && isOneOf(c, "AEIOU")) {
            code += c;
            continue;
        }
        std::string s;
        switch (c) {
        case 'B': s = last && prev == 'M' ? "" : "B"; break;
        case 'C':
            if (prev == 'S' && isOneOf(next, "EIY")) s = "";
            else if (next == 'I' && after == 'A') s = "X";
            else if (isOneOf(next, "EIY")) s = "S";
            else if (prev == 'S' && next == 'H') s = "K";
            else if (next == 'H' && i == 0 && after != '\0' && !isOneOf(after, "AEIOU")) s = "K";
            else if (next == 'H') s = "X";
            else s = "K";
            break;
        case 'D': s = next == 'G' && isOneOf(after, "EIY") ? "J" : "T"; break;
        case 'G':
            if (next == 'H' && after != '\0' && !isOneOf(after, "AEIOU")) s = "";
            else if (i > 0 && next == 'N' && i + 1 == n - 1) s = "";
            else if (i > 0 && next == 'N' && after == 'E' && at(i + 3) == 'D' && i + 3 == n - 1) s = "";
            else if (prev == 'D' && isOneOf(next, "EIY")) s = "";
            else if (isOneOf(next, "EIY")) s = "J";
            else s = "K";
            break;
        case 'H':
            if (last || isOneOf(prev, "CSPTG")) s = "";
            else s = isOneOf(next, "AEIOU") ? "H" : "";
            break;
        case 'K': s = prev == 'C' ? "" : "K"; break;
        case 'P': s = next == 'H' ? "F" : "P"; break;
        case 'Q': s = "K"; break;
        case 'S':
            if (next == 'I' && (after == 'O' || after == 'A')) s = "X";
            else s = next == 'H' ? "X" : "S";
            break;
        case 'T':
            if (next == 'I' && (after == 'O' || after == 'A')) s = "X";
            else if (next == 'H') s = "0";
            else if (next == 'C' && after == 'H') s = "";
            else s = "T";
            break;
        case 'V': s = "F"; break;
        case 'W': case 'Y': s = isOneOf(next, "AEIOU") ? std::string(1, c) : ""; break;
        case 'X': s = static_cast<int>(code.size()) < limit - 1 ? "KS" : "K"; break;
        case 'Z': s = "S"; break;
        case 'F': case 'J': case 'L': case 'M': case 'N': case 'R': s = std::string(1, c); break;
        default: break;
        }
        code += s;
    }
    return code;
}

std::string referencePhonex(const std::string& text) {
    std::string w = text;
    size_t start = w.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    w = w.substr(start);
    for (char& c : w)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    w.erase(w.find_last_not_of(" \t") + 1);
    while (!w.empty() && w.back() == 'S') w.pop_back();
    if (w.empty()) return "";
    auto initial = [](char c) -> char {
        if (isOneOf(c, "AEIOUY")) return 'A';
        switch (c) {
        case 'J': return 'G';
        case 'K': case 'Q': return 'C';
        case 'P': return 'B';
        case 'V': return 'F';
        case 'Z': return 'S';
        default: return c;
        }
    };
    std::string code;
    size_t read;
    const std::string pair = w.substr(0, 2);
    if (pair == "KN" || pair == "PH" || pair == "WR") {
        code = pair == "KN" ? "N" : pair == "PH" ? "F" : "R";
        read = 2;
    } else if (w[0] == 'H' && w.size() > 1) {
        code = std::string(1, initial(w[1]));
        read = 2;
    } else {
        code = std::string(1, initial(w[0]));
        read = 1;
    }
    auto isVowelOrEnd = [&](size_t k) { return k >= w.size() || isOneOf(w[k], "AEIOUY"); };
    for (; read < w.size() && code.size() < 4; ++read) {
        const char c = w[read];
        const char next = read + 1 < w.size() ? w[read + 1] : '\0';
        char digit = 0;
        if (isOneOf(c, "BFPV")) digit = '1';
        else if (isOneOf(c, "CGJKQSXZ")) digit = '2';
        else if (isOneOf(c, "DT")) digit = next == 'C' ? 0 : '3';
        else if (c == 'L') digit = isVowelOrEnd(read + 1) ? '4' : 0;
        else if (isOneOf(c, "MN")) {
            digit = '5';
            if (next == 'D' || next == 'G') ++read;  // the D or G is passed over
        } else if (c == 'R') digit = isVowelOrEnd(read + 1) ? '6' : 0;
        if (digit && digit != code.back()) code += digit;
    }
    code.resize(4, '0');
    return code;
}
