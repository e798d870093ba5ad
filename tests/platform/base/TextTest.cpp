#include <gtest/gtest.h>

#include "platform/base/Text.h"

TEST(Text, EqualNoCaseFoldsUnicodeCase) {
    struct Row {
        const char* a;
        const char* b;
        bool equal;
    };
    const Row rows[] = {
        {"PenColor", "pENColor", true},
        {"x.bmp", "X.BMP", true},
        {"Éclair", "éCLAIR", true},  // Latin-1
        {"ΣΟΦΙΑ", "σοφια", true},    // Greek
        {"МОСКВА", "москва", true},  // Cyrillic
        {"ＡＢＣ", "ａｂｃ", true},  // full-width Latin
        {"Ǆ", "ǆ", true},            // title-case digraph
        {"メモ", "メモ", true},
        {"a", "b", false},
        {"abc", "ab", false},
        {"", "", true},
        {"\xff", "\xfe", false},  // invalid bytes stay distinct
        {"\xff", "\xff", true},
        {"e\xcc", "E\xcc", true},  // a cut-off sequence does not swallow its neighbour
    };
    for (const auto& row : rows) {
        EXPECT_EQ(EqualNoCase(row.a, row.b), row.equal) << row.a << " / " << row.b;
    }
}

TEST(Text, CompareNoCaseOrdersByFoldedCharacters) {
    EXPECT_LT(CompareNoCase("apple", "Banana"), 0);
    EXPECT_GT(CompareNoCase("banana", "APPLE"), 0);
    EXPECT_LT(CompareNoCase("ab", "ABC"), 0);
    EXPECT_GT(CompareNoCase("abc", "AB"), 0);
    EXPECT_EQ(CompareNoCase("Quillo", "QUILLO"), 0);
}

TEST(Text, Utf16LengthCountsCodeUnits) {
    EXPECT_EQ(Utf16Length(""), 0u);
    EXPECT_EQ(Utf16Length("abc"), 3u);
    EXPECT_EQ(Utf16Length("日本語"), 3u);  // 9 bytes, 3 units
    EXPECT_EQ(Utf16Length("😀"), 2u);       // a surrogate pair
    EXPECT_EQ(Utf16Length("ｶﾚﾝﾀﾞｰ"), 6u);  // half-width kana are one unit each
    EXPECT_EQ(Utf16Length(std::string(260, 'a')), 260u);
}

TEST(Text, DecodeRejectsOverlongAndSurrogateForms) {
    const std::string overlong = "\xc0\xaf";       // "/" in two bytes
    const std::string surrogate = "\xed\xa0\x80";  // U+D800
    for (const std::string& bad : {overlong, surrogate}) {
        size_t pos = 0;
        const char32_t first = DecodeUtf8(bad, pos);
        EXPECT_EQ(pos, 1u);
        EXPECT_EQ(first, 0xDC00u + static_cast<unsigned char>(bad[0]));
    }
}

// Letters fold to small letters: "[" (between the capitals and the small letters) sorts
// before every letter.
TEST(CompareNoCase, FoldsLettersOnlyAcrossTheAsciiEdgesAndBeyond) {
    const struct {
        const char* a;
        const char* b;
        int sign;  // of CompareNoCase(a, b)
    } cases[] = {
        {"A", "a", 0},   {"Z", "z", 0},  {"@", "`", -1},      {"[", "{", -1},       {"@", "a", -1},
        {"[", "a", -1},  {"`", "A", -1}, {"{", "Z", 1},       {"Ä", "ä", 0},        {"Σ", "σ", 0},
        {"Ａ", "ａ", 0}, {"é", "E", 1},  {"memo", "MEMO", 0}, {"memo1", "MEMO", 1}, {"", "a", -1},
    };
    for (const auto& c : cases) {
        const int result = CompareNoCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(EqualNoCase(c.a, c.b), c.sign == 0) << c.a << " vs " << c.b;
    }
}
