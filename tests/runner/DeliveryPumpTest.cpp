// The delivery rules, driven by hand: a scripted pipe and a clock that moves only when told.

#include "runner/DeliveryPump.h"

#include <gtest/gtest.h>

namespace {

using namespace brenlow;

/** A pipe the test writes into, with a ring of a given size in front of it. */
class ScriptedPipe final : public OutputSource
{
public:
    explicit ScriptedPipe(qsizetype capacity) : m_capacity(capacity) {}

    QByteArray pipe;           // written by the tool, not yet read
    bool writersOpen = true;   // someone still holds the write end
    qsizetype lostAtClose = 0; // bytes still in the pipe when it was closed

    void Fill() override
    {
        if (m_ended)
            return;
        const qsizetype take = std::min(m_capacity - m_ring.size(), pipe.size());
        m_ring += pipe.left(take);
        pipe.remove(0, take);
        m_empty = pipe.isEmpty();
        if (m_empty && !writersOpen)
            m_ended = true;
    }
    qsizetype Size() const override { return m_ring.size(); }
    QByteArrayView Front(qsizetype max) const override
    {
        return QByteArrayView(m_ring).first(std::min(max, m_ring.size()));
    }
    void Drop(qsizetype n) override { m_ring.remove(0, n); }
    bool AtEnd() const override { return m_ended; }
    bool PipeEmpty() const override { return m_empty; }
    void Close() override
    {
        lostAtClose += pipe.size();
        pipe.clear();
        m_ended = true;
    }

private:
    qsizetype m_capacity;
    QByteArray m_ring;
    bool m_ended = false;
    bool m_empty = false;
};

class DeliveryPumpTest : public ::testing::Test
{
protected:
    void connectAll(DeliveryPump& pump)
    {
        QObject::connect(&pump, &DeliveryPump::Converting, [this] { ++converting; });
        QObject::connect(&pump, &DeliveryPump::DataOutput, [this](QString& chunk) {
            EXPECT_EQ(chunk.size(), DeliveryPump::ChunkSize);
            EXPECT_EQ(finished, 0) << "output after the end";
            const qsizetype nul = chunk.indexOf(QChar(0));
            text += nul < 0 ? chunk : chunk.left(nul);
            ++chunks;
        });
        QObject::connect(&pump, &DeliveryPump::GraceOver, [this] { ++graceOver; });
        QObject::connect(&pump, &DeliveryPump::Finished, [this] { ++finished; });
    }

    /** Ticks until the pump finishes, the clock moving on by step before each tick. */
    void tickToTheEnd(DeliveryPump& pump, qint64 step, int limit = 1000)
    {
        for (int i = 0; i < limit && finished == 0; ++i) {
            clock.Advance(step);
            pump.Tick();
        }
    }

    static QByteArray numberedLines(int count)
    {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i)
            bytes += QByteArray::number(i) + '\n';
        return bytes;
    }

    ManualClock clock;
    QString text;
    int converting = 0, chunks = 0, graceOver = 0, finished = 0;
};

TEST_F(DeliveryPumpTest, AToolThatExitsWithTheRingFullLosesNothingHoweverSlowTheOwner)
{
    // The ring holds far less than the tool wrote before exiting; each tick takes a second.
    ScriptedPipe source(4096);
    DeliveryPump pump(source, clock);
    connectAll(pump);
    const QByteArray answer = numberedLines(20000);
    pump.Start();
    source.pipe = answer;
    source.writersOpen = false;
    pump.ToolExited();
    for (int i = 0; i < 1000 && finished == 0; ++i) {
        EXPECT_EQ(pump.GraceDeadline(), -1) << "the grace started with output still in the pipe";
        clock.Advance(1000);
        pump.Tick();
    }
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(graceOver, 0);
    EXPECT_EQ(source.lostAtClose, 0);
    EXPECT_EQ(text.size(), answer.size());
    EXPECT_TRUE(text == QString::fromLatin1(answer));
    EXPECT_FALSE(pump.IsActive());
}

class DeliveryPumpGraceTest : public DeliveryPumpTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(DeliveryPumpGraceTest, AHolderOfThePipeIsEndedWhenTheGraceRunsOutAndWhatItWroteArrives)
{
    const bool holderEnds = GetParam(); // or it cannot be ended, and the pipe is closed on it
    ScriptedPipe source(1 << 20);
    DeliveryPump pump(source, clock);
    connectAll(pump);
    QObject::connect(&pump, &DeliveryPump::GraceOver, [&] {
        source.pipe += "last words\n";
        source.writersOpen = !holderEnds;
    });
    pump.Start();
    source.pipe = "done\n";
    pump.ToolExited();
    pump.Tick();
    ASSERT_GE(pump.GraceDeadline(), 0);
    const qint64 deadline = pump.GraceDeadline();
    EXPECT_EQ(deadline, clock.TickCount() + DeliveryPump::GracePeriod);
    // The holder still writes now and then; the grace counts on.
    clock.Advance(DeliveryPump::GracePeriod - 1);
    source.pipe += "late\n";
    pump.Tick();
    EXPECT_EQ(graceOver, 0);
    EXPECT_EQ(pump.GraceDeadline(), deadline);
    tickToTheEnd(pump, 1);
    EXPECT_EQ(graceOver, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(text, QStringLiteral("done\nlate\nlast words\n"));
    EXPECT_EQ(source.lostAtClose, 0);
}

INSTANTIATE_TEST_SUITE_P(Holders, DeliveryPumpGraceTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Ends" : "CannotBeEnded");
                         });

TEST_F(DeliveryPumpTest, ATickThatHeldTheLoopTooLongLeavesTheRestForTheNextTick)
{
    ScriptedPipe source(1 << 20);
    DeliveryPump pump(source, clock);
    connectAll(pump);
    int chunksThisTick = 0, mostInATick = 0, ticks = 0;
    QObject::connect(&pump, &DeliveryPump::Converting, [&] { chunksThisTick = 0, ++ticks; });
    QObject::connect(&pump, &DeliveryPump::DataOutput, [&](QString&) {
        mostInATick = std::max(mostInATick, ++chunksThisTick);
        clock.Advance(2); // a slow owner
    });
    const QByteArray answer = numberedLines(30000);
    pump.Start();
    source.pipe = answer;
    source.writersOpen = false;
    pump.ToolExited();
    tickToTheEnd(pump, 0);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(text == QString::fromLatin1(answer));
    EXPECT_LE(mostInATick * 2, DeliveryPump::TickMilliseconds + DeliveryPump::ClockEvery * 2);
    EXPECT_EQ(converting, ticks);
    EXPECT_GE(ticks, answer.size() / DeliveryPump::ChunkSize / DeliveryPump::ClockEvery);
}

} // namespace
