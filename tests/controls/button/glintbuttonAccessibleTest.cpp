// What assistive technology reads of a glintbutton through Qt's accessibility interfaces.
#include "controls/button/glintbutton.h"

#include "support/AccessibleEvents.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace {

class GlintButtonAccessibleTest : public ::testing::Test
{
protected:
    GlintButtonAccessibleTest()
    {
        window.resize(300, 120);
        button = new glintbutton(&window);
        button->setGeometry(10, 10, 120, 30);
    }
    void showWindow()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    [[nodiscard]] QAccessibleInterface* iface() const
    {
        return QAccessible::queryAccessibleInterface(button);
    }
    [[nodiscard]] QAccessible::State state() const { return iface()->state(); }

    QWidget window;
    glintbutton* button = nullptr;
};

struct ModeCase
{
    int mode;
    const char* caption;
    QAccessible::Role role;
    const char* name;
    bool checkable;
    const char* accelerator;
};

class ButtonModeTest : public GlintButtonAccessibleTest, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(ButtonModeTest, IsNamedByItsCaptionWithTheRoleOfItsMode)
{
    const ModeCase& c = GetParam();
    button->SetMode(c.mode);
    button->SetCaption(QString::fromUtf8(c.caption));
    QAccessibleInterface* a = iface();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), c.role);
    EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(c.name));
    EXPECT_EQ(a->text(QAccessible::Accelerator), QString::fromUtf8(c.accelerator));
    EXPECT_EQ(bool(a->state().checkable), c.checkable);
    EXPECT_TRUE(a->state().focusable);
    ASSERT_NE(a->actionInterface(), nullptr);
    EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ButtonModeTest,
    ::testing::Values(ModeCase{0, "Add Video Link", QAccessible::PushButton, "Add Video Link", false, ""},
                      ModeCase{0, "&Download", QAccessible::PushButton, "Download", false, "Alt+D"},
                      ModeCase{1, "Fish && &Chips", QAccessible::CheckBox, "Fish & Chips", true, "Alt+C"},
                      ModeCase{2, "Op&tion", QAccessible::RadioButton, "Option", true, "Alt+T"}));

TEST_F(GlintButtonAccessibleTest, TheToolTipIsTheDescriptionAndTheAccessibleNameWins)
{
    button->SetCaption(QStringLiteral("Browse..."));
    button->SetToolTip(QStringLiteral("Choose the download folder"));
    EXPECT_EQ(iface()->text(QAccessible::Description), QStringLiteral("Choose the download folder"));
    button->setAccessibleName(QStringLiteral("Browse for a folder"));
    EXPECT_EQ(iface()->text(QAccessible::Name), QStringLiteral("Browse for a folder"));
}

TEST_F(GlintButtonAccessibleTest, ThePressActionClicksAsTheAccessKeyDoes)
{
    QSignalSpy clicks(button, &glintbutton::Click);
    QAccessibleActionInterface* action = iface()->actionInterface();
    // The click comes from the event loop, so a modal box it opens keeps nobody waiting.
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.size(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.size() == 1; }));

    // A check button flips its value with the click.
    button->SetMode(1);
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.size() == 2; }));
    EXPECT_TRUE(button->Value());
    EXPECT_TRUE(state().checked);
    action->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.size() == 3; }));
    EXPECT_FALSE(button->Value());

    // A disabled button offers no press and does nothing.
    button->SetEnabled(false);
    EXPECT_TRUE(state().disabled);
    EXPECT_FALSE(
        iface()->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    action->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks.size(), 3);
}

TEST_F(GlintButtonAccessibleTest, PressedFocusedAndCheckedStatesAreAnnounced)
{
    showWindow();
    AccessibleEvents events;
    ASSERT_NE(iface(), nullptr);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(state().pressed);
    const AccessibleEvents::Entry* e = events.last(QAccessible::StateChanged);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->object, button);
    EXPECT_TRUE(e->changed.pressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(state().pressed);
    EXPECT_EQ(events.count(QAccessible::StateChanged, button), 2);
    EXPECT_TRUE(state().focused);

    events.clear();
    button->SetMode(1);
    button->SetValue(true);
    e = events.last(QAccessible::StateChanged);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->changed.checked);
    // Nothing changed, nothing said.
    events.clear();
    button->Refresh();
    EXPECT_EQ(events.count(QAccessible::StateChanged), 0);

    button->SetCaption(QStringLiteral("Renamed"));
    EXPECT_EQ(events.count(QAccessible::NameChanged, button), 1);
}

TEST_F(GlintButtonAccessibleTest, DefaultButtonAndHotTrackingShowInTheState)
{
    showWindow();
    button->SetDisplayAsDefault(true);
    EXPECT_TRUE(state().defaultButton);
    QTest::mouseMove(button, QPoint(30, 12));
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->Behavior().State() == brenlow::ButtonState::Hot; }));
    EXPECT_TRUE(state().hotTracked);
    // Its place on the screen is the button's.
    EXPECT_EQ(iface()->rect(), QRect(button->mapToGlobal(QPoint(0, 0)), button->size()));
}

} // namespace
