#include "value_kinds.h"

#include <cstring>

#include "prepare.h"

const char* kindName(ValueKind kind) {
    switch (kind) {
    case ValueKind::GUESS: return "guess";
    case ValueKind::TEXT: return "text";
    case ValueKind::DATE: return "date";
    case ValueKind::NUMBER: return "number";
    case ValueKind::CODE: return "code";
    }
    return "";
}

bool parseKind(std::string_view text, ValueKind* kind) {
    for (ValueKind k : {ValueKind::TEXT, ValueKind::DATE, ValueKind::NUMBER, ValueKind::CODE})
        if (text == kindName(k)) return *kind = k, true;
    return false;
}

void splitWithField(const std::string& field, std::string* name, ValueKind* kind) {
    const size_t colon = field.rfind(':');
    *kind = ValueKind::GUESS;
    *name = field;
    if (colon != std::string::npos && parseKind(std::string_view(field).substr(colon + 1), kind))
        *name = field.substr(0, colon);
}

namespace {

struct Token {
    std::string_view text;
    bool digits;
};

// The runs of digits and of letters of a text; anything else separates.
std::vector<Token> tokens(std::string_view raw) {
    std::vector<Token> out;
    size_t i = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c & 0x80); };
    while (i < raw.size()) {
        const bool digit = isDigit(raw[i]);
        if (!digit && !isLetter(raw[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < raw.size() && (digit ? isDigit(raw[j]) : isLetter(raw[j]) && !isDigit(raw[j]))) ++j;
        out.push_back({raw.substr(i, j - i), digit});
        i = j;
    }
    return out;
}

int number(std::string_view digits) {
    int n = 0;
    for (char c : digits) n = n * 10 + (c - '0');
    return n;
}

// A month's number from its name or its first three letters, 0 for none.
int monthOf(std::string_view word) {
    static const char* const kMonths[][12] = {
        {"JANUARY", "FEBRUARY", "MARCH", "APRIL", "MAY", "JUNE", "JULY", "AUGUST", "SEPTEMBER", "OCTOBER",
         "NOVEMBER", "DECEMBER"},
        {"JANVIER", "FEVRIER", "MARS", "AVRIL", "MAI", "JUIN", "JUILLET", "AOUT", "SEPTEMBRE", "OCTOBRE",
         "NOVEMBRE", "DECEMBRE"},
        {"JANUAR", "FEBRUAR", "MAERZ", "APRIL", "MAI", "JUNI", "JULI", "AUGUST", "SEPTEMBER", "OKTOBER",
         "NOVEMBER", "DEZEMBER"},
        {"ENERO", "FEBRERO", "MARZO", "ABRIL", "MAYO", "JUNIO", "JULIO", "AGOSTO", "SEPTIEMBRE", "OCTUBRE",
         "NOVIEMBRE", "DICIEMBRE"},
        {"GENNAIO", "FEBBRAIO", "MARZO", "APRILE", "MAGGIO", "GIUGNO", "LUGLIO", "AGOSTO", "SETTEMBRE", "OTTOBRE",
         "NOVEMBRE", "DICEMBRE"},
    };
    std::string upper = plainValue(word.data(), word.size());
    if (upper.size() < 3) return 0;
    for (const auto& language : kMonths)
        for (int m = 0; m < 12; ++m) {
            std::string_view name = language[m];
            if (upper == name || (upper.size() == 3 && name.substr(0, 3) == upper) ||
                (upper.size() == 4 && name.size() > 4 && name.substr(0, 4) == upper))
                return m + 1;
        }
    return 0;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool validDate(int y, int m, int d) {
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1000 || y > 2999 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
    return !(m == 2 && d == 29 && !leapYear(y));
}

// A year of two digits: birth dates span a century, 1930 to 2029.
int fullYear(std::string_view digits) {
    const int y = number(digits);
    return digits.size() == 2 ? (y >= 30 ? 1900 + y : 2000 + y) : y;
}

std::string dateForm(int y, int m, int d) {
    if (!validDate(y, m, d)) return std::string();
    char out[9];
    out[0] = static_cast<char>('0' + y / 1000);
    out[1] = static_cast<char>('0' + y / 100 % 10);
    out[2] = static_cast<char>('0' + y / 10 % 10);
    out[3] = static_cast<char>('0' + y % 10);
    out[4] = static_cast<char>('0' + m / 10);
    out[5] = static_cast<char>('0' + m % 10);
    out[6] = static_cast<char>('0' + d / 10);
    out[7] = static_cast<char>('0' + d % 10);
    return std::string(out, 8);
}

// Day and month of two numbers in the column's order.
std::string dayMonthForm(int y, int first, int second, DateOrder order) {
    return order == DateOrder::DAY_FIRST ? dateForm(y, second, first) : dateForm(y, first, second);
}

std::string readDate(std::string_view raw, DateOrder order) {
    std::vector<Token> t = tokens(raw);
    // A time after the date ("1984-03-07 00:00:00", "T00:00") is left out.
    if (t.size() > 3 && raw.find(':') != std::string_view::npos) t.resize(3);
    if (t.size() == 1 && t[0].digits && t[0].text.size() == 8) {
        const std::string_view s = t[0].text;
        const int year = number(s.substr(0, 4));
        if (year >= 1800 && year <= 2199) return dateForm(year, number(s.substr(4, 2)), number(s.substr(6, 2)));
        return dayMonthForm(number(s.substr(4, 4)), number(s.substr(0, 2)), number(s.substr(2, 2)), order);
    }
    if (t.size() != 3) return std::string();
    int monthAt = -1;
    for (int i = 0; i < 3; ++i)
        if (!t[i].digits) {
            if (monthAt >= 0 || monthOf(t[i].text) == 0) return std::string();
            monthAt = i;
        }
    if (monthAt >= 0) {
        // "7 March 1984", "March 7, 1984", "1984 Mar 07".
        const Token& a = t[monthAt == 0 ? 1 : 0];
        const Token& b = t[monthAt == 2 ? 1 : 2];
        const int month = monthOf(t[monthAt].text);
        if (a.text.size() == 4) return dateForm(number(a.text), month, number(b.text));
        if (b.text.size() >= 2 && b.text.size() != 3) return dateForm(fullYear(b.text), month, number(a.text));
        return std::string();
    }
    if (t[0].text.size() == 4) return dateForm(number(t[0].text), number(t[1].text), number(t[2].text));
    if (t[2].text.size() != 4 && t[2].text.size() != 2) return std::string();
    if (t[0].text.size() > 2 || t[1].text.size() > 2) return std::string();
    return dayMonthForm(fullYear(t[2].text), number(t[0].text), number(t[1].text), order);
}

std::string readNumber(std::string_view raw) {
    size_t i = 0, end = raw.size();
    while (i < end && raw[i] == ' ') ++i;
    while (end > i && raw[end - 1] == ' ') --end;
    const bool negative = i < end && raw[i] == '-';
    if (negative || (i < end && raw[i] == '+')) ++i;
    if (i == end) return std::string();
    std::string digits;
    for (size_t j = i; j < end; ++j) {
        if (raw[j] < '0' || raw[j] > '9') return std::string();
        if (!digits.empty() || raw[j] != '0') digits += raw[j];
    }
    if (digits.empty()) return "0";
    return negative ? "-" + digits : digits;
}

// Text as its words, the short forms of Saint, Mount and Fort written out
// (St. Louis, Saint Louis), without blanks between them.
std::string readText(std::string_view raw) {
    std::string out;
    for (const std::string& word : cleanWords(raw.data(), raw.size())) {
        if (word == "ST" || word == "STE") out += word == "ST" ? "SAINT" : "SAINTE";
        else if (word == "MT") out += "MOUNT";
        else if (word == "FT") out += "FORT";
        else out += plainValue(word.data(), word.size());
    }
    return out;
}

}  // namespace

std::string valueForm(ValueKind kind, DateOrder order, std::string_view raw) {
    switch (kind) {
    case ValueKind::DATE: return readDate(raw, order);
    case ValueKind::NUMBER: return readNumber(raw);
    case ValueKind::TEXT: return readText(raw);
    case ValueKind::GUESS:
    case ValueKind::CODE: break;
    }
    return plainValue(raw.data(), raw.size());
}

void guessColumn(const std::vector<std::string_view>& values, ValueColumn* column) {
    // The order of day and month: told by a first number above 12 (day
    // first) or a second one (month first); day first where none tells.
    uint64_t dayFirst = 0, monthFirst = 0;
    for (std::string_view v : values) {
        std::vector<Token> t = tokens(v);
        if (t.size() < 3 || !t[0].digits || !t[1].digits || t[0].text.size() > 2) continue;
        ++column->yearLast;
        dayFirst += number(t[0].text) > 12 && number(t[1].text) <= 12;
        monthFirst += number(t[1].text) > 12 && number(t[0].text) <= 12;
    }
    if (column->kind == ValueKind::GUESS || column->kind == ValueKind::DATE) {
        column->orderGuessed = dayFirst == 0 && monthFirst == 0;
        column->order = monthFirst > dayFirst ? DateOrder::MONTH_FIRST : DateOrder::DAY_FIRST;
    }
    if (column->kind != ValueKind::GUESS) return;
    column->guessed = true;
    uint64_t dates = 0, numbers = 0, codes = 0;
    for (std::string_view v : values) {
        dates += !readDate(v, column->order).empty();
        const std::string n = readNumber(v);
        numbers += !n.empty() && n.size() <= 4 + (n[0] == '-');
        bool digit = false, blank = false;
        for (char c : v) digit |= c >= '0' && c <= '9', blank |= c == ' ';
        codes += digit && !blank;
    }
    const double most = 0.9 * static_cast<double>(values.size());
    column->kind = values.empty()                      ? ValueKind::TEXT
                   : static_cast<double>(dates) >= most   ? ValueKind::DATE
                   : static_cast<double>(numbers) >= most ? ValueKind::NUMBER
                   : static_cast<double>(codes) >= most   ? ValueKind::CODE
                                                          : ValueKind::TEXT;
}

namespace {

// A number in its one form (digits after an optional minus), as far as
// its first 18 digits.
long long wholeNumber(std::string_view s) {
    long long n = 0;
    const bool negative = !s.empty() && s[0] == '-';
    for (size_t i = negative; i < s.size() && i < 18u + negative; ++i) n = n * 10 + (s[i] - '0');
    return negative ? -n : n;
}

// Two different dates as YYYYMMDD, each read as one number (a byte a
// character, the first in the low bits): most candidates of a large list
// pass through here before their names are looked at.
Level dateLevel(const char* a, const char* b) {
    uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    const uint64_t differ = x ^ y;
    const uint64_t year = 0xFFFFFFFFull, month = 0xFFFFull << 32;
    if ((differ & year) == 0 && ((x >> 32) & 0xFFFF) == y >> 48 && x >> 48 == ((y >> 32) & 0xFFFF)) return ALIKE;
    // The characters that differ: one changed, or two neighbours swapped.
    const int first = __builtin_ctzll(differ) / 8;
    const uint64_t rest = differ & ~(0xFFull << (8 * first));
    if (rest == 0) return CLOSE;
    if (first < 7 && (rest & ~(0xFFull << (8 * (first + 1)))) == 0 &&
        ((x >> (8 * first)) & 0xFF) == ((y >> (8 * (first + 1))) & 0xFF) &&
        ((y >> (8 * first)) & 0xFF) == ((x >> (8 * (first + 1))) & 0xFF))
        return CLOSE;
    return (differ & (year | month)) == 0 ? SOME : DIFFERENT;
}

}  // namespace

bool oneEditApart(std::string_view a, std::string_view b) {
    if (a.size() == b.size()) {
        size_t i = 0;
        while (i < a.size() && a[i] == b[i]) ++i;
        if (i == a.size()) return false;
        // One changed, or this one and the next swapped.
        if (a.substr(i + 1) == b.substr(i + 1)) return true;
        return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
    }
    const std::string_view longer = a.size() > b.size() ? a : b, shorter = a.size() > b.size() ? b : a;
    if (longer.size() != shorter.size() + 1) return false;
    size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i]) ++i;
    return shorter.substr(i) == longer.substr(i + 1);
}

Level valueLevel(ValueKind kind, std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return MISSING;
    if (a == b) return EXACT;
    switch (kind) {
    case ValueKind::DATE: return a.size() == 8 && b.size() == 8 ? dateLevel(a.data(), b.data()) : DIFFERENT;
    case ValueKind::NUMBER: return wholeNumber(a) - wholeNumber(b) == 1 || wholeNumber(b) - wholeNumber(a) == 1
                                        ? CLOSE
                                        : DIFFERENT;
    case ValueKind::CODE: return oneEditApart(a, b) ? CLOSE : DIFFERENT;
    case ValueKind::TEXT:
    case ValueKind::GUESS: break;
    }
    return CLOSE;
}

bool kindHasLevel(ValueKind kind, Level level) {
    return kind == ValueKind::DATE || level == EXACT || level == CLOSE || level == DIFFERENT || level == MISSING;
}
