#include "platform/Gbk.h"
#include <gtest/gtest.h>

TEST(Gbk, EncodesChineseAsTwoBytesAndDropsWhatGbkCannotEncode)
{
    EXPECT_EQ(gbk::encode(QStringLiteral("总店")).toHex().toUpper(), QByteArray("D7DCB5EA"));
    EXPECT_EQ(gbk::encode(QStringLiteral("a😀b?")), QByteArray("ab?"));
    EXPECT_EQ(gbk::byteLength(QStringLiteral("T恤XL")), 5);
}

TEST(Gbk, CutsAtBytePositionsWithoutHalvingACharacter)
{
    EXPECT_EQ(gbk::leftBytes(QStringLiteral("红色XL"), 3), QStringLiteral("红"));
    EXPECT_EQ(gbk::leftBytes(QStringLiteral("红色XL"), 4), QStringLiteral("红色"));
    EXPECT_EQ(gbk::midBytes(QStringLiteral("2026-12-10"), 5, 2), QStringLiteral("12"));
}

TEST(Gbk, ComparesUpperCasedAsciiThenGbkBytes)
{
    EXPECT_EQ(gbk::compare(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
    EXPECT_LT(gbk::compare(QStringLiteral("Z"), QStringLiteral("啊")), 0);
    EXPECT_LT(gbk::compare(QStringLiteral("啊"), QStringLiteral("吧")), 0); // B0A1 < B0C9
    EXPECT_LT(gbk::compare(QStringLiteral("ab"), QStringLiteral("abc")), 0);
}
