// UTF-8 to and from Windows-1252 around each call of the library.
#include <gtest/gtest.h>

#include <string>

#include "../../records/encoding.h"

namespace {

std::string toUtf8(const std::string& cp1252) {
    std::string out(cp1252.size() * 3, '\0');
    out.resize(cp1252ToUtf8(cp1252.data(), cp1252.size(), &out[0]));
    return out;
}

// The Windows-1252 form, or "!" and the problem.
std::string toCp1252(const std::string& utf8) {
    std::string out(utf8.size(), '\0');
    EncodingProblem problem;
    size_t n = utf8ToCp1252(utf8.data(), utf8.size(), &out[0], &problem);
    if (n == SIZE_MAX) return "!" + describeProblem(problem) + " at " + std::to_string(problem.offset);
    out.resize(n);
    return out;
}

TEST(Encoding, EveryByteButNulGoesThereAndBack) {
    for (int b = 1; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(toCp1252(toUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(Encoding, CharactersOfTheCodePage) {
    struct {
        const char* cp1252;
        const char* utf8;
    } cases[] = {
        {"\x80", "€"},          {"\x8A", "Š"},      {"\x8C", "Œ"},      {"\x91\x92", "‘’"},
        {"\x99", "™"},          {"\x9F", "Ÿ"},      {"\xA0", "\xC2\xA0"}, {"\xC7", "Ç"},
        {"\xD1\xFA\xF1", "Ñúñ"}, {"M\xFCller", "Müller"}, {"\xFF", "ÿ"},
        // The five bytes the code page leaves undefined stand for C1 controls.
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(toCp1252(c.utf8), c.cp1252);
    }
}

TEST(Encoding, CharactersWithoutAByte) {
    EXPECT_EQ(toCp1252("ab\xC2\x80"), "!U+0080 has no Windows-1252 form at 2");  // 0x80 is the euro sign
    EXPECT_EQ(toCp1252("Łukasz"), "!U+0141 has no Windows-1252 form at 0");
    EXPECT_EQ(toCp1252("Li 李"), "!U+674E has no Windows-1252 form at 3");
    EXPECT_EQ(toCp1252("😀"), "!U+1F600 has no Windows-1252 form at 0");
    EXPECT_EQ(toCp1252("\xEF\xBB\xBF" "a"), "!U+FEFF has no Windows-1252 form at 0");
}

TEST(Encoding, InvalidUtf8) {
    const char* cases[] = {
        "\x80",              // a lone continuation byte
        "\xC3",              // cut short
        "\xE2\x82",          // cut short
        "\xC3\x41",          // no continuation byte
        "\xC0\xAF",          // overlong
        "\xC1\xBF",          // overlong
        "\xE0\x80\xAF",      // overlong
        "\xF0\x80\x80\xAF",  // overlong
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xF5\x80\x80\x80",  // no such lead byte
        "\xFF",
    };
    for (const char* c : cases) EXPECT_EQ(toCp1252(std::string("ab") + c), "!invalid UTF-8 at 2") << c;
}

TEST(Encoding, NulByteIsAProblem) {
    EXPECT_EQ(toCp1252(std::string("Ro\0bert", 7)), "!a NUL byte at 2");
}

TEST(Encoding, EmptyText) {
    EXPECT_EQ(toCp1252(""), "");
    EXPECT_EQ(toUtf8(""), "");
}

}  // namespace
