// What assistive technology reads of the progress bar through Qt's accessibility interfaces.
#include "controls/progressbar/SleekProgressBar.h"

#include "support/AccessibleEvents.h"

#include <QAccessible>

#include <gtest/gtest.h>

namespace {

struct RangeCase
{
    qint32 min;
    qint32 max;
    qint32 value;
    qint32 reads; ///< the value assistive technology gets
    const char* text;
};

class ProgressBarAccessible : public ::testing::TestWithParam<RangeCase>
{
protected:
    ProgressBarAccessible() { bar.resize(300, 17); }
    SleekProgressBar bar;
};

TEST_P(ProgressBarAccessible, ReadsItsValueWithinItsRange)
{
    const RangeCase& c = GetParam();
    bar.SetMax(c.max);
    bar.SetMin(c.min);
    bar.SetValue(c.value);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ProgressBar);
    QAccessibleValueInterface* v = a->valueInterface();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->currentValue().toInt(), c.reads);
    EXPECT_EQ(v->minimumValue().toInt(), c.min);
    EXPECT_EQ(v->maximumValue().toInt(), c.max);
    EXPECT_EQ(a->text(QAccessible::Value), QString::fromLatin1(c.text));
    EXPECT_TRUE(a->state().readOnly);
}

// A run-time value outside the range is kept by the bar but read at the end it is drawn at.
INSTANTIATE_TEST_SUITE_P(Ranges, ProgressBarAccessible,
                         ::testing::Values(RangeCase{0, 100, 0, 0, "0%"}, RangeCase{0, 100, 45, 45, "45%"},
                                           RangeCase{0, 100, 130, 100, "100%"},
                                           RangeCase{10, 20, 15, 15, "50%"},
                                           RangeCase{10, 20, -5, 10, "0%"}));

TEST(ProgressBarAccessibleEvents, AChangedValueIsAnnouncedOnce)
{
    SleekProgressBar bar;
    bar.setAccessibleName(QStringLiteral("Download progress"));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&bar);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Download progress"));
    AccessibleEvents events;
    bar.SetValue(30);
    bar.SetValue(30); // the window sets the figure of every chunk, most of them the same
    bar.SetValue(31);
    ASSERT_EQ(events.count(QAccessible::ValueChanged, &bar), 2);
    EXPECT_EQ(events.last(QAccessible::ValueChanged)->value.toInt(), 31);
    // A narrower range moves the value read: that is a change too.
    bar.SetMax(20);
    EXPECT_EQ(events.count(QAccessible::ValueChanged, &bar), 3);
    EXPECT_EQ(a->valueInterface()->currentValue().toInt(), 20);
}

} // namespace
