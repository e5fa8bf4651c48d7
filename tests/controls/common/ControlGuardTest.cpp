#include "controls/common/ControlGuard.h"

#include <gtest/gtest.h>

#include <QObject>

using namespace brenlow;

TEST(ControlGuard, TellsWhetherTheControlOutlivedAPassOfPendingEvents)
{
    auto* kept = new QObject;
    auto* doomed = new QObject;
    const ControlGuard keptAlive(kept);
    QMetaObject::invokeMethod(
        kept, [doomed] { delete doomed; }, Qt::QueuedConnection);
    EXPECT_FALSE(PumpEvents(doomed)) << "deleted in the pass";
    EXPECT_TRUE(PumpEvents(kept));
    EXPECT_TRUE(keptAlive);
    delete kept;
    EXPECT_FALSE(keptAlive.Alive());
}
