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
#include "../support/delivery.h"
#include "../support/guarded_buffer.h"

namespace {

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
    lastDelivery = Delivery();
    WILExtender2(0, 0, 0, c.functionNumber, recordDelivery, 0, 0, args.empty() ? nullptr : args.data(),
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
                bool memoryError = lastDelivery.flag == -3 && lastDelivery.type == TYPE_STRING && lastDelivery.text == outOfMemory;
                bool neutral = lastDelivery.flag == 0 &&
                               ((lastDelivery.type == TYPE_STRING && lastDelivery.text.empty()) ||
                                (lastDelivery.type == TYPE_INTEGER && (lastDelivery.intValue == 0 || lastDelivery.intValue == -1)));
                EXPECT_TRUE(memoryError || neutral)
                    << c.where << " allocation " << point << " of " << allocations << ": flag " << lastDelivery.flag
                    << ", \"" << lastDelivery.text << "\"\n  " << c.source;
                EXPECT_EQ(problem, "") << c.where << " allocation " << point << "\n  " << c.source;
            }
        }
    }
    // The table holds calls that allocate (Soundex of a short name at least).
    EXPECT_GT(pointsTried, 0);
}

}  // namespace
