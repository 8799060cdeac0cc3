// The comparisons beyond the table of cases: a refused matrix block, the
// edit distance against a naive reference over many random names, and the
// Guth walk over random names in buffers of their exact size.
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
#include "../../compare/levenshtein.h"
#include "../../extender/exports.h"
#include "../../extender/script_functions.h"
#include "../../platform/platform_test.h"
#include "../support/case_table.h"
#include "../support/host_args.h"

namespace {

// The textbook recursion over suffixes with a memo of ints: no byte cells,
// no shared rows, nothing in common with the real routine but the definition.
int referenceDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> memo(a.size() + 1, std::vector<int>(b.size() + 1, -1));
    std::function<int(size_t, size_t)> d = [&](size_t i, size_t j) -> int {
        if (i == a.size()) return static_cast<int>(b.size() - j);
        if (j == b.size()) return static_cast<int>(a.size() - i);
        int& cell = memo[i][j];
        if (cell >= 0) return cell;
        if (a[i] == b[j]) return cell = d(i + 1, j + 1);
        return cell = 1 + std::min({d(i + 1, j), d(i, j + 1), d(i + 1, j + 1)});
    };
    return d(0, 0);
}

// What the host's callback saw.
int32_t seenFlag;
int32_t seenType;
int32_t seenInt;
std::string seenText;
int32_t OV_STDCALL seeResult(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    seenFlag = flag;
    seenType = value->type;
    seenInt = value->intValue;
    seenText = value->type == TYPE_STRING && value->stringValue ? value->stringValue : "";
    return 0;
}

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
    WILExtender2(0, 0, 0, 55, seeResult, 0, 0, args, 2, &out);
    return seenInt;
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
    EXPECT_EQ(seenFlag, -3);
    EXPECT_EQ(seenType, TYPE_STRING);
    EXPECT_EQ(seenText, messageText(913));
    EXPECT_STREQ(name1, "ONEIL");
    EXPECT_STREQ(name2, "MCNEILL");
    EXPECT_EQ(platform_test::liveBlocks(), live);

    // The next call takes its block again and answers normally.
    EXPECT_EQ(callLevenshtein(name1, name2), 3);
    EXPECT_EQ(seenFlag, 0);
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

// The vector fill leaves exactly the matrix of the cell-by-cell fill, at
// every length from 0 to 255 on either side: narrow rows with each number of
// left steps, rows of several pieces, and the last rows, which reach the end
// of the matrix. Both fill matrices of their exact size, so the sanitizers
// catch a write past the end.
TEST(Levenshtein, VectorFillLeavesTheMatrixOfTheCellFill) {
    if (!vectorFillAvailable()) GTEST_SKIP() << "no SSE2 on this processor";
    std::mt19937 rng(1655);
    const char* alphabets[] = {"A", "AB", "ABC", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"};
    auto compare = [&](const std::string& a, const std::string& b) {
        const int32_t m = static_cast<int32_t>(a.size()), n = static_cast<int32_t>(b.size());
        std::vector<unsigned char> byCells((a.size() + 1) * (b.size() + 1), 0xEE);
        std::vector<unsigned char> byVectors(byCells.size(), 0xEE);
        fillMatrixByCells(a.data(), m, b.data(), n, byCells.data());
        fillMatrixByVectors(a.data(), m, b.data(), n, byVectors.data());
        return byCells == byVectors;
    };
    for (int32_t length = 0; length <= 255; ++length) {
        for (int round = 0; round < 6; ++round) {
            const char* alphabet = alphabets[round % 4];
            std::string fixed(static_cast<size_t>(length), ' ');
            for (char& c : fixed) c = alphabet[std::uniform_int_distribution<size_t>(0, std::strlen(alphabet) - 1)(rng)];
            std::string other = randomText(rng, alphabet, round < 3 ? 20 : 255);
            ASSERT_TRUE(compare(fixed, other)) << fixed << " / " << other;
            ASSERT_TRUE(compare(other, fixed)) << other << " / " << fixed;
        }
    }
    // Cells of 255: the largest count a byte holds, where headroom runs out.
    std::string allA(255, 'A'), allB(255, 'B');
    EXPECT_TRUE(compare(allA, allB));
    EXPECT_TRUE(compare(allA, "B"));
    EXPECT_TRUE(compare("B", allA));
    EXPECT_TRUE(compare(allA, ""));
    EXPECT_TRUE(compare("", allB));
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
        ASSERT_EQ(seenFlag, 0);
        ASSERT_EQ(got, referenceDistance(lettersOf(a), lettersOf(b))) << a << " / " << b;
        ASSERT_EQ(std::string(x.bytes.get()), lettersOf(a));
        ASSERT_EQ(std::string(y.bytes.get()), lettersOf(b));
    }
    EXPECT_EQ(platform_test::liveBlocks(), live);
}

GuthResult guthByCall(const std::string& a, const std::string& b, int32_t mode) {
    ExactString x(a), y(b);
    HostValue args[3] = {stringArg(x.bytes.get()), stringArg(y.bytes.get()), integerArg(mode)};
    HostValue out{};
    WILExtender2(0, 0, 0, 54, seeResult, 0, 0, args, 3, &out);
    GuthResult r{};
    if (mode == 3) std::sscanf(seenText.c_str(), "%d\t%d", &r.matchFlag, &r.percentage);
    else if (mode == 1) r.matchFlag = seenInt;
    else r.percentage = seenInt;
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
            ASSERT_EQ(seenText, "1\t100") << a << " / " << b;
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
