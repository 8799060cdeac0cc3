// Every allocation of every call in the table of cases, made to fail in turn:
// the call must answer message 913 with flag -3 or its neutral result, must
// release every block it took, and must stay inside its argument buffers.
// The exact answer and argument state at each point are checked next to each
// function's own tests; this sweep makes sure no point is missed.
#include <gtest/gtest.h>

#include <memory>

#include "../../extender/exports.h"
#include "../../platform/platform_test.h"
#include "../support/case_table.h"
#include "../support/guarded_buffer.h"

namespace {

struct Answer {
    int32_t flag = 0;
    int32_t type = 0;
    int32_t intValue = 0;
    std::string text;
};
Answer answer;

int32_t OV_STDCALL keep(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    answer.flag = flag;
    answer.type = value->type;
    answer.intValue = value->intValue;
    answer.text = value->type == TYPE_STRING && value->stringValue ? value->stringValue : "";
    return 0;
}

// Runs one case; answers how many GlobalAlloc calls it made.
long runOnce(const Case& c, std::string& problem) {
    std::vector<std::unique_ptr<GuardedBuffer>> buffers(c.args.size());
    std::vector<HostValue> args(c.args.size());
    for (size_t i = 0; i < c.args.size(); ++i) {
        args[i] = HostValue{0.0, c.args[i].intValue, c.args[i].type, nullptr};
        if (c.args[i].isString && !c.args[i].isNull) {
            buffers[i].reset(new GuardedBuffer(c.args[i].text));
            args[i].stringValue = buffers[i]->data();
        }
    }
    long before = platform_test::allocationCalls();
    long live = platform_test::liveBlocks();
    HostValue result{};
    answer = Answer();
    WILExtender2(0, 0, 0, c.functionNumber, keep, 0, 0, args.empty() ? nullptr : args.data(),
                 static_cast<int32_t>(args.size()), &result);
    if (platform_test::liveBlocks() != live) problem = "blocks left unreleased";
    for (auto& b : buffers)
        if (b && !b->intact()) problem = "an argument was written past its NUL";
    return platform_test::allocationCalls() - before;
}

TEST(AllocationFailure, EveryAllocationOfEveryCaseFailsCleanly) {
    const std::string outOfMemory = messageText(913);
    long pointsTried = 0;
    for (const std::string& file : listCaseFiles(OVRIN_CASES_DIR)) {
        std::vector<std::string> errors;
        for (const Case& c : readCaseFile(file, WILExtender2, errors)) {
            std::string problem;
            long allocations = runOnce(c, problem);
            for (long point = 1; point <= allocations; ++point) {
                platform_test::failAllocation(point);
                runOnce(c, problem);
                platform_test::failAllocation(0);
                ++pointsTried;
                bool memoryError = answer.flag == -3 && answer.type == TYPE_STRING && answer.text == outOfMemory;
                bool neutral = answer.flag == 0 &&
                               ((answer.type == TYPE_STRING && answer.text.empty()) ||
                                (answer.type == TYPE_INTEGER && (answer.intValue == 0 || answer.intValue == -1)));
                EXPECT_TRUE(memoryError || neutral)
                    << c.where << " allocation " << point << " of " << allocations << ": flag " << answer.flag
                    << ", \"" << answer.text << "\"\n  " << c.source;
                EXPECT_EQ(problem, "") << c.where << " allocation " << point << "\n  " << c.source;
            }
        }
    }
    // The table holds calls that allocate (Soundex of a short name at least).
    EXPECT_GT(pointsTried, 0);
}

}  // namespace
