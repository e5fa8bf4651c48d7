#include "controls/common/Colors.h"

#include <gtest/gtest.h>

using namespace brenlow;

TEST(OleColor, RedSitsInTheLowestByte)
{
    EXPECT_EQ(OleColor::Rgb(202, 214, 244), 16045770u);
    EXPECT_EQ(OleColor::ToQColor(0xFF0000u), QColor(0, 0, 255));
    EXPECT_EQ(OleColor::FromQColor(QColor(49, 106, 197)), OleColor::Rgb(49, 106, 197));
}

TEST(OleColor, SystemColoursTranslateThroughThePalette)
{
    const quint32 window = OleColor::Translate(OleColor::Window);
    EXPECT_FALSE(OleColor::IsSystem(window));
    EXPECT_NE(OleColor::Translate(OleColor::WindowText), window);
    // A system colour that does not exist fails to translate: -1, not black.
    EXPECT_EQ(OleColor::Translate(OleColor::SystemFlag | 200u), 0xFFFFFFFFu);
    EXPECT_EQ(OleColor::ToQColor(OleColor::SystemFlag | 200u), QColor(255, 255, 255));
    EXPECT_EQ(OleColor::Translate(0x12345678u), 0x00345678u);
}
