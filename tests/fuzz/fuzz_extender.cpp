// Fuzz target: one call of WILExtender2 or WILExtenderQuery with arbitrary
// function numbers, argument counts, type codes, integers and strings, each
// string in a buffer of exactly its length + 1. Any write past a buffer, bad
// read, leaked block or malformed answer stops the run.
#include "fuzz_extender.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "../support/guarded_buffer.h"
#include "fuzz_input.h"

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

int32_t OV_STDCALL inspectResult(int32_t flag, uintptr_t, uintptr_t, HostValue* result) {
    if (flag != 0 && flag != -1 && flag != -3) fail("a flag other than 0, -1 or -3");
    if (result->type != TYPE_INTEGER && result->type != TYPE_STRING) fail("a result type other than 1 or 2");
    if (flag != 0 && result->type != TYPE_STRING) fail("an error that is not a message text");
    if (result->type == TYPE_STRING) {
        if (!result->stringValue) fail("a string result without a pointer");
        // Read the whole result, as a host copying it does.
        volatile size_t length = std::strlen(result->stringValue);
        (void)length;
    }
    return 0x600D;
}

int16_t low16(int32_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }

void runQuery(const FuzzCall& call) {
    int32_t length = call.queryLength;
    size_t bytes = length > 0 ? static_cast<size_t>(length) : 0;
    if (low16(call.number) == 2) bytes *= sizeof(int32_t);
    // Exactly as much memory as the length promises.
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[bytes ? bytes : 1]);
    for (size_t i = 0; i < bytes; ++i) buffer[i] = static_cast<unsigned char>(i);
    for (size_t i = 0; low16(call.number) == 2 && i < call.levels.size() && i * 4 < bytes; ++i)
        std::memcpy(buffer.get() + 4 * i, &call.levels[i], 4);
    fuzzExtenderQuery(call.number, bytes ? buffer.get() : nullptr, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzCall call = decodeFuzzCall(data, size);
    if (call.isQuery) {
        runQuery(call);
        return 0;
    }
    long blocksBefore = fuzzLiveBlocks();
    if (low16(call.number) == -2) {
        // The row query writes into a FunctionInfo record: at most 40 bytes.
        std::unique_ptr<unsigned char[]> record(new unsigned char[40]);
        int32_t rowIndex = call.args.empty() ? 0 : call.args[0].intValue;
        fuzzExtender2(0, 0, 0, call.number, inspectResult, 0, 0, record.get(), rowIndex, nullptr);
        return 0;
    }

    std::vector<std::unique_ptr<GuardedBuffer>> strings(call.args.size());
    std::unique_ptr<HostValue[]> args(new HostValue[call.args.size() ? call.args.size() : 1]);
    for (size_t i = 0; i < call.args.size(); ++i) {
        const FuzzArgument& a = call.args[i];
        args[i] = guardedArg(a.type, a.intValue, a.hasString ? &a.text : nullptr, 0.5, strings[i]);
    }
    HostValue result{};
    fuzzExtender2(0, 0, 0, call.number, inspectResult, 0, 0, call.args.empty() ? nullptr : args.get(),
                  static_cast<int32_t>(call.args.size()), &result);

    for (size_t i = 0; i < call.args.size(); ++i) {
        if (strings[i] && !strings[i]->intact()) fail("an argument string was written past its NUL");
        if (strings[i] && args[i].stringValue != strings[i]->data()) fail("an argument's pointer was changed");
    }
    if (blocksBefore >= 0 && fuzzLiveBlocks() != blocksBefore) fail("a scratch block was not released");
    return 0;
}
