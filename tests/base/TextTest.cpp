#include "base/Text.h"

#include <gtest/gtest.h>

using namespace brenlow;

TEST(InStr, FindsOneBasedPositionsFromAStart)
{
    EXPECT_EQ(InStr(1, QStringLiteral("abcabc"), QStringLiteral("bc")), 2);
    EXPECT_EQ(InStr(3, QStringLiteral("abcabc"), QStringLiteral("bc")), 5);
    EXPECT_EQ(InStr(6, QStringLiteral("abcabc"), QStringLiteral("bc")), 0);
    EXPECT_EQ(InStr(1, QStringLiteral("abc"), QStringLiteral("B")), 0);
    EXPECT_EQ(InStrNoCase(1, QStringLiteral("abc"), QStringLiteral("B")), 2);
}

TEST(InStr, EdgesOfTheStartPosition)
{
    EXPECT_EQ(InStr(0, QStringLiteral("abc"), QStringLiteral("a")), 1);
    EXPECT_EQ(InStr(99, QStringLiteral("abc"), QStringLiteral("a")), 0);
    EXPECT_EQ(InStr(2, QStringLiteral("abc"), QString()), 2);
    EXPECT_EQ(InStr(4, QStringLiteral("abc"), QString()), 4);
    EXPECT_EQ(InStr(5, QStringLiteral("abc"), QString()), 0);
}

TEST(GetBetween, CutsTheTextBetweenTwoDelimiters)
{
    int pos = 1;
    EXPECT_EQ(GetBetween(QStringLiteral("[download]  45.3% of 10MiB"), QStringLiteral("[download]"),
                         QStringLiteral("% of"), pos),
              QStringLiteral("  45.3"));
    EXPECT_EQ(pos, 11); // just past the start delimiter
}

TEST(GetBetween, MissingOrAdjacentDelimitersGiveEmptyText)
{
    int pos = 1;
    EXPECT_EQ(GetBetween(QStringLiteral("no start here"), QStringLiteral("["), QStringLiteral("]"), pos),
              QString());
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(GetBetween(QStringLiteral("[open"), QStringLiteral("["), QStringLiteral("]")), QString());
    EXPECT_EQ(GetBetween(QStringLiteral("[]"), QStringLiteral("["), QStringLiteral("]")), QString());
    // The stop is searched only after the start.
    EXPECT_EQ(GetBetween(QStringLiteral("] x [y]"), QStringLiteral("["), QStringLiteral("]")),
              QStringLiteral("y"));
}

TEST(GetBetween, HeaderCutUsedByTheFormatTable)
{
    const QString out = QStringLiteral("info\r\nformat code  extension  resolution note\r\n18  mp4\r\n<><>");
    EXPECT_EQ(GetBetween(out, QStringLiteral("format code  extension  resolution note"), QStringLiteral("<><>")),
              QStringLiteral("\r\n18  mp4\r\n"));
}
