// The comparisons beyond the table of cases: a refused matrix block, the
// edit distance against a naive reference over many random names, the
// Guth walk over random names in buffers of their exact size, and the
// consonant and vowel tests on a name amid other bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../../compare/guth_match.h"
#include "../../compare/letters.h"
#include "../../compare/levenshtein.h"
#include "../../extender/exports.h"
#include "../../extender/function_ids.h"
#include "../../extender/script_functions.h"
#include "../../host/host_args.h"
#include "../../platform/platform_test.h"
#include "../reference/edit_distance.h"
#include "../support/case_table.h"
#include "../support/delivery.h"

namespace {

// A string argument in a heap buffer of exactly its length + 1, so that the
// sanitizers catch any access past its NUL.
struct ExactString {
    explicit ExactString(const std::string& text) : bytes(new char[text.size() + 1]) {
        std::memcpy(bytes.get(), text.c_str(), text.size() + 1);
    }
    std::unique_ptr<char[]> bytes;
};

int32_t callLevenshtein(char* name1, char* name2) {
    HostValue args[2] = {stringArg(name1), stringArg(name2)};
    HostValue out{};
    WILExtender2(0, 0, 0, FN_LEVENSHTEIN, recordDelivery, 0, 0, args, 2, &out);
    return lastDelivery.intValue;
}

std::string randomText(std::mt19937& rng, const char* alphabet, size_t maxLength) {
    size_t alphabetSize = std::strlen(alphabet);
    std::string text(std::uniform_int_distribution<size_t>(0, maxLength)(rng), ' ');
    for (char& c : text) c = alphabet[std::uniform_int_distribution<size_t>(0, alphabetSize - 1)(rng)];
    return text;
}

// The upper-case ASCII letters of a text made of ASCII only.
std::string lettersOf(const std::string& text) {
    std::string out;
    for (char c : text)
        if (std::isalpha(static_cast<unsigned char>(c))) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

TEST(Levenshtein, RefusedMatrixGives913AndLeavesTheNamesReduced) {
    char name1[] = "o'Neil";
    char name2[] = "mc neill";
    long live = platform_test::liveBlocks();
    platform_test::failAllocation(1);
    callLevenshtein(name1, name2);
    platform_test::failAllocation(0);
    EXPECT_EQ(lastDelivery.flag, -3);
    EXPECT_EQ(lastDelivery.type, TYPE_STRING);
    EXPECT_EQ(lastDelivery.text, messageText(913));
    EXPECT_STREQ(name1, "ONEIL");
    EXPECT_STREQ(name2, "MCNEILL");
    EXPECT_EQ(platform_test::liveBlocks(), live);

    // The next call takes its block again and answers normally.
    EXPECT_EQ(callLevenshtein(name1, name2), 3);
    EXPECT_EQ(lastDelivery.flag, 0);
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

TEST(Levenshtein, EmptyAndOverlongNamesTakeNoBlock) {
    long calls = platform_test::allocationCalls();
    std::string overlong(256, 'a');
    ExactString empty(""), longName(overlong), other("b");
    EXPECT_EQ(callLevenshtein(empty.bytes.get(), longName.bytes.get()), 256);
    EXPECT_EQ(callLevenshtein(other.bytes.get(), longName.bytes.get()), -1);
    EXPECT_EQ(platform_test::allocationCalls(), calls);
    EXPECT_EQ(std::string(longName.bytes.get()), overlong);
}

TEST(Levenshtein, AgreesWithTheReferenceOnRandomLetters) {
    std::mt19937 rng(20240551);
    // Small alphabets make near-equal names, the interesting ones; the long
    // names reach the 255-letter edge where a cell holds its largest count.
    const char* alphabets[] = {"AB", "ABC", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"};
    for (int round = 0; round < 3000; ++round) {
        const char* alphabet = alphabets[round % 3];
        size_t maxLength = round % 50 == 0 ? 255 : 12;
        std::string a = randomText(rng, alphabet, maxLength), b = randomText(rng, alphabet, maxLength);
        std::vector<unsigned char> matrix((a.size() + 1) * (b.size() + 1), 0xEE);
        int32_t got = editDistance(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()),
                                   matrix.data());
        ASSERT_EQ(got, referenceDistance(a, b)) << a << " / " << b;
    }
    std::string allA(255, 'A'), allB(255, 'B');
    std::vector<unsigned char> matrix(256 * 256);
    EXPECT_EQ(editDistance(allA.data(), 255, allB.data(), 255, matrix.data()), 255);
}

// The word-at-a-time distance agrees with the full matrix at every pattern
// length from 1 to 64 (the last row in the word's top bit) against texts of
// every length up to 255, and editDistance agrees with the matrix on both
// sides of the 64-letter edge, where it leaves the word for the rows.
TEST(Levenshtein, BitParallelDistanceAgreesWithTheMatrix) {
    std::mt19937 rng(1655);
    const char* alphabets[] = {"A", "AB", "ABC", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"};
    auto byRows = [](const std::string& a, const std::string& b) {
        std::vector<unsigned char> matrix((a.size() + 1) * (b.size() + 1), 0xEE);
        return fillMatrixByRows(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()),
                                matrix.data());
    };
    auto random = [&](size_t length, const char* alphabet) {
        std::string text(length, ' ');
        for (char& c : text) c = alphabet[std::uniform_int_distribution<size_t>(0, std::strlen(alphabet) - 1)(rng)];
        return text;
    };
    for (int32_t length = 1; length <= MAX_BIT_PARALLEL_LENGTH; ++length) {
        for (int round = 0; round < 8; ++round) {
            const char* alphabet = alphabets[round % 4];
            std::string pattern = random(static_cast<size_t>(length), alphabet);
            std::string text = randomText(rng, alphabet, round < 4 ? 20 : 255);
            ASSERT_EQ(editDistanceByBits(pattern.data(), length, text.data(), static_cast<int32_t>(text.size())),
                      byRows(pattern, text))
                << pattern << " / " << text;
        }
    }
    for (int32_t m : {63, 64, 65, 66, 200, 255}) {
        for (int32_t n : {0, 1, 17, 64, 65, 130, 255}) {
            const std::string a = random(static_cast<size_t>(m), alphabets[m % 3 + 1]);
            const std::string b = random(static_cast<size_t>(n), alphabets[n % 3 + 1]);
            std::vector<unsigned char> matrix((a.size() + 1) * (b.size() + 1), 0xEE);
            ASSERT_EQ(editDistance(a.data(), m, b.data(), n, matrix.data()), byRows(a, b)) << a << " / " << b;
            ASSERT_EQ(editDistance(b.data(), n, a.data(), m, matrix.data()), byRows(b, a)) << b << " / " << a;
        }
    }
    // A cell of 255, the largest count a byte holds, and the edges of the word.
    std::string allA(255, 'A'), allB(255, 'B'), sixtyFourA(64, 'A');
    EXPECT_EQ(byRows(allA, allB), 255);
    EXPECT_EQ(editDistanceByBits(sixtyFourA.data(), 64, allB.data(), 255), 255);
    EXPECT_EQ(editDistanceByBits(sixtyFourA.data(), 64, allA.data(), 255), 191);
    EXPECT_EQ(editDistanceByBits("A", 1, "B", 1), 1);
}

// The one-pass upper-casing and reduction leaves the whole buffer, bytes
// past the new end included, as CharUpperA and the reduction leave it: for
// names of letters only (the word-at-a-time path, at every length around
// its word sizes), with other bytes, and with bytes above 0x7F, from which
// on CharUpperA does the upper-casing. Each text sits in a buffer of exactly
// its size.
TEST(Levenshtein, OnePassReductionLeavesTheBufferOfUpperCaseThenReduce) {
    std::mt19937 rng(5521);
    const char* alphabets[] = {"abcxyzABCXYZ", "aZ`{@[-' 1", "aBz\xe9\xff\x9a\xe0Q ", "mM"};
    for (int round = 0; round < 4000; ++round) {
        const std::string text = randomText(rng, alphabets[round % 4], round % 100 == 0 ? 255 : 20);
        ExactString expected(text), got(text);
        CharUpperA(expected.bytes.get());
        const int32_t kept = keepLettersAToZ(expected.bytes.get());
        ASSERT_EQ(upperCaseAndKeepLettersAToZ(got.bytes.get(), static_cast<int32_t>(text.size())), kept) << text;
        ASSERT_EQ(std::memcmp(got.bytes.get(), expected.bytes.get(), text.size() + 1), 0) << text;
    }
}

TEST(Levenshtein, ScriptCallAgreesWithTheReferenceOnRandomNames) {
    std::mt19937 rng(55);
    long live = platform_test::liveBlocks();
    for (int round = 0; round < 2000; ++round) {
        // Mixed case, blanks and punctuation: the call must reduce before it measures.
        std::string a = randomText(rng, "aAbBcC -'.1", round % 40 == 0 ? 255 : 14);
        std::string b = randomText(rng, "aAbBcC -'.1", 14);
        if (a.empty() || b.empty()) continue;
        ExactString x(a), y(b);
        int32_t got = callLevenshtein(x.bytes.get(), y.bytes.get());
        ASSERT_EQ(lastDelivery.flag, 0);
        ASSERT_EQ(got, referenceDistance(lettersOf(a), lettersOf(b))) << a << " / " << b;
        ASSERT_EQ(std::string(x.bytes.get()), lettersOf(a));
        ASSERT_EQ(std::string(y.bytes.get()), lettersOf(b));
    }
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

int32_t callCharTest(int32_t function, char* name, int32_t position) {
    HostValue args[3] = {stringArg(name), integerArg(position), integerArg(1)};
    HostValue out{};
    WILExtender2(0, 0, 0, function, recordDelivery, 0, 0, args, 3, &out);
    return lastDelivery.intValue;
}

// A name in the middle of the host's memory: the byte before it is a
// consonant, a vowel or Y, and positions 0 and below must not reach it (nor
// a position past the end the byte after the NUL).
TEST(CharTests, PositionsOutsideTheNameReadNothingAroundIt) {
    const int32_t isConsonant = 62, isVowel = 63;
    for (const char* around : {"bXb", "aXa", "yXy", "BXB"}) {
        SCOPED_TRACE(around);
        char buffer[] = {around[0], '-', '\0', around[2], '\0'};
        char* name = buffer + 1;
        for (int32_t position : {0, -1, 2, 3}) {
            EXPECT_EQ(callCharTest(isConsonant, name, position), 0) << position;
            EXPECT_EQ(callCharTest(isVowel, name, position), 0) << position;
        }
        name[0] = around[0];  // the name's own first letter is found
        EXPECT_EQ(callCharTest(around[0] == 'b' || around[0] == 'B' ? isConsonant : isVowel, name, 1), 1);
    }
}

GuthResult guthByCall(const std::string& a, const std::string& b, int32_t mode) {
    ExactString x(a), y(b);
    HostValue args[3] = {stringArg(x.bytes.get()), stringArg(y.bytes.get()), integerArg(mode)};
    HostValue out{};
    WILExtender2(0, 0, 0, FN_GUTH_MATCH, recordDelivery, 0, 0, args, 3, &out);
    GuthResult r{};
    if (mode == 3) std::sscanf(lastDelivery.text.c_str(), "%d\t%d", &r.matchFlag, &r.percentage);
    else if (mode == 1) r.matchFlag = lastDelivery.intValue;
    else r.percentage = lastDelivery.intValue;
    return r;
}

// Names in buffers of their exact size reach every probe at both ends; the
// flag of mode 1 (whose walk stops at the first mismatch) must be the flag
// that mode 3 reports, and each mode must agree with the others.
TEST(GuthMatch, ModesAgreeOnRandomNames) {
    std::mt19937 rng(54);
    for (int round = 0; round < 3000; ++round) {
        const char* alphabet = round % 2 ? "ABE" : "abcdeABCDE -'";
        std::string a = randomText(rng, alphabet, 9), b = randomText(rng, alphabet, 9);
        GuthResult flag = guthByCall(a, b, 1);
        GuthResult percent = guthByCall(a, b, 2);
        GuthResult both = guthByCall(a, b, 3);
        ASSERT_EQ(flag.matchFlag, both.matchFlag) << a << " / " << b;
        ASSERT_EQ(percent.percentage, both.percentage) << a << " / " << b;
        ASSERT_GE(both.percentage, 0);
        ASSERT_LE(both.percentage, 100);
        // Names with the same letters are equal after the reduction.
        if (!a.empty() && !b.empty() && lettersOf(a) == lettersOf(b)) {
            ASSERT_EQ(lastDelivery.text, "1\t100") << a << " / " << b;
        }
    }
}

TEST(GuthMatch, WalkCountsBeyondTheShorterNameButThePercentageIsCapped) {
    GuthWalk walk = guthWalk("AB", 2, "ABBBBB", 6, false);
    EXPECT_EQ(walk.matchFlag, 1);
    EXPECT_EQ(walk.matchCount, 3);
    char a[] = "AB", b[] = "ABBBBB";
    GuthResult r = guthCompare(a, b, true);
    EXPECT_EQ(r.percentage, 50);
}

// count * 200 would pass the 32-bit range for names of more than about
// 10.7 million letters; the percentage is worked out wider and stays exact.
TEST(GuthMatch, PercentageOfVeryLongNamesDoesNotOverflow) {
    const size_t length = 11000000;
    std::string a(length, 'A'), b(length, 'A');
    a += 'B';
    GuthResult r = guthCompare(&a[0], &b[0], true);
    EXPECT_EQ(r.matchFlag, 1);
    EXPECT_EQ(r.percentage, 99);  // 11000000 * 200 / 22000001
}

}  // namespace
