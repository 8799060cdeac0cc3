// Refused scratch blocks in ovMetaphone and ovPhonex, which the table of cases
// cannot force: each allocation point in turn fails, and the host must get
// message 913 with flag -3, the argument as it was before the call, and
// every block taken before the failure released.
#include <gtest/gtest.h>

#include <string>

#include "../../extender/exports.h"
#include "../../extender/function_ids.h"
#include "../../host/host_args.h"
#include "../../platform/platform_test.h"
#include "../support/case_table.h"
#include "../support/delivery.h"

namespace {

void call(int32_t function, HostValue* args, int32_t argCount) {
    lastDelivery = Delivery();
    HostValue out{};
    WILExtender2(0, 0, 0, function, recordDelivery, 0, 0, args, argCount, &out);
}

// A refused block: message 913 with flag -3, the name as it was before the
// call, and every block taken released.
void expectRefused(const char* name, const char* before, long live) {
    EXPECT_EQ(lastDelivery.flag, -3);
    EXPECT_EQ(lastDelivery.text, messageText(913));
    EXPECT_STREQ(name, before);
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

// ovMetaphone takes the code block first and the name block second; the name
// is upper-cased only once both are held.
TEST(MetaphoneAllocation, EachRefusedBlockAnswers913AndLeavesTheNameAlone) {
    for (long failing : {1L, 2L}) {
        SCOPED_TRACE("allocation " + std::to_string(failing));
        char name[] = "ashcraft-smith";
        HostValue args[2] = {stringArg(name), integerArg(8)};
        long live = platform_test::liveBlocks();
        platform_test::failAllocation(failing);
        call(FN_METAPHONE, args, 2);
        platform_test::failAllocation(0);
        expectRefused(name, "ashcraft-smith", live);
    }
    // The same call with both blocks granted.
    char name[] = "ashcraft-smith";
    HostValue args[2] = {stringArg(name), integerArg(8)};
    long live = platform_test::liveBlocks();
    call(FN_METAPHONE, args, 2);
    EXPECT_EQ(lastDelivery.flag, 0);
    EXPECT_EQ(lastDelivery.text, "AXKRFTSM");
    EXPECT_STREQ(name, "ASHCRAFT-SMITH");
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

TEST(PhonexAllocation, ARefusedWorkingCopyAnswers913AndLeavesTheNameAlone) {
    char name[] = "  smiths ";
    HostValue args[1] = {stringArg(name)};
    long live = platform_test::liveBlocks();
    platform_test::failAllocation(1);
    call(FN_PHONEX, args, 1);
    platform_test::failAllocation(0);
    expectRefused(name, "  smiths ", live);

    call(FN_PHONEX, args, 1);
    EXPECT_EQ(lastDelivery.flag, 0);
    EXPECT_EQ(lastDelivery.text, "S530");
    EXPECT_STREQ(name, "  smiths ");
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

}  // namespace
