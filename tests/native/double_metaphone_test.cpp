// Double Metaphone under a refusing heap, and its read primitives at the
// edges of the working string: what the table of cases cannot reach.
#include <gtest/gtest.h>

#include <string>

#include "../../extender/exports.h"
#include "../../extender/function_ids.h"
#include "../../phonetic/double_metaphone.h"
#include "../../platform/platform_test.h"
#include "../support/case_table.h"
#include "../support/delivery.h"

namespace {

// Calls ovDoubleMetaphone(name, maxlength) through the entry point; the name
// is given in a buffer of its own, which `nameAfter` receives afterwards.
void callDoubleMetaphone(const std::string& name, int32_t maxlength, std::string* nameAfter,
                         int32_t* maxlengthAfter) {
    std::string text = name;
    HostValue args[2] = {};
    args[0].type = TYPE_STRING;
    args[0].stringValue = &text[0];
    args[1].type = TYPE_INTEGER;
    args[1].intValue = maxlength;
    HostValue out{};
    lastDelivery = Delivery();
    lastDelivery.flag = 12345;
    WILExtender2(0, 0, 0, FN_DOUBLE_METAPHONE, recordDelivery, 0, 0, args, 2, &out);
    EXPECT_EQ(lastDelivery.type, TYPE_STRING) << "every answer, a message too, is a string";
    *nameAfter = args[0].stringValue;
    *maxlengthAfter = args[1].intValue;
}

// Each call takes seven blocks: the record and the text of the primary code,
// of the secondary code and of the working string, then the result block.
// Refusing any of them releases all the others; a refused code buffer or
// working string answers the empty string, a refused result block message
// 913 with flag -3.
TEST(DoubleMetaphone, EveryRefusedBlockLeavesNothingBehind) {
    const std::string longName = std::string(300, 'a') + "ch";
    for (const std::string& name : {std::string("Smith"), longName}) {
        SCOPED_TRACE(name.size());
        std::string nameAfter;
        int32_t maxlengthAfter = 0;

        long start = platform_test::liveBlocks();
        long callsBefore = platform_test::allocationCalls();
        callDoubleMetaphone(name, 300, &nameAfter, &maxlengthAfter);
        const long blocksPerCall = platform_test::allocationCalls() - callsBefore;
        const std::string expected = lastDelivery.text;
        ASSERT_EQ(blocksPerCall, 7);
        ASSERT_EQ(lastDelivery.flag, 0);
        ASSERT_EQ(expected, name == "Smith" ? "SM0\tXMT" : "AX\tAK");
        EXPECT_EQ(platform_test::liveBlocks(), start);

        for (long refused = 1; refused <= blocksPerCall + 1; ++refused) {
            SCOPED_TRACE(refused);
            platform_test::failAllocation(refused);
            callDoubleMetaphone(name, 300, &nameAfter, &maxlengthAfter);
            platform_test::failAllocation(0);
            if (refused < blocksPerCall) {
                EXPECT_EQ(lastDelivery.flag, 0);
                EXPECT_EQ(lastDelivery.text, "");
            } else if (refused == blocksPerCall) {
                EXPECT_EQ(lastDelivery.flag, SEVERITY_MEMORY);
                EXPECT_EQ(lastDelivery.text, messageText(913));
            } else {
                EXPECT_EQ(lastDelivery.flag, 0);
                EXPECT_EQ(lastDelivery.text, expected);
            }
            EXPECT_EQ(nameAfter, name);
            EXPECT_EQ(maxlengthAfter, 255);
            EXPECT_EQ(platform_test::liveBlocks(), start);
        }
    }
}

// The read primitives see the working string only: positions before it,
// at its NUL or beyond are outside, and a candidate never matches past the
// NUL even when it starts inside.
TEST(DoubleMetaphone, ReadPrimitivesStopAtTheWorkingString) {
    CodeBuffer* working = createCodeBuffer("ACHY");
    ASSERT_NE(working, nullptr);
    appendCodeBuffer(working, "     ");
    DoubleMetaphone dm{};
    dm.working = working;

    EXPECT_EQ(dm.charAt(-1), '\0');
    EXPECT_EQ(dm.charAt(4), ' ');
    EXPECT_EQ(dm.charAt(8), ' ');
    EXPECT_EQ(dm.charAt(9), '\0');
    EXPECT_TRUE(dm.vowelAt(3));  // Y
    EXPECT_FALSE(dm.vowelAt(-1));
    EXPECT_FALSE(dm.vowelAt(9));

    EXPECT_TRUE(dm.matchAt(0, 3, "XYZ", "ACH"));
    EXPECT_TRUE(dm.matchAt(3, 2, "Y "));
    EXPECT_TRUE(dm.matchAt(8, 1, " "));
    EXPECT_FALSE(dm.matchAt(8, 2, "  "));  // would reach past the NUL
    EXPECT_FALSE(dm.matchAt(9, 1, " "));
    EXPECT_FALSE(dm.matchAt(-1, 3, "ACH"));
    EXPECT_FALSE(dm.matchAt(1, 3, "ACH"));
    releaseCodeBuffer(working);
}

// A code never passes 255 characters: a too-long append is refused whole,
// and a shorter one may still fit afterwards. A longer working string gets
// room for all of its text.
TEST(DoubleMetaphone, CodeBufferRefusesWholeAppends) {
    CodeBuffer* code = createCodeBuffer(nullptr);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->capacity, 256);
    appendCodeBuffer(code, std::string(254, 'K').c_str());
    appendCodeBuffer(code, "KS");
    EXPECT_EQ(code->count, 254);
    appendCodeBuffer(code, "S");
    appendCodeBuffer(code, nullptr);
    EXPECT_EQ(code->count, 255);
    EXPECT_EQ(std::string(code->text), std::string(254, 'K') + "S");
    releaseCodeBuffer(code);

    const std::string name(400, 'B');
    CodeBuffer* working = createCodeBuffer(name.c_str());
    ASSERT_NE(working, nullptr);
    EXPECT_EQ(working->capacity, 401);
    appendCodeBuffer(working, "     ");
    EXPECT_EQ(std::string(working->text), name);
    releaseCodeBuffer(working);
    releaseCodeBuffer(nullptr);
}

}  // namespace
