// The extender's own parts that the table of cases cannot reach: the scratch
// pool's limits and release order, refused blocks, the function table's
// consistency, the string table, and the platform stand-ins.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "../../extender/dispatch.h"
#include "../../extender/exports.h"
#include "../../extender/function_table.h"
#include "../../extender/script_functions.h"
#include "../../platform/platform_test.h"
#include "../../resources/string_ids.h"
#include "../support/case_table.h"
#include "../support/delivery.h"

namespace {

CallResult freshResult() {
    CallResult r{};
    r.severity = SEVERITY_GENERAL;
    return r;
}

int32_t OV_STDCALL answer42(int32_t, uintptr_t, uintptr_t, HostValue*) { return 42; }

TEST(ScratchPool, NinthBlockIsRefusedAndAllEightAreReleasedLastFirst) {
    CallResult r = freshResult();
    long live = platform_test::liveBlocks();
    for (int i = 0; i < 8; ++i) ASSERT_NE(allocScratch(&r, 16), nullptr);
    EXPECT_EQ(allocScratch(&r, 16), nullptr);
    EXPECT_EQ(r.kind, KIND_ERROR);
    EXPECT_EQ(r.intValue, IDS_TOO_MANY_BLOCKS);
    EXPECT_EQ(r.severity, SEVERITY_MEMORY);
    EXPECT_EQ(r.blockCount, 8);
    EXPECT_EQ(platform_test::liveBlocks(), live + 8);

    void* taken[8];
    std::memcpy(taken, r.blocks, sizeof taken);
    platform_test::startReleaseLog();
    HostValue out{};
    EXPECT_EQ(deliverResult(&r, &out, answer42, 0, 0), 42);
    EXPECT_EQ(out.type, TYPE_STRING);
    EXPECT_EQ(platform_test::liveBlocks(), live);
    ASSERT_EQ(platform_test::releaseLog().size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(platform_test::releaseLog()[i], taken[7 - i]);
}

TEST(ScratchPool, RefusedBlockRecordsMessage913) {
    CallResult r = freshResult();
    platform_test::failAllocation(1);
    EXPECT_EQ(allocScratch(&r, 10), nullptr);
    EXPECT_EQ(r.kind, KIND_ERROR);
    EXPECT_EQ(r.intValue, IDS_NO_MEMORY);
    EXPECT_EQ(r.severity, SEVERITY_MEMORY);
    EXPECT_EQ(r.blockCount, 0);
    // A negative count is never a small block.
    CallResult n = freshResult();
    EXPECT_EQ(allocScratch(&n, -1), nullptr);
    EXPECT_EQ(n.intValue, IDS_NO_MEMORY);
}

TEST(ScratchPool, BlocksAreZeroFilledAtTheirSize) {
    CallResult r = freshResult();
    unsigned char* one = static_cast<unsigned char*>(allocScratch(&r, 1));
    unsigned char* big = static_cast<unsigned char*>(allocScratch(&r, 4096));
    ASSERT_TRUE(one && big);
    EXPECT_EQ(one[0], 0);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(big[i], 0);
    HostValue out{};
    deliverResult(&r, &out, answer42, 0, 0);
    EXPECT_EQ(r.blockCount, 0);
}

// A refused block inside a script call reaches the host as message 913 with
// flag -3, and the argument keeps what the function had already done to it.
TEST(ScratchPool, SoundexOfAShortNameReportsARefusedBlock) {
    char name[] = "lee";
    HostValue args[2] = {};
    args[0].type = TYPE_STRING;
    args[0].stringValue = name;
    args[1].type = TYPE_INTEGER;
    HostValue out{};
    long live = platform_test::liveBlocks();
    platform_test::failAllocation(1);
    WILExtender2(0, 0, 0, FN_SOUNDEX, recordDelivery, 0, 0, args, 2, &out);
    EXPECT_EQ(lastDelivery.flag, -3);
    EXPECT_EQ(lastDelivery.text, messageText(913));
    EXPECT_STREQ(name, "L");
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

TEST(TypeCodes, OnlyTheMarkedCodesLoseTheirStringBit) {
    const int32_t marked[][2] = {{3, 1}, {7, 5}, {19, 17}, {34, 32}, {67, 65}};
    for (auto& m : marked) EXPECT_EQ(normalizeTypeCode(m[0]), m[1]);
    for (int32_t code : {0, 1, 2, 5, 6, 17, 18, 32, 35, 65, 66, 99, -1, 0x7FFFFFFF})
        EXPECT_EQ(normalizeTypeCode(code), code) << code;
}

TEST(FunctionTable, RowsAreConsistent) {
    std::set<int32_t> ids;
    int rows = 0;
    for (const FunctionInfo* row = FunctionTable; row->id != END_ROW_ID; ++row, ++rows) {
        EXPECT_TRUE(ids.insert(row->id).second) << row->id;
        EXPECT_EQ(std::strncmp(row->name, "ov", 2), 0) << row->name;
        EXPECT_EQ(row->entryKind, 2);
        EXPECT_EQ(row->nameLength, 0);
        EXPECT_LE(std::strlen(row->name), 33u);
        // paramTypes holds a nibble per parameter and nothing beyond them.
        EXPECT_EQ(row->paramTypes >> (4 * row->paramCount), 0u) << row->name;
        for (int i = 0; i < row->paramCount; ++i) EXPECT_LE((row->paramTypes >> (4 * i)) & 0xF, 1u);
    }
    EXPECT_EQ(rows, FUNCTION_COUNT);
    EXPECT_EQ(FunctionTable[FUNCTION_COUNT].id, END_ROW_ID);
}

TEST(FunctionTable, LowerCaseMapFollowsWindows1252) {
    for (int c = 0; c < 256; ++c) {
        int want = c;
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) want = c + 0x20;
        if (c == 0x8A || c == 0x8C) want = c + 0x10;
        if (c == 0x9F) want = 0xFF;
        EXPECT_EQ(lowerCaseMap[c], want) << std::hex << c;
    }
}

TEST(StringTable, MessagesCarryTheirNumber) {
    char text[256];
    for (int id : {IDS_UNKNOWN_FUNCTION, IDS_BAD_INFO_MODE, IDS_NO_MEMORY, IDS_TOO_MANY_BLOCKS}) {
        ASSERT_GT(LoadStringA(nullptr, id, text, sizeof text), 0);
        EXPECT_EQ(std::string(text).rfind(std::to_string(id) + ":  ", 0), 0u) << text;
        EXPECT_LT(std::strlen(text), 128u) << "a message must fit the 128-byte buffer";
    }
    EXPECT_EQ(LoadStringA(nullptr, 12345, text, sizeof text), 0);
    EXPECT_EQ(LoadStringA(nullptr, IDS_DESCRIPTION, text, 6), 5);
    EXPECT_STREQ(text, "Ovrin");
}

TEST(Dispatch, ParseLeadingDecimal) {
    EXPECT_EQ(parseLeadingDecimal("34002"), 34002);
    EXPECT_EQ(parseLeadingDecimal("10002.20031108"), 10002);
    EXPECT_EQ(parseLeadingDecimal("12ab"), 12);
    EXPECT_EQ(parseLeadingDecimal(" 12"), 0);
    EXPECT_EQ(parseLeadingDecimal("-12"), 0);
    EXPECT_EQ(parseLeadingDecimal(""), 0);
}

TEST(Platform, StandInsBehaveAsWindows) {
    char text[] = "abz\xE0\xE7\xF1\xFE\xF7\xDF\xB5\x9A\x9C\x9E\xFF{";
    CharUpperA(text);
    EXPECT_STREQ(text, "ABZ\xC0\xC7\xD1\xDE\xF7\xDF\xB5\x8A\x8C\x8E\x9F{");
    char copy[8];
    EXPECT_STREQ(lstrcpynA(copy, "abcdef", 4), "abc");
    EXPECT_EQ(lstrlenA("abc"), 3);
    EXPECT_EQ(lstrcmpA("abc", "abc"), 0);
    EXPECT_LT(lstrcmpA("abc", "abd"), 0);
    // Equal as Windows compares them, though not byte for byte.
    EXPECT_EQ(lstrcmpA("\xC6LFRED", "AELFRED"), 0);
    EXPECT_EQ(lstrcmpA("\x8CUVRE", "OEUVRE"), 0);
    EXPECT_EQ(lstrcmpA("\xDEORA", "THORA"), 0);
    EXPECT_EQ(lstrcmpA("Stra\xDF" "e", "Strasse"), 0);
    EXPECT_EQ(lstrcmpA("AN\xAD" "NA", "ANNA"), 0);
    EXPECT_NE(lstrcmpA("O'BRIEN", "OBRIEN"), 0);
    EXPECT_NE(lstrcmpA("\xC6", "Ae"), 0);
}

}  // namespace
