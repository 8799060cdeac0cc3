#include "match_calls.h"

#include <cstring>

namespace {

// The row of the function of that table name that takes the given
// parameter types (a string of 's' and 'i'), or null with `problem` set.
const FunctionRow* findRow(const std::vector<FunctionRow>& table, const char* name, const char* types,
                           std::string (*showName)(const std::string&), std::string* problem) {
    const FunctionRow* row = nullptr;
    for (const FunctionRow& r : table)
        if (!row && r.name == name) row = &r;
    if (!row) {
        *problem = std::string("the library has no function ") + name;
        return nullptr;
    }
    bool fits = row->paramCount == static_cast<int32_t>(std::strlen(types));
    for (int i = 0; fits && types[i]; ++i)
        fits = row->paramType(i) == (types[i] == 's' ? PARAM_STRING : PARAM_INTEGER);
    if (!fits) {
        *problem = showName(row->name) + " takes " + parameterTypesText(*row) + ", which the matching cannot use";
        return nullptr;
    }
    return row;
}

}  // namespace

bool findMatchFunctions(const std::vector<FunctionRow>& table, KeyKind key,
                        std::string (*showName)(const std::string& tableName), MatchFunctions* functions,
                        std::string* problem) {
    const char* name = key == KeyKind::DMETAPHONE  ? "ovdoublemetaphone"
                       : key == KeyKind::METAPHONE ? "ovmetaphone"
                       : key == KeyKind::PHONEX    ? "ovphonex"
                                                   : "ovsoundex";
    const FunctionRow* encoder = findRow(table, name, key == KeyKind::PHONEX ? "s" : "si", showName, problem);
    const FunctionRow* levenshtein = encoder ? findRow(table, "ovlevenshtein", "ss", showName, problem) : nullptr;
    const FunctionRow* guth = levenshtein ? findRow(table, "ovguthmatch", "ssi", showName, problem) : nullptr;
    if (!guth) return false;
    functions->encoder = encoder->id;
    functions->encoderName = showName(encoder->name);
    functions->levenshtein = levenshtein->id;
    functions->guth = guth->id;
    return true;
}

void MatchCalls::open(const Library& library, const MatchFunctions& functions, KeyKind key, int32_t limit) {
    library_ = &library;
    functions_ = functions;
    key_ = key;
    limit_ = limit;
    std::memset(args_, 0, sizeof args_);
    outcome_.text.reserve(256);
}

void MatchCalls::setName(int i, std::vector<char>& buffer, const char* name, size_t size) {
    if (buffer.size() < size + 1) buffer.resize(size + 1);
    std::memcpy(buffer.data(), name, size);
    buffer[size] = '\0';
    args_[i].type = TYPE_STRING;
    args_[i].stringValue = buffer.data();
}

bool MatchCalls::call(int32_t number, const std::string& function, int argCount) {
    callFunction(*library_, number, args_, argCount, &outcome_);
    if (outcome_.delivered && outcome_.flag == 0 && (outcome_.type == TYPE_STRING || outcome_.type == TYPE_INTEGER))
        return true;
    error_ = function + " answered " +
             (!outcome_.delivered   ? std::string("no result")
              : outcome_.flag != 0 ? outcome_.text
                                   : "a value of type " + std::to_string(outcome_.type));
    return false;
}

bool MatchCalls::codes(const char* name, size_t size, std::string* first, std::string* second) {
    setName(0, first_, name, size);
    int argCount = 1;
    if (key_ != KeyKind::PHONEX) {
        args_[1].type = TYPE_INTEGER;
        args_[1].intValue = key_ == KeyKind::SOUNDEX ? 0 : key_ == KeyKind::SOUNDEX5 ? 1 : limit_;
        argCount = 2;
    }
    if (!call(functions_.encoder, functions_.encoderName, argCount)) return false;
    const std::string& text = outcome_.text;
    size_t tab = key_ == KeyKind::DMETAPHONE ? text.find('\t') : std::string::npos;
    first->assign(text, 0, tab);
    if (tab == std::string::npos) second->clear();
    else second->assign(text, tab + 1, std::string::npos);
    return true;
}

bool MatchCalls::reduce(const char* name, size_t size, std::string* form, bool* reduced) {
    setName(0, first_, name, size);
    setName(1, second_, "A", 1);
    if (!call(functions_.levenshtein, "ovLevenshtein", 2)) return false;
    form->assign(first_.data());
    // -1: a name the library does not compare (over 255 bytes), left as it was.
    *reduced = outcome_.intValue >= 0;
    return true;
}

bool MatchCalls::levenshtein(const char* a, size_t aSize, const char* b, size_t bSize, int32_t* distance) {
    setName(0, first_, a, aSize);
    setName(1, second_, b, bSize);
    if (!call(functions_.levenshtein, "ovLevenshtein", 2)) return false;
    *distance = outcome_.intValue;
    return true;
}

bool MatchCalls::guth(const char* a, size_t aSize, const char* b, size_t bSize, int32_t mode, int32_t* value) {
    setName(0, first_, a, aSize);
    setName(1, second_, b, bSize);
    args_[2].type = TYPE_INTEGER;
    args_[2].intValue = mode;
    if (!call(functions_.guth, "ovGuthMatch", 3)) return false;
    *value = outcome_.intValue;
    return true;
}
