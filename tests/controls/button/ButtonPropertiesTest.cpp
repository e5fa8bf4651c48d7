#include "controls/button/ButtonProperties.h"
#include "controls/button/ButtonColors.h"
#include "controls/common/PropertyBag.h"

#include "ButtonTestPrint.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace brenlow;

TEST(ButtonAccessKey, AmpersandRules)
{
    EXPECT_EQ(AccessKeyOf(QStringLiteral("&Open")), QChar('o'));
    EXPECT_EQ(AccessKeyOf(QStringLiteral("Add &Video Link")), QChar('v'));
    EXPECT_TRUE(AccessKeyOf(QStringLiteral("Rock && Roll")).isNull()) << "one doubled pair is a literal";
    EXPECT_TRUE(AccessKeyOf(QStringLiteral("A&")).isNull());
    EXPECT_TRUE(AccessKeyOf(QStringLiteral("&")).isNull());
    EXPECT_TRUE(AccessKeyOf(QStringLiteral("Plain")).isNull());
    EXPECT_EQ(AccessKeyOf(QStringLiteral("Save && E&xit")), QChar('x'));
    EXPECT_TRUE(AccessKeyOf(QStringLiteral("x&&y&&z")).isNull());
    EXPECT_TRUE(AccessKeyOf(QStringLiteral("x&&y&")).isNull());
}

TEST(ButtonColorMath, ShiftAverageAndTables)
{
    using namespace ButtonColors;
    EXPECT_EQ(Shift(0xE3E3E3, 0.05f), 0xF0F0F0u);
    EXPECT_EQ(Shift(0xD4D4D4, 0.06f), 0xE3E3E3u) << "the main window's silver";
    EXPECT_EQ(Shift(0xFAFAFA, 0.25f), 0xFFFFFFu);
    EXPECT_EQ(Shift(0x100510, -0.03f), 0x080008u);
    EXPECT_EQ(Shift(0x000000, -0.5f), 0x000000u);
    EXPECT_EQ(Average(0x000001, 0x000002), 0x000002u) << "1.5 rounds to the even 2";
    EXPECT_EQ(Average(0x000000, 0x000001), 0x000000u) << "0.5 rounds to the even 0";
    EXPECT_EQ(Average(0x808080, 0xFFFFFF), 0xC0C0C0u);
    EXPECT_EQ(LightenTable()[0], 0);
    EXPECT_EQ(LightenTable()[200], 229);
    EXPECT_EQ(LightenTable()[255], 255);
    EXPECT_EQ(DarkenTable()[255], 217);
    EXPECT_EQ(DarkenTable()[100], 85);
}

TEST(ButtonProperties, FreshControlTakesTheNewValuesAndStyleRules)
{
    const ButtonProperties p = ButtonProperties::Fresh(QApplication::font(), QStringLiteral("glintbutton1"));
    EXPECT_EQ(p.ButtonStyle, StyleVisualStyle);
    EXPECT_EQ(p.ColorScheme, 0);
    EXPECT_EQ(p.BackColor, 0u);
    EXPECT_FALSE(p.ShowFocusRect) << "the style colours rule turns it off for style 13";
    EXPECT_EQ(p.Font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(p.Caption, QStringLiteral("glintbutton1"));
    EXPECT_EQ(p.MaskColor, 0xE0E0E0u);
    EXPECT_EQ(p.PictureEffectOnOver, 0);
    EXPECT_EQ(p.ForeColorHover, 0u);
}

TEST(ButtonProperties, StyleRulesSetSchemeAndColours)
{
    ButtonProperties p;
    p.ButtonStyle = StyleGlossyStrips;
    p.ColorScheme = 0;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    EXPECT_EQ(p.ColorScheme, 2);
    EXPECT_EQ(p.BackColor, 0xE3E3E3u);
    EXPECT_FALSE(p.ShowFocusRect);

    p.ButtonStyle = StyleHoverBox;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    EXPECT_EQ(p.ColorScheme, 0);
    EXPECT_EQ(p.BackColor, quint32(OleColor::ButtonFace));
    EXPECT_TRUE(p.PicturePushOnHover);

    p.ButtonStyle = StyleToolbarGradient;
    p.ColorScheme = 1;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    EXPECT_EQ(p.ColorScheme, 1) << "style 5 keeps its scheme";
    EXPECT_EQ(p.BackColor, 0xBAD6D4u);

    p.ButtonStyle = StyleWhiteGloss;
    p.ForeColor = 0xFF;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    EXPECT_EQ(p.BackColor, 0xE1D6D5u);
    EXPECT_TRUE(p.ShowFocusRect);
    EXPECT_EQ(p.ForeColor, quint32(OleColor::ButtonText));

    p.ButtonStyle = StyleRoundedGradient;
    p.ColorScheme = 3;
    p.BackColor = 0x123456;
    p.ApplyStyleColors();
    EXPECT_EQ(p.BackColor, 0x123456u) << "the custom scheme keeps the user's colour";
}

TEST(ButtonProperties, ReadsTheMainWindowsStoredValuesInAnyCase)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("buttonstyle"), 3);
    bag.WriteProperty(QStringLiteral("colorscheme"), 2);
    bag.WriteProperty(QStringLiteral("backcolor"), 0xE3E3E3u);
    bag.WriteProperty(QStringLiteral("maskcolor"), 0x00FF00u);
    bag.WriteProperty(QStringLiteral("PictureEffectOnOver"), 0);
    bag.WriteProperty(QStringLiteral("PictureEffectOnDown"), 0);
    bag.WriteProperty(QStringLiteral("TooltipBackColor"), 0);
    bag.WriteProperty(QStringLiteral("Enabled"), false);
    bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Cancel"));
    ButtonProperties p;
    p.Read(bag, QApplication::font());
    EXPECT_EQ(p.ButtonStyle, 3);
    EXPECT_EQ(p.ColorScheme, 2);
    EXPECT_EQ(p.BackColor, 0xE3E3E3u) << "stored colours win over the style rules";
    EXPECT_EQ(p.MaskColor, 0x00FF00u);
    EXPECT_EQ(p.PictureEffectOnOver, 0);
    EXPECT_EQ(p.TooltipBackColor, 0u);
    EXPECT_FALSE(p.Enabled);
    EXPECT_EQ(p.Caption, QStringLiteral("Cancel"));
}

TEST(ButtonProperties, MissingKeysTakeTheStoredDefaults)
{
    ButtonProperties p = ButtonProperties::Fresh(QApplication::font(), QStringLiteral("x"));
    p.Read(PropertyBag(), QApplication::font());
    EXPECT_EQ(p.ButtonStyle, 1);
    EXPECT_FALSE(p.ShowFocusRect);
    EXPECT_EQ(p.BackColor, OleColor::Translate(OleColor::ButtonFace));
    EXPECT_EQ(p.Caption, QStringLiteral("glintbutton"));
    EXPECT_EQ(p.ForeColorHover, OleColor::Translate(OleColor::ButtonText));
    EXPECT_EQ(p.PictureEffectOnOver, 1);
    EXPECT_EQ(p.PictureEffectOnDown, 2);
    EXPECT_EQ(p.TooltipBackColor, OleColor::Translate(OleColor::InfoBackground));
    EXPECT_EQ(p.Font, QApplication::font());
}

TEST(ButtonProperties, WritesOnlyWhatDiffersInTheFixedOrderAndReadsItBack)
{
    ButtonProperties p;
    p.Read(PropertyBag(), QApplication::font());
    PropertyBag defaults;
    p.Write(defaults, QApplication::font());
    // The caption is read with "glintbutton" but written against "glintbutton1".
    EXPECT_EQ(defaults.Keys(), (QStringList{"Caption", "CaptionEffects"}))
        << "CaptionEffects is always written";

    p.ButtonStyle = 3;
    p.Caption = QStringLiteral("Download");
    p.Mode = ModeCheck;
    p.Value = true;
    p.ColorScheme = 2;
    p.MaskColor = 0x00FF00;
    p.PictureNormal = QImage(4, 4, QImage::Format_RGB32);
    p.PictureNormal.fill(Qt::red);
    PropertyBag bag;
    p.Write(bag, QApplication::font());
    EXPECT_EQ(bag.Keys(), (QStringList{"ButtonStyle", "Caption", "Mode", "Value", "PictureNormal",
                                       "CaptionEffects", "MaskColor", "ColorScheme"}));
    EXPECT_EQ(bag.ReadInt(QStringLiteral("Value"), 0), -1) << "True is stored as -1";

    ButtonProperties back;
    back.Read(bag, QApplication::font());
    EXPECT_EQ(back.ButtonStyle, 3);
    EXPECT_EQ(back.Caption, QStringLiteral("Download"));
    EXPECT_TRUE(back.Value);
    EXPECT_EQ(back.PictureNormal.pixel(1, 1), QColor(Qt::red).rgb());
}

TEST(ButtonProperties, ACommandButtonIsNeverStoredChecked)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Value"), true);
    ButtonProperties p;
    p.Read(bag, QApplication::font());
    EXPECT_FALSE(p.Value);
}
