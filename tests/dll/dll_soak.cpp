#include "dll_soak.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../../extender/function_ids.h"
#include "../support/guarded_buffer.h"

namespace {

// xorshift64*: the same calls on every run.
struct Random {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint32_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<uint32_t>((state * 0x2545F4914F6CDD1Dull) >> 32);
    }
    uint32_t below(uint32_t n) { return next() % n; }
};

// Every function, and three numbers that name none.
const int32_t kNumbers[] = {
#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) number,
#include "../../extender/functions.def"
#undef OV_FUNCTION
    57, 0, -4,
};

int32_t randomInteger(Random& r) {
    switch (r.below(4)) {
    case 0: return static_cast<int32_t>(r.below(16)) - 3;
    case 1: return static_cast<int32_t>(r.below(400));
    case 2: {
        const int32_t edges[] = {255, 256, 300, 0x7FFFFFFF, -0x7FFFFFFF - 1, 1 << 20, 100000};
        return edges[r.below(7)];
    }
    default: return static_cast<int32_t>(r.next());
    }
}

std::string randomString(Random& r, const std::vector<std::string>& names) {
    std::string text;
    switch (r.below(5)) {
    case 0:
    case 1: return names[r.below(static_cast<uint32_t>(names.size()))];
    case 2:  // a name with its case and a few bytes changed
        text = names[r.below(static_cast<uint32_t>(names.size()))];
        for (char& c : text)
            if (r.below(4) == 0) c = static_cast<char>(1 + r.below(255));
        return text;
    case 3: {  // any bytes, up to 300
        uint32_t length = r.below(301);
        for (uint32_t i = 0; i < length; ++i) text += static_cast<char>(1 + r.below(255));
        return text;
    }
    default: {  // long names of letters
        uint32_t length = 200 + r.below(3900);
        for (uint32_t i = 0; i < length; ++i) text += static_cast<char>('A' + r.below(26));
        return text;
    }
    }
}

int32_t lastFlag;
int32_t OV_STDCALL copyResult(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    static char copy[4200];
    lastFlag = flag;
    if (value->type == TYPE_STRING && value->stringValue) {
        size_t length = strnlen(value->stringValue, sizeof copy - 1);
        std::memcpy(copy, value->stringValue, length);
        copy[length] = 0;
    }
    return 0;
}

}  // namespace

int runSoak(Extender2Entry entry, long calls, const char* namesPath, const SoakWatch& watch) {
    std::vector<std::string> names;
    std::ifstream in(namesPath);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) names.push_back(line);
    if (names.empty()) names.push_back("Robert");

    // Memory may settle during the first calls; after them it must not grow.
    const long settled = 10000;
    uint64_t early = 0;
    int failures = 0;
    Random r;
    for (long call = 1; call <= calls; ++call) {
        int32_t number = kNumbers[r.below(sizeof kNumbers / sizeof kNumbers[0])];
        int count = static_cast<int>(r.below(5));
        std::vector<std::unique_ptr<GuardedBuffer>> strings(count);
        std::vector<HostValue> args(count);
        for (int i = 0; i < count; ++i) {
            bool string = r.below(2) == 0;
            args[i] = HostValue{0.0, randomInteger(r), string ? TYPE_STRING : TYPE_INTEGER, nullptr};
            if (r.below(20) == 0) args[i].type = static_cast<int32_t>(r.below(70));
            if (string) {
                strings[i].reset(new GuardedBuffer(randomString(r, names)));
                args[i].stringValue = strings[i]->data();
            }
        }
        HostValue result{};
        entry(0, 0, 0, number, copyResult, 0, 0, args.data(), count, &result);
        for (int i = 0; i < count; ++i)
            if (strings[i] && !strings[i]->intact()) {
                std::printf("FAIL soak call %ld (function %d): argument %d written past its NUL\n", call,
                            static_cast<int>(number), i);
                ++failures;
            }
        if (lastFlag != 0 && lastFlag != -1 && lastFlag != -3) {
            std::printf("FAIL soak call %ld: flag %d\n", call, static_cast<int>(lastFlag));
            ++failures;
        }
        if (watch.afterCall) {
            std::string problem = watch.afterCall();
            if (!problem.empty()) {
                std::printf("FAIL soak call %ld (function %d): %s\n", call, static_cast<int>(number), problem.c_str());
                ++failures;
            }
        }
        if (call == settled) early = watch.memory();
    }
    uint64_t end = watch.memory();
    std::printf("soak: %ld calls; %s %llu after %ld calls, %llu at the end (bound: +%llu)\n", calls, watch.memoryName,
                static_cast<unsigned long long>(early), settled, static_cast<unsigned long long>(end),
                static_cast<unsigned long long>(watch.slack));
    if (calls >= settled && end > early + watch.slack) {
        std::printf("FAIL soak: memory grew by %llu bytes\n", static_cast<unsigned long long>(end - early));
        ++failures;
    }
    return failures;
}
