#include <gtest/gtest.h>

#include "platform/base/Format.h"

TEST(Format, ProgramFormatTextsGiveTheirExactOutput) {
    EXPECT_EQ(Format("%d%02d%02d%02d%02d.bmp", 2009, 1, 13, 15, 30), "200901131530.bmp");
    EXPECT_EQ(Format("%d/%02d/%02d %02d:%02d", 2009, 3, 5, 7, 0), "2009/03/05 07:00");
    EXPECT_EQ(Format("FileName%02d", 7), "FileName07");
    EXPECT_EQ(Format("FileName%02d", 100), "FileName100");
    EXPECT_EQ(Format("%ld", 0x00FFFFFFL), "16777215");
    EXPECT_EQ(Format("%ld", -1L), "-1");
    EXPECT_EQ(Format("(%02d)", 1), "(01)");
}

TEST(Format, Utf8TextPassesThroughUnchanged) {
    EXPECT_EQ(Format("%s%s", "\\My Documents\\", "メモ"), "\\My Documents\\メモ");
    EXPECT_EQ(Format(" を削除してよろしいですか？"), " を削除してよろしいですか？");
}

TEST(Format, OutputLongerThanTheInlineBufferIsComplete) {
    const std::string longName(1000, 'x');
    const std::string result = Format("[%s]%d", longName.c_str(), 42);
    ASSERT_EQ(result.size(), 1004u);
    EXPECT_EQ(result.front(), '[');
    EXPECT_EQ(result.substr(1001), "]42");
}
