#include "app/BackingStoreWarmup.h"

#include <QApplication>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using brenlow::BackingStoreWarmup;

namespace {

class CountingWindow final : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::darkCyan);
    }
};

enum class Then
{
    RunToTheEnd,
    Show,
    Close,
};

struct WarmupCase
{
    int width;
    int height;
    Then then;
};

class BackingStoreWarmupTest : public ::testing::TestWithParam<WarmupCase>
{
};

// Whatever comes first, the thread's end, the window shown or the window gone, the pages are
// written only while nothing else uses them, and never past the end of the image (the sanitizer
// run holds it to that; odd sizes leave a part page at the end).
TEST_P(BackingStoreWarmupTest, WritesThePagesOnlyWhileTheWindowIsBuilt)
{
    const WarmupCase c = GetParam();
    auto window = std::make_unique<CountingWindow>();
    window->resize(c.width, c.height);
    auto* warmup = new BackingStoreWarmup(window.get());
    if (c.then == Then::RunToTheEnd) {
        QElapsedTimer waited;
        waited.start();
        while (!warmup->finished() && waited.elapsed() < 20000)
            QApplication::processEvents();
        EXPECT_TRUE(warmup->finished());
    }
    if (c.then == Then::Close) {
        window.reset();
        return;
    }
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (window->paints == 0 && waited.elapsed() < 20000)
        QApplication::processEvents();
    EXPECT_GE(window->paints, 1);
    EXPECT_EQ(window->backingStore()->size(), window->size()) << "laid out once, at its size";
}

INSTANTIATE_TEST_SUITE_P(Cases, BackingStoreWarmupTest,
                         ::testing::Values(WarmupCase{1600, 900, Then::RunToTheEnd},
                                           WarmupCase{333, 217, Then::RunToTheEnd},
                                           WarmupCase{1601, 901, Then::Show},
                                           WarmupCase{1601, 901, Then::Close}));

// A control inside a window keeps drawing into the window's backing store: it is not made a
// native window of its own.
TEST(BackingStoreWarmup, LeavesControlsInsideAWindowAlone)
{
    QWidget window;
    auto* control = new QWidget(&window);
    auto* warmup = new BackingStoreWarmup(control);
    EXPECT_TRUE(warmup->finished());
    EXPECT_EQ(control->internalWinId(), WId(0));
    EXPECT_EQ(window.internalWinId(), WId(0));
}

} // namespace
