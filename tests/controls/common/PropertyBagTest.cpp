#include "controls/common/PropertyBag.h"

#include <gtest/gtest.h>

using brenlow::PropertyBag;

TEST(PropertyBag, KeyLookupIgnoresCase)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("backcolorsel"), 0xC56A31u, 0u);
    EXPECT_EQ(bag.ReadColor(QStringLiteral("BackColorSel"), 7u), 0xC56A31u);
    bag.WriteProperty(QStringLiteral("BACKCOLORSEL"), 5, 0);
    EXPECT_EQ(bag.Keys(), QStringList{QStringLiteral("backcolorsel")}); // one key, first spelling kept
    EXPECT_EQ(bag.ReadInt(QStringLiteral("BackColorSel"), 0), 5);
}

TEST(PropertyBag, ValuesEqualToTheirDefaultAreNotStored)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("ThemeStyle"), 7, 7);
    EXPECT_TRUE(bag.IsEmpty());
    bag.WriteProperty(QStringLiteral("ThemeStyle"), 3, 7);
    EXPECT_TRUE(bag.Contains(QStringLiteral("themestyle")));
    bag.WriteProperty(QStringLiteral("ThemeStyle"), 7u, 7); // same value in another width
    EXPECT_FALSE(bag.Contains(QStringLiteral("ThemeStyle")));
}

TEST(PropertyBag, ReadsFallBackToTheDefault)
{
    PropertyBag bag;
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Missing"), 12).toInt(), 12);
    EXPECT_TRUE(bag.ReadBool(QStringLiteral("Missing"), true));
    bag.WriteProperty(QStringLiteral("Flag"), QStringLiteral("False"), true);
    EXPECT_FALSE(bag.ReadBool(QStringLiteral("flag"), true));
    bag.WriteProperty(QStringLiteral("Num"), QStringLiteral("not a number"), 0);
    EXPECT_EQ(bag.ReadInt(QStringLiteral("num"), 9), 9);
    EXPECT_EQ(bag.ReadString(QStringLiteral("num"), QString()), QStringLiteral("not a number"));
}

TEST(PropertyBag, KeysKeepTheirWritingOrder)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("B"), 1, 0);
    bag.WriteProperty(QStringLiteral("A"), 1, 0);
    bag.WriteProperty(QStringLiteral("C"), 1, 0);
    bag.Remove(QStringLiteral("a"));
    EXPECT_EQ(bag.Keys(), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
}
