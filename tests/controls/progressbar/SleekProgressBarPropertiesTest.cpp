#include "controls/common/Colors.h"
#include "controls/common/PropertyBag.h"
#include "controls/progressbar/BarPictures.h"
#include "controls/progressbar/SleekProgressBar.h"

#include "support/ScriptedDialogs.h"

#include <QSignalSpy>

#include <functional>

#include <gtest/gtest.h>

using brenlow::Dialogs;
using brenlow::PropertyBag;

namespace {

class ProgressBarProperties : public ::testing::Test
{
protected:
    ProgressBarProperties() { bar.resize(881, 17); }

    ScopedScriptedDialogs scripted;
    ScriptedDialogs& dialogs = scripted.dialogs;
    SleekProgressBar bar;
};

TEST_F(ProgressBarProperties, NewInstanceHasTheDefaultsAndStoresNothing)
{
    EXPECT_EQ(bar.BackColor(), 16776447u);
    EXPECT_EQ(bar.BarBorderStyle(), 1);
    EXPECT_EQ(bar.BorderColor(), 10525848u);
    EXPECT_EQ(bar.BarColorSet(), 1);
    EXPECT_EQ(bar.BarFillDirection(), 1);
    EXPECT_EQ(bar.BarSpaceBetweenImages(), 2);
    EXPECT_EQ(bar.BarStyle(), 0);
    EXPECT_TRUE(bar.Enabled());
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.Bar_Pic(), brenlow::LoadBarResource(QStringLiteral("PRG10")));
    EXPECT_FALSE(bar.DesignMode());

    // The built-in picture is stored with the design, so it is the one key a new bar writes.
    PropertyBag bag;
    bar.WriteProperties(bag);
    EXPECT_EQ(bag.Keys(), QStringList{QStringLiteral("Bar_Pic")});
}

TEST_F(ProgressBarProperties, SavedDesignRoundTripsInKeyOrder)
{
    bar.SetBarFillDirection(2);
    bar.SetBarColorSet(2);
    bar.SetMin(-10);
    bar.SetMax(500);
    bar.SetValue(42);
    bar.SetBarStyle(1);
    bar.SetBarBorderStyle(0);
    bar.SetBorderColor(0x123456);
    bar.SetBackColor(brenlow::OleColor::ButtonFace);
    bar.SetEnabled(false);
    bar.SetBarSpaceBetweenImages(4);
    PropertyBag bag;
    bar.WriteProperties(bag);
    EXPECT_EQ(bag.Keys(), (QStringList{"Min", "Max", "Value", "BarStyle", "BarColorSet", "Bar_Pic",
                                       "BarBorderStyle", "BorderColor", "BarFillDirection", "BackColor",
                                       "Enabled", "BarSpaceBetweenImages"}));
    // Booleans are stored in the 16-bit form, True = -1.
    const QVariant enabled = bag.ReadProperty(QStringLiteral("Enabled"));
    EXPECT_EQ(enabled.metaType(), QMetaType::fromType<qint16>());
    EXPECT_EQ(enabled.toInt(), 0);

    SleekProgressBar loaded;
    loaded.resize(881, 17);
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.Min(), -10);
    EXPECT_EQ(loaded.Max(), 500);
    EXPECT_EQ(loaded.Value(), 42);
    EXPECT_EQ(loaded.BarStyle(), 1);
    EXPECT_EQ(loaded.BarColorSet(), 2);
    EXPECT_EQ(loaded.Bar_Pic(), brenlow::LoadBarResource(QStringLiteral("PRG21")));
    EXPECT_EQ(loaded.BarBorderStyle(), 0);
    EXPECT_EQ(loaded.BorderColor(), 0x123456u);
    EXPECT_EQ(loaded.BarFillDirection(), 2);
    EXPECT_EQ(loaded.BackColor(), brenlow::OleColor::ButtonFace);
    EXPECT_FALSE(loaded.Enabled());
    EXPECT_EQ(loaded.BarSpaceBetweenImages(), 4);
    EXPECT_EQ(loaded.Surface(), bar.Surface()) << "a loaded bar looks like the one saved";

    // Back at their defaults, properties leave the bag again.
    bar.SetEnabled(true);
    bar.SetBarStyle(0);
    bar.WriteProperties(bag);
    EXPECT_FALSE(bag.Contains(QStringLiteral("Enabled")));
    PropertyBag stored;
    stored.WriteProperty(QStringLiteral("Enabled"), QVariant::fromValue<qint16>(0), QVariant());
    loaded.ReadProperties(stored);
    EXPECT_FALSE(loaded.Enabled());
    stored.WriteProperty(QStringLiteral("Enabled"), QVariant::fromValue<qint16>(-1), QVariant());
    loaded.ReadProperties(stored);
    EXPECT_TRUE(loaded.Enabled());
    EXPECT_FALSE(bag.Contains(QStringLiteral("BarStyle")));
}

TEST_F(ProgressBarProperties, LoadingReadsKeysInAnyCaseAndLoadsNoBuiltInPicture)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("barcolorset"), 3, 1);
    bag.WriteProperty(QStringLiteral("VALUE"), 30, 0);
    bag.WriteProperty(QStringLiteral("backcolor"), 0xFFFFFF, 16776447);
    bar.ReadProperties(bag);
    EXPECT_EQ(bar.BarColorSet(), 3);
    EXPECT_EQ(bar.Value(), 30);
    EXPECT_EQ(bar.BackColor(), 0xFFFFFFu);
    EXPECT_TRUE(bar.Bar_Pic().isNull()) << "the picture comes from the design only";
    EXPECT_EQ(bar.Surface().pixel(100, 8), qRgb(255, 255, 255));
}

TEST_F(ProgressBarProperties, DamagedDesignDataFallsBackToDefaults)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Min"), QStringLiteral("lots"), 0);
    bag.WriteProperty(QStringLiteral("Max"), qint64(1) << 40, 100);
    bag.WriteProperty(QStringLiteral("Bar_Pic"), QStringLiteral("not a picture"));
    bar.ReadProperties(bag);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_TRUE(bar.Bar_Pic().isNull());

    // A stored range that is empty or upside down paints no bar and divides by nothing.
    PropertyBag empty;
    empty.WriteProperty(QStringLiteral("Min"), 50, 0);
    empty.WriteProperty(QStringLiteral("Max"), 50, 100);
    empty.WriteProperty(QStringLiteral("Value"), 50, 0);
    bar.ReadProperties(empty);
    bar.SetBarColorSet(2);
    bar.SetValue(80);
    bar.SetBarStyle(1);
    bar.SetValue(60);
    EXPECT_EQ(bar.Surface().pixel(100, 8), qRgb(255, 252, 255));
}

TEST_F(ProgressBarProperties, EmptyRangeIsRefusedWithAnErrorBox)
{
    bar.SetMax(0);
    EXPECT_EQ(bar.Max(), 100);
    bar.SetMin(100);
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMin(101);
    EXPECT_EQ(bar.Min(), 0);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    for (const auto& box : dialogs.shown) {
        EXPECT_EQ(box.kind, QStringLiteral("message"));
        EXPECT_TRUE(box.text.isEmpty());
        EXPECT_TRUE(box.title.isEmpty());
        EXPECT_EQ(box.icon, Dialogs::Icon::Critical);
    }
    bar.SetMin(99);
    bar.SetMax(100);
    EXPECT_EQ(bar.Min(), 99);
    EXPECT_EQ(dialogs.shown.size(), 3u);
}

TEST_F(ProgressBarProperties, DesignTimeRefusesValuesOutsideTheRange)
{
    bar.SetDesignMode(true);
    bar.SetValue(101);
    bar.SetValue(-1);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    bar.SetValue(100);
    EXPECT_EQ(bar.Value(), 100);
    bar.SetDesignMode(false);
    bar.SetValue(101);
    EXPECT_EQ(bar.Value(), 101);
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(ProgressBarProperties, SettersTellTheHostByName)
{
    QSignalSpy spy(&bar, &SleekProgressBar::PropertyChanged);
    bar.SetBackColor(1);
    bar.SetBackColor(1); // unchanged: nothing to tell
    bar.SetBarStyle(1);
    bar.SetBarFillDirection(3);
    bar.SetBar_Pic(QImage());
    bar.SetBarSpaceBetweenImages(3);
    bar.SetEnabled(false);
    bar.SetEnabled(false);
    bar.SetMax(5);
    bar.SetValue(2);
    QStringList names;
    for (const auto& args : spy)
        names << args.at(0).toString();
    EXPECT_EQ(names, (QStringList{"BackColor", "BarStyle", "BarFillDirection", "Bar_Pic",
                                  "BarSpaceBetweenImages", "Enabled", "Max", "Value"}));
}

TEST_F(ProgressBarProperties, UnknownColourSetKeepsThePicture)
{
    bar.SetBarColorSet(4);
    const QImage amber = bar.Bar_Pic();
    bar.SetBarColorSet(9);
    EXPECT_EQ(bar.BarColorSet(), 9);
    EXPECT_EQ(bar.Bar_Pic(), amber);
    bar.SetBarColorSet(-3);
    EXPECT_EQ(bar.Bar_Pic(), amber);
}

/** One setter with a value that differs from the bar's defaults. */
struct SetterCase
{
    const char* name;
    std::function<void(SleekProgressBar&)> set;
};

void PrintTo(const SetterCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProgressBarSetter : public ::testing::TestWithParam<SetterCase>
{
protected:
    ScopedScriptedDialogs scripted;
};

TEST_P(ProgressBarSetter, ComparesStoresRepaintsThenTellsTheContainer)
{
    const SetterCase& c = GetParam();
    auto* bar = new SleekProgressBar;
    bar->resize(881, 17);
    bar->SetValue(30);
    SleekProgressBar reference;
    reference.resize(881, 17);
    reference.SetValue(30);
    c.set(reference);

    // The container hears of the change once the bar shows it, and may delete the bar then.
    QImage seen;
    QStringList names;
    QObject::connect(bar, &SleekProgressBar::PropertyChanged, [&](const QString& name) {
        names << name;
        seen = bar->Surface().copy();
        delete bar;
    });
    c.set(*bar);
    EXPECT_EQ(names, QStringList{QString::fromLatin1(c.name)});
    EXPECT_EQ(seen, reference.Surface());

    // The value it holds: nothing to store, draw or tell.
    QSignalSpy told(&reference, &SleekProgressBar::PropertyChanged);
    reference.TakeDrawnRegion();
    c.set(reference);
    EXPECT_EQ(told.count(), 0);
    EXPECT_TRUE(reference.TakeDrawnRegion().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Setters, ProgressBarSetter,
    ::testing::Values(SetterCase{"BackColor", [](SleekProgressBar& b) { b.SetBackColor(0x00FF00); }},
                      SetterCase{"BarBorderStyle", [](SleekProgressBar& b) { b.SetBarBorderStyle(0); }},
                      SetterCase{"BorderColor", [](SleekProgressBar& b) { b.SetBorderColor(0x0000FF); }},
                      SetterCase{"BarFillDirection", [](SleekProgressBar& b) { b.SetBarFillDirection(0); }},
                      SetterCase{"BarSpaceBetweenImages",
                                 [](SleekProgressBar& b) { b.SetBarSpaceBetweenImages(5); }},
                      SetterCase{"BarStyle", [](SleekProgressBar& b) { b.SetBarStyle(1); }},
                      SetterCase{"Enabled", [](SleekProgressBar& b) { b.SetEnabled(false); }},
                      SetterCase{"Min", [](SleekProgressBar& b) { b.SetMin(-50); }},
                      SetterCase{"Max", [](SleekProgressBar& b) { b.SetMax(50); }},
                      SetterCase{"Value", [](SleekProgressBar& b) { b.SetValue(60); }},
                      SetterCase{"Bar_Pic",
                                 [](SleekProgressBar& b) {
                                     b.SetBar_Pic(brenlow::LoadBarResource(QStringLiteral("PRG30")));
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
