#include "controls/common/Subclasser.h"
#include "platform/SystemLog.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using brenlow::MakeLong;
using brenlow::Subclasser;
namespace Msg = brenlow::Msg;

namespace {

struct Seen
{
    bool before;
    int msg;
    qintptr wParam;
    qintptr lParam;
};

/** A widget that counts what its own handlers received, and an owner that records its callbacks. */
class Probe : public QWidget
{
public:
    std::vector<QString>* order = nullptr;
    int wheels = 0;

protected:
    void wheelEvent(QWheelEvent* e) override
    {
        ++wheels;
        if (order)
            order->push_back(QStringLiteral("widget"));
        e->accept();
    }
};

class Recorder final : public brenlow::SubclassCallback
{
public:
    void Subclass_WndProc(bool bBefore, bool& bHandled, qintptr& lReturn, QWidget*, int uMsg, qintptr wParam,
                          qintptr lParam) override
    {
        seen.push_back({bBefore, uMsg, wParam, lParam});
        if (order)
            order->push_back(bBefore ? QStringLiteral("before") : QStringLiteral("after"));
        if (bBefore && uMsg == handleMsg) {
            bHandled = true;
            lReturn = 42;
        }
        if (onCall)
            onCall(uMsg);
    }
    [[nodiscard]] std::vector<int> Messages(bool before) const
    {
        std::vector<int> out;
        for (const Seen& s : seen)
            if (s.before == before)
                out.push_back(s.msg);
        return out;
    }
    std::vector<Seen> seen;
    std::vector<QString>* order = nullptr;
    int handleMsg = 0;
    std::function<void(int)> onCall;
};

class RecordingLog final : public brenlow::SystemLog
{
public:
    void Error(const QString& line) override { lines << line; }
    QStringList lines;
};

class SubclasserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        brenlow::SystemLog::setInstance(&log);
        widget.resize(200, 100);
    }
    void TearDown() override { brenlow::SystemLog::setInstance(nullptr); }

    ScopedScriptedDialogs boxes;
    RecordingLog log;
    Recorder recorder;
    Probe widget;
    Subclasser sc{QStringLiteral("ListGrid"), &recorder};
};

void SendWheel(QWidget* w, int delta, Qt::KeyboardModifiers mods)
{
    QWheelEvent ev(QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                   mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ev);
}

} // namespace

TEST_F(SubclasserTest, TableHoldsThirtyTwoMessagesAndReportsTheThirtyThird)
{
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    for (int m = 1; m <= 32; ++m)
        sc.zAddMsg(1000 + m, Subclasser::When::Before);
    Subclasser::Block* block = sc.zMap_hWnd(&widget);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->before.count, 32);
    EXPECT_TRUE(boxes.dialogs.shown.empty());

    sc.zAddMsg(2000, Subclasser::When::Before);
    EXPECT_EQ(block->before.count, 32);
    EXPECT_FALSE(block->before.Contains(2000));
    ASSERT_EQ(boxes.dialogs.shown.size(), 1u);
    const QString text =
        QStringLiteral("Message table overflow. Either increase the value of Const MSG_ENTRIES "
                       "or use ALL_MESSAGES instead of specific message values");
    EXPECT_EQ(boxes.dialogs.shown[0].text, text + QLatin1Char('.'));
    EXPECT_EQ(boxes.dialogs.shown[0].title, QStringLiteral("Error in ListGrid.zAddMsg"));
    EXPECT_EQ(boxes.dialogs.shown[0].icon, brenlow::Dialogs::Icon::Warning);
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_EQ(log.lines[0], QStringLiteral("ListGrid.zAddMsg: ") + text);

    // The after-table is a table of its own.
    sc.zAddMsg(2000, Subclasser::When::After);
    EXPECT_EQ(block->after.count, 1);
}

TEST_F(SubclasserTest, PresentMessageIsNotAddedTwiceAndFreedSlotsAreReused)
{
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    sc.zAddMsg(Msg::MouseWheel);
    sc.zAddMsg(Msg::MouseMove);
    sc.zAddMsg(Msg::MouseWheel);
    Subclasser::Block* block = sc.zMap_hWnd(&widget);
    EXPECT_EQ(block->before.count, 2);

    sc.zDelMsg(Msg::MouseWheel);
    EXPECT_EQ(block->before.count, 2);
    EXPECT_EQ(block->before.entries[0], 0);
    EXPECT_FALSE(block->before.Contains(Msg::MouseWheel));

    sc.zAddMsg(Msg::SetFocus);
    EXPECT_EQ(block->before.count, 2);
    EXPECT_EQ(block->before.entries[0], Msg::SetFocus);
    EXPECT_TRUE(boxes.dialogs.shown.empty());

    sc.zAddMsg(Subclasser::ALL_MESSAGES);
    EXPECT_TRUE(block->before.Contains(12345));
    sc.zDelMsg(Subclasser::ALL_MESSAGES);
    EXPECT_EQ(block->before.count, 0);
    EXPECT_FALSE(block->before.Contains(Msg::SetFocus));
}

TEST_F(SubclasserTest, RemovingAnAbsentMessageReportsItInHexadecimal)
{
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    sc.zAddMsg(Msg::MouseMove);
    sc.zDelMsg(Msg::MouseLeave);
    ASSERT_EQ(boxes.dialogs.messages(), QStringList{QStringLiteral("Message &H2A3 not found in table.")});
    EXPECT_EQ(boxes.dialogs.shown[0].title, QStringLiteral("Error in ListGrid.zDelMsg"));
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("ListGrid.zDelMsg: Message &H2A3 not found in table")});
    EXPECT_TRUE(sc.zMap_hWnd(&widget)->before.Contains(Msg::MouseMove));
}

TEST_F(SubclasserTest, StartAndStopFailuresAreReportedAndChangeNothing)
{
    EXPECT_FALSE(sc.sc_UnSubclass(&widget));
    EXPECT_FALSE(sc.sc_Subclass(nullptr));
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    EXPECT_FALSE(sc.sc_Subclass(&widget));
    Subclasser noCallback{QStringLiteral("glintbutton")};
    EXPECT_FALSE(noCallback.sc_Subclass(&widget));
    EXPECT_TRUE(sc.sc_UnSubclass(&widget));
    EXPECT_FALSE(sc.sc_UnSubclass(&widget));

    QStringList titles;
    for (const auto& s : boxes.dialogs.shown)
        titles << s.title + QStringLiteral(" / ") + s.text;
    EXPECT_EQ(titles,
              (QStringList{
                  QStringLiteral("Error in ListGrid.sc_UnSubclass / Window handle isn't subclassed."),
                  QStringLiteral("Error in ListGrid.sc_Subclass / Invalid window handle."),
                  QStringLiteral("Error in ListGrid.sc_Subclass / Window handle is already subclassed."),
                  QStringLiteral("Error in glintbutton.sc_Subclass / Callback method not found."),
                  QStringLiteral("Error in ListGrid.zMap_hWnd / Window handle isn't subclassed."),
              }));

    // Once stopped, nothing reaches the callback any more.
    SendWheel(&widget, -120, Qt::NoModifier);
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_EQ(widget.wheels, 1);
}

TEST_F(SubclasserTest, HandledBeforeMessageNeverReachesTheWidget)
{
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    sc.zAddMsg(Msg::MouseWheel, Subclasser::When::BeforeAndAfter);
    recorder.handleMsg = Msg::MouseWheel;
    SendWheel(&widget, -120, Qt::ControlModifier);
    EXPECT_EQ(widget.wheels, 0);
    ASSERT_EQ(recorder.seen.size(), 1u);
    const Seen& s = recorder.seen[0];
    EXPECT_TRUE(s.before);
    EXPECT_EQ(s.msg, Msg::MouseWheel);
    EXPECT_EQ(brenlow::SignedHighWord(s.wParam), -120);
    EXPECT_EQ(brenlow::LowWord(s.wParam) & 8, 8) << "Ctrl is bit value 8 of the key state";
}

TEST_F(SubclasserTest, AfterTableSeesTheMessageOnceTheWidgetHandledIt)
{
    std::vector<QString> order;
    widget.order = &order;
    recorder.order = &order;
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    sc.zAddMsg(Msg::MouseWheel, Subclasser::When::BeforeAndAfter);
    SendWheel(&widget, 120, Qt::NoModifier);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("before"), QStringLiteral("widget"),
                                           QStringLiteral("after")}));
    ASSERT_EQ(recorder.seen.size(), 2u);
    EXPECT_EQ(brenlow::SignedHighWord(recorder.seen[1].wParam), 120);
}

TEST_F(SubclasserTest, QtEventsArriveAsTheirMessageNumbers)
{
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    sc.zAddMsg(Subclasser::ALL_MESSAGES);

    QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
    QApplication::sendEvent(&widget, &in);
    QApplication::sendEvent(&widget, &out);
    QTest::mouseMove(&widget, QPoint(30, 40));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
    QEvent activate(QEvent::WindowActivate), deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&widget, &activate);
    QApplication::sendEvent(&widget, &deactivate);
    // A widget does not own the style it is given.
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    widget.setStyle(fusion.get());
    QEvent palette(QEvent::ApplicationPaletteChange);
    QApplication::sendEvent(&widget, &palette);
    QTest::keyClick(&widget, Qt::Key_F2);

    std::vector<int> msgs = recorder.Messages(true);
    auto has = [&](int m) { return std::find(msgs.begin(), msgs.end(), m) != msgs.end(); };
    for (int m : {Msg::SetFocus, Msg::KillFocus, Msg::MouseLeave, Msg::Activate, Msg::NcActivate,
                  Msg::ThemeChanged, Msg::SysColorChange, Msg::KeyDown, Msg::KeyUp})
        EXPECT_TRUE(has(m)) << "message " << m;

    for (const Seen& s : recorder.seen) {
        if (s.msg == Msg::KeyDown) {
            EXPECT_EQ(s.wParam, 113);
        }
        if (s.msg == Msg::MouseMove) {
            EXPECT_EQ(brenlow::LowWord(s.lParam), 30);
            EXPECT_EQ(brenlow::HighWord(s.lParam), 40);
        }
    }
    // Activation carries its state in wParam.
    std::vector<qintptr> activation;
    for (const Seen& s : recorder.seen)
        if (s.msg == Msg::Activate)
            activation.push_back(s.wParam);
    EXPECT_EQ(activation, (std::vector<qintptr>{1, 0}));
}

TEST_F(SubclasserTest, ScrollBarActionsArriveAsScrollCodes)
{
    QScrollBar bar(Qt::Vertical, &widget);
    bar.setRange(0, 20);
    Subclasser::ForwardScrollBar(&widget, &bar);
    ASSERT_TRUE(sc.sc_Subclass(&widget));
    sc.zAddMsg(Msg::VScroll);
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    std::vector<int> codes;
    for (const Seen& s : recorder.seen) {
        EXPECT_EQ(s.msg, Msg::VScroll);
        codes.push_back(brenlow::LowWord(s.wParam));
    }
    EXPECT_EQ(codes, (std::vector<int>{1, 3, 7}));
}

TEST_F(SubclasserTest, CallbackMayStopTheInterceptionWhileItRuns)
{
    auto w = std::make_unique<Probe>();
    ASSERT_TRUE(sc.sc_Subclass(w.get()));
    sc.zAddMsg(Msg::MouseWheel, Subclasser::When::BeforeAndAfter);
    recorder.onCall = [&](int) { sc.sc_UnSubclass(w.get()); };
    SendWheel(w.get(), -120, Qt::NoModifier);
    EXPECT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(w->wheels, 1);

    // A destroyed widget leaves no interception behind.
    recorder.onCall = nullptr;
    ASSERT_TRUE(sc.sc_Subclass(w.get()));
    sc.zAddMsg(Msg::MouseMove);
    QWidget* raw = w.get();
    w.reset();
    EXPECT_EQ(Subclasser::Send(raw, Msg::MouseMove, 0, 0), 0);
    EXPECT_EQ(recorder.seen.size(), 1u);
    EXPECT_TRUE(boxes.dialogs.shown.empty());
}

TEST(SubclasserAddressOf, UnknownOrdinalRaisesTheNumberedError)
{
    Recorder r;
    EXPECT_TRUE(static_cast<bool>(Subclasser::zAddressOf(&r, 1)));
    try {
        (void)Subclasser::zAddressOf(&r, 2);
        FAIL() << "no error raised";
    } catch (const brenlow::SubclassError& e) {
        EXPECT_EQ(e.Number(), 0x80040000u);
        EXPECT_EQ(e.Source(), QStringLiteral("zAddressOf"));
        EXPECT_STREQ(e.what(), "Ordinal not found");
    }
}
