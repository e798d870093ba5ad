#include <gtest/gtest.h>

#include "platform/fs/DevicePath.h"

using Names = std::vector<std::string>;

TEST(DevicePath, ParsesSeparatorsDotsAndDoubledSeparators) {
    struct Row {
        const char* path;
        Names names;
    };
    const Row rows[] = {
        {"\\My Documents\\Quillo\\\\x.bmp", {"My Documents", "Quillo", "x.bmp"}},
        {"/My Documents/Quillo/x.bmp", {"My Documents", "Quillo", "x.bmp"}},
        {"\\a\\.\\b\\", {"a", "b"}},
        {"\\a\\..\\b", {"b"}},
        {"\\..\\..\\etc\\passwd", {"etc", "passwd"}},
        {"a\\b", {"a", "b"}},
        {"\\", {}},
        {"", {}},
        {"\\メモ\\買い物.bmp", {"メモ", "買い物.bmp"}},
    };
    for (const auto& row : rows) {
        const auto names = ParseDevicePath(row.path);
        ASSERT_TRUE(names.has_value()) << row.path;
        EXPECT_EQ(*names, row.names) << row.path;
    }
}

TEST(DevicePath, RefusesNamesTheDeviceCannotHold) {
    const std::string refused[] = {
        "\\a<b",
        "\\a>b",
        "\\a:b",
        "\\a\"b",
        "\\a|b",
        "\\a?b",
        "\\a*b",
        "\\a\x01z",
        "\\a\x7f",
        "\\.hidden",
        "\\ok\\.quillo-save-1-0",
        "\\bad\xff name",
        "\\" + std::string(256, 'n'),
    };
    for (const auto& path : refused) {
        EXPECT_FALSE(ParseDevicePath(path).has_value()) << path;
    }
    EXPECT_TRUE(ParseDevicePath("\\" + std::string(255, 'n')).has_value());
}

TEST(DevicePath, LimitsTheWholePathTo259Units) {
    const std::string fits = "\\" + std::string(200, 'a') + "\\" + std::string(57, 'b');
    ASSERT_EQ(fits.size(), 259u);
    EXPECT_TRUE(ParseDevicePath(fits).has_value());
    EXPECT_FALSE(ParseDevicePath(fits + "c").has_value());
    // Counted in UTF-16 units, not bytes: 129 three-byte characters are 130 units with "\".
    std::string kana = "\\";
    for (int i = 0; i < 129; ++i) kana += "あ";
    EXPECT_TRUE(ParseDevicePath(kana).has_value());
}

TEST(DevicePath, WildcardsOnlyInTheLastNameOfAPattern) {
    EXPECT_TRUE(ParseDevicePath("\\a\\*.bmp", true).has_value());
    EXPECT_TRUE(ParseDevicePath("\\a\\x?.bmp", true).has_value());
    EXPECT_FALSE(ParseDevicePath("\\a*\\b", true).has_value());
    EXPECT_FALSE(ParseDevicePath("\\a\\*.bmp").has_value());
}

TEST(DevicePath, PatternsMatchWithoutRegardToCase) {
    struct Row {
        const char* name;
        const char* pattern;
        bool match;
    };
    const Row rows[] = {
        {"x.bmp", "*.bmp", true},
        {"y.BMP", "*.bmp", true},
        {"x.bmpx", "*.bmp", false},
        {"xbmp", "*.bmp", false},
        {".bmp", "*.bmp", true},
        {"メモ.BMP", "*.bmp", true},
        {"x.bm\u212A", "*.bmk", true},  // the Kelvin sign folds to "k"
        {"bmp", "*.bmp", false},
        {"a.bmp", "?.bmp", true},
        {"ab.bmp", "?.bmp", false},
        {"noext", "*.*", true},
        {"aXbYc", "a*b*c", true},
        {"aXbYcd", "a*b*c", false},
        {"ＭＥＭＯ.bmp", "ｍｅｍｏ.*", true},
        {"anything", "*", true},
        {"", "*", true},
        {"abc", "", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MatchesPattern(row.name, row.pattern), row.match)
            << row.name << " ~ " << row.pattern;
    }
}
