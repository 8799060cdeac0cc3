#include "host_calls.h"

#include <cstring>

#include "../extender/function_table.h"

namespace {

int32_t OV_STDCALL copyResult(int32_t flag, uintptr_t hostContext, uintptr_t, HostValue* resultValue) {
    // The string may live in a scratch block that is released as soon as
    // this returns, so it is copied here.
    CallOutcome* outcome = reinterpret_cast<CallOutcome*>(hostContext);
    outcome->delivered = true;
    outcome->flag = flag;
    outcome->type = resultValue->type;
    if (resultValue->type == TYPE_STRING) {
        const char* text = resultValue->stringValue;
        // clear and append: the room stays, and append skips the checks
        // for overlapping text that assign makes (a tenth of map's time
        // outside the library went there).
        outcome->text.clear();
        if (text) outcome->text.append(text, std::strlen(text));
    } else {
        outcome->intValue = resultValue->intValue;
        outcome->text.clear();
    }
    return 1;
}

int32_t discover(const Library& library, int32_t number, void* args, int32_t argCount) {
    return library.call(0, 0, 0, number, nullptr, 0, 0, args, argCount, nullptr);
}

}  // namespace

LibraryFacts readLibraryFacts(const Library& library) {
    LibraryFacts facts;
    char description[256] = {};
    facts.version = library.query(1, description, sizeof description);
    facts.description = description;
    int32_t levels[2] = {1, 2};
    facts.level = library.query(2, levels, 2);
    facts.functionCount = discover(library, -1, nullptr, 0);
    return facts;
}

std::vector<FunctionRow> readFunctionTable(const Library& library) {
    std::vector<FunctionRow> rows;
    int32_t count = discover(library, -1, nullptr, 0);
    for (int32_t i = 0; i < count; ++i) {
        // Room beyond the record's 56 bytes, as a careful host gives.
        union {
            FunctionInfo info;
            char bytes[128];
        } record;
        std::memset(&record, 0, sizeof record);
        if (discover(library, -2, &record.info, i) == 0) break;
        FunctionRow row;
        row.id = record.info.id;
        row.entryKind = record.info.entryKind;
        row.paramTypes = record.info.paramTypes;
        // paramTypes has room for 16 parameters of 4 bits.
        row.paramCount = record.info.paramCount < 0 ? 0 : record.info.paramCount > 16 ? 16 : record.info.paramCount;
        size_t length = record.info.nameLength < sizeof record.info.name ? record.info.nameLength
                                                                           : sizeof record.info.name - 1;
        row.name.assign(record.info.name, strnlen(record.info.name, length));
        rows.push_back(row);
    }
    return rows;
}

void callFunction(const Library& library, int32_t number, HostValue* args, int32_t argCount, CallOutcome* outcome) {
    HostValue result;
    std::memset(&result, 0, sizeof result);
    outcome->delivered = false;
    outcome->flag = 0;
    outcome->type = 0;
    outcome->intValue = 0;
    outcome->text.clear();
    outcome->answer = library.call(0, 0, reinterpret_cast<uintptr_t>(outcome), number, copyResult, 0, 0, args,
                                   argCount, &result);
}

std::string parameterTypesText(const FunctionRow& row) {
    std::string text;
    for (int i = 0; i < row.paramCount; ++i) {
        if (i > 0) text += i + 1 == row.paramCount ? " and " : ", ";
        int type = row.paramType(i);
        text += type == PARAM_STRING ? "a string" : type == PARAM_INTEGER ? "an integer" : "a value of type " + std::to_string(type);
    }
    return text.empty() ? "no argument" : text;
}
