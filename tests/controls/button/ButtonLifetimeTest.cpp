// A button whose handler deletes it, directly or in a nested event loop (a message box while the
// window closes, a drop-down menu, the pass of pending events before an access-key click), ends
// the step it was in without touching itself again.
#include "controls/button/glintbutton.h"

#include "support/NestedLoops.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <functional>

using namespace brenlow;

namespace {

struct Doomed
{
    QWidget* window = nullptr;
    glintbutton* button = nullptr;
    QLineEdit* edit = nullptr;
};

struct LifetimeCase
{
    const char* name;
    /** Connects the handler that ends the window. */
    std::function<void(Doomed&)> arm;
    /** Drives the step; the button may be gone after any event sent. */
    std::function<void(Doomed&)> drive;
};

void PrintTo(const LifetimeCase& c, std::ostream* os)
{
    *os << c.name;
}

void sendDoubleClick(QWidget* w, QPoint at)
{
    QMouseEvent e(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

template <typename Signal> std::function<void(Doomed&)> closeUnderBoxOn(Signal signal)
{
    return [signal](Doomed& d) {
        QWidget* window = d.window;
        QObject::connect(d.button, signal, d.button, [window] { CloseWindowUnderMessageBox(window); });
    };
}

const QPoint kInside(50, 15);

const LifetimeCase kCases[] = {
    {"ClickHandlerUnderMouseUp", closeUnderBoxOn(&glintbutton::Click),
     [](Doomed& d) {
         QTest::mousePress(d.button, Qt::LeftButton, {}, kInside);
         QTest::mouseRelease(d.button, Qt::LeftButton, {}, kInside);
     }},
    {"MouseDownHandler", closeUnderBoxOn(&glintbutton::MouseDown),
     [](Doomed& d) { QTest::mousePress(d.button, Qt::LeftButton, {}, kInside); }},
    {"MouseUpHandler", closeUnderBoxOn(&glintbutton::MouseUp),
     [](Doomed& d) {
         QTest::mousePress(d.button, Qt::LeftButton, {}, kInside);
         QTest::mouseRelease(d.button, Qt::LeftButton, {}, kInside);
     }},
    {"MouseDownHandlerOfADoubleClick", nullptr,
     [](Doomed& d) {
         QTest::mousePress(d.button, Qt::LeftButton, {}, kInside);
         QTest::mouseRelease(d.button, Qt::LeftButton, {}, kInside);
         closeUnderBoxOn (&glintbutton::MouseDown)(d);
         sendDoubleClick(d.button, kInside);
     }},
    {"MouseEnterHandler", closeUnderBoxOn(&glintbutton::MouseEnter),
     [](Doomed& d) { QTest::mouseMove(d.button, kInside); }},
    {"ClickHandlerOfEnter", closeUnderBoxOn(&glintbutton::Click),
     [](Doomed& d) {
         d.button->setFocus();
         QTest::keyPress(d.button, Qt::Key_Return);
     }},
    {"ClickHandlerOfSpace", closeUnderBoxOn(&glintbutton::Click),
     [](Doomed& d) {
         d.button->setFocus();
         QTest::keyPress(d.button, Qt::Key_Space);
         QTest::keyRelease(d.button, Qt::Key_Space);
     }},
    {"ValueHandlerOfSpaceOnACheckButton",
     [](Doomed& d) {
         d.button->SetMode(ModeCheck);
         closeUnderBoxOn (&glintbutton::PropertyChanged)(d);
     },
     [](Doomed& d) {
         d.button->setFocus();
         QTest::keyPress(d.button, Qt::Key_Space);
     }},
    {"PendingEventsBeforeAnAccessKeyClick",
     [](Doomed& d) {
         d.button->SetMode(ModeCheck);
         QWidget* window = d.window;
         // The check changes before the click; a deletion queued then runs in the pump.
         QObject::connect(d.button, &glintbutton::PropertyChanged, d.button,
                          [window] { DeleteAtNextPump(window); });
     },
     [](Doomed& d) { QTest::keyClick(d.window, Qt::Key_O, Qt::AltModifier); }},
    {"PendingEventsBeforeTheDefaultButtonsClick", [](Doomed& d) { d.button->SetDisplayAsDefault(true); },
     [](Doomed& d) {
         d.edit->setFocus();
         DeleteAtNextPump(d.window);
         QTest::keyClick(d.edit, Qt::Key_Return);
     }},
    {"PendingEventsBeforeTheCancelButtonsClick", [](Doomed& d) { d.button->SetCancel(true); },
     [](Doomed& d) {
         d.edit->setFocus();
         DeleteAtNextPump(d.window);
         QTest::keyClick(d.edit, Qt::Key_Escape);
     }},
};

class ButtonLifetime : public ::testing::TestWithParam<LifetimeCase>
{
protected:
    void SetUp() override
    {
        d.window = NewDeleteOnCloseWindow();
        watched = d.window;
        d.button = new glintbutton(d.window);
        d.button->setGeometry(10, 10, 100, 30);
        d.button->SetCaption(QStringLiteral("&Open"));
        d.edit = new QLineEdit(d.window);
        d.edit->setGeometry(10, 60, 100, 24);
        d.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(d.window));
        d.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.window));
    }
    void TearDown() override { delete watched.data(); }

    Doomed d;
    QPointer<QWidget> watched;
};

} // namespace

TEST_P(ButtonLifetime, StepEndsWhenTheButtonIsGone)
{
    const LifetimeCase& c = GetParam();
    if (c.arm)
        c.arm(d);
    c.drive(d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 30000)) << "the window was closed";
}

INSTANTIATE_TEST_SUITE_P(Paths, ButtonLifetime, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ButtonLifetimeMenu, DeletingTheButtonWhileItsMenuIsOpenEndsThePress)
{
    QWidget* window = NewDeleteOnCloseWindow();
    QPointer<QWidget> watched = window;
    auto* button = new glintbutton(window);
    button->setGeometry(10, 10, 100, 30);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QMenu menu;
    menu.addAction(QStringLiteral("Only"));
    button->SetPopupMenu(&menu, 0);
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        QTimer::singleShot(0, &menu, [&] {
            delete watched.data();
            menu.close();
        });
    });
    QTest::mousePress(button, Qt::LeftButton, {}, kInside);
    EXPECT_TRUE(watched.isNull());
    EXPECT_FALSE(menu.isVisible());
}
