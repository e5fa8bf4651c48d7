#include "base/Numbers.h"

#include <gtest/gtest.h>

using namespace brenlow;

TEST(RVal, ReadsNumbersLeniently)
{
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("$ 1,234.50")), 1234.5);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("  42  ")), 42.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("12.5")), 12.5);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("-3")), -3.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("1E3")), 1000.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("45%")), 45.0); // the scan stops at "%"
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("\u00A3 7")), 7.0);
}

TEST(RVal, HexAndOctalPrefixes)
{
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("&HFF")), 255.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("&hff")), 255.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("&O17")), 15.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("FF")), 0.0); // hex digits only count after &H
}

TEST(RVal, TextWithoutNumberReadsAsBoolean)
{
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("True")), -1.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("false")), 0.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(rVal(QString()), 0.0);
}

TEST(RVal, ConversionErrorsGiveZero)
{
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("1-2")), 0.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("..")), 0.0);
    EXPECT_DOUBLE_EQ(rVal(QStringLiteral("1E999")), 0.0);
}

TEST(FormsANumber, AcceptsWhatTheTableCodesLookLike)
{
    EXPECT_TRUE(FormsANumber(QStringLiteral("18, ")));
    EXPECT_TRUE(FormsANumber(QStringLiteral("137,")));
    EXPECT_TRUE(FormsANumber(QStringLiteral(" 1,234.5 ")));
    EXPECT_TRUE(FormsANumber(QStringLiteral("-12")));
    EXPECT_TRUE(FormsANumber(QStringLiteral("+.5")));
    EXPECT_TRUE(FormsANumber(QStringLiteral("2E10")));
    EXPECT_TRUE(FormsANumber(QStringLiteral("&H1F")));
    EXPECT_TRUE(FormsANumber(QStringLiteral("1399")));
}

TEST(FormsANumber, RejectsLettersHyphensAndEmptyText)
{
    EXPECT_FALSE(FormsANumber(QStringLiteral("hls-")));
    EXPECT_FALSE(FormsANumber(QStringLiteral("18-1")));
    EXPECT_FALSE(FormsANumber(QStringLiteral("mp4 ")));
    EXPECT_FALSE(FormsANumber(QStringLiteral("   ")));
    EXPECT_FALSE(FormsANumber(QStringLiteral(",12")));
    EXPECT_FALSE(FormsANumber(QStringLiteral("1.2.3")));
    EXPECT_FALSE(FormsANumber(QStringLiteral("1E")));
}
