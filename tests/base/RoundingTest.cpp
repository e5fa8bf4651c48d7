#include "base/Rounding.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

using brenlow::RoundHalfEven;
using brenlow::RoundHalfEven32;

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(12.5), 12);
    EXPECT_EQ(RoundHalfEven(13.5), 14);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(Rounding, OtherFractionsGoToTheNearest)
{
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-7.6), -8);
    EXPECT_EQ(RoundHalfEven(1500.0 / 15.0), 100);
}

TEST(Rounding, OutOfRangeIsAnOverflow)
{
    EXPECT_THROW((void)RoundHalfEven(std::numeric_limits<double>::infinity()), std::overflow_error);
    EXPECT_THROW((void)RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), std::overflow_error);
    EXPECT_THROW((void)RoundHalfEven32(3.0e9), std::overflow_error);
    EXPECT_EQ(RoundHalfEven32(2147483647.0), 2147483647);
}
