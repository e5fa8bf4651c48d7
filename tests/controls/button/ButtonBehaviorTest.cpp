#include "controls/button/ButtonBehavior.h"

#include "ButtonTestPrint.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QStringList>

#include <memory>

using namespace brenlow;

namespace {

/** A host that records what the behaviour asks for, as short words. It can play a container that
 *  deletes the control in the handler of one of those words; every call after that is counted. */
class FakeHost final : public ButtonBehavior::Host
{
public:
    const QObject* Control() const override { return control.get(); }
    int Mode() const override { return touch(), mode; }
    bool Value() const override { return touch(), value; }
    void SetValue(bool v) override
    {
        if (mode != ModeCommand)
            value = v;
        note(QStringLiteral("Value=%1").arg(v ? 1 : 0));
    }
    bool Enabled() const override { return touch(), enabled; }
    bool HandPointer() const override { return touch(), false; }
    int Width() const override { return touch(), 100; }
    int Height() const override { return touch(), 30; }
    void Redraw() override { touch(), ++redraws; }
    void ShowHandCursor() override { touch(); }
    void CaptureMouse() override
    {
        capture = true;
        note(QStringLiteral("Capture"));
    }
    void ReleaseMouse() override { touch(), capture = false; }
    bool HasCapture() const override { return touch(), capture; }
    void MoveFocus(bool forward) override { note(forward ? QStringLiteral("Next") : QStringLiteral("Prev")); }
    bool PointerOverControl() const override { return touch(), over; }
    void TrackMouseLeave() override { touch(); }
    void UncheckOptionGroup() override { note(QStringLiteral("Group")); }
    void ProcessPendingEvents() override { note(QStringLiteral("Pump")); }
    void ShowTooltip() override { note(QStringLiteral("Tooltip")); }
    void PopupMenu(const MenuPlacement& p) override
    {
        note(QStringLiteral("Menu(%1,%2,%3)").arg(p.x).arg(p.y).arg(p.flags));
        if (onMenu)
            onMenu();
    }
    void RaiseClick() override { note(QStringLiteral("Click")); }
    void RaiseDblClick() override { note(QStringLiteral("DblClick")); }
    void RaiseMouseEnter() override { note(QStringLiteral("Enter")); }
    void RaiseMouseLeave() override { note(QStringLiteral("Leave")); }
    void RaiseMouseDown(int, int, float, float) override { note(QStringLiteral("MouseDown")); }
    void RaiseMouseUp(int, int, float, float) override { note(QStringLiteral("MouseUp")); }
    void RaiseKeyDown(int& k, int&) override { note(QStringLiteral("KeyDown%1").arg(k)); }
    void RaiseKeyUp(int& k, int&) override { note(QStringLiteral("KeyUp%1").arg(k)); }
    void RaiseKeyPress(int& k) override { note(QStringLiteral("KeyPress%1").arg(k)); }

    int mode = ModeCommand;
    bool value = false;
    bool enabled = true;
    bool over = true;
    bool capture = false;
    int redraws = 0;
    std::function<void()> onMenu;
    QStringList log;
    std::unique_ptr<QObject> control = std::make_unique<QObject>();
    /** The word whose handler deletes the control. */
    QString deleteOn;
    mutable int callsAfterDeletion = 0;

private:
    void touch() const
    {
        if (!control)
            ++callsAfterDeletion;
    }
    void note(const QString& word)
    {
        touch();
        log << word;
        if (word == deleteOn)
            control.reset();
    }
};

class ButtonBehaviorTest : public ::testing::Test
{
protected:
    /** Events only (requests such as capture and value changes left out). */
    QStringList events() const
    {
        QStringList out;
        for (const QString& s : host.log)
            if (!s.startsWith(QLatin1String("Value")) && s != QLatin1String("Capture") &&
                s != QLatin1String("Group") && s != QLatin1String("Pump"))
                out << s;
        return out;
    }
    void click(float x = 50, float y = 15)
    {
        b.MouseDown(LeftButton, 0, x, y);
        b.MouseUp(LeftButton, 0, x, y);
    }
    FakeHost host;
    ButtonBehavior b{host};
};

} // namespace

TEST_F(ButtonBehaviorTest, ClickInsideRaisesDownUpAndClickInOrder)
{
    b.MouseMove();
    b.MouseDown(LeftButton, 0, 10, 10);
    EXPECT_EQ(b.State(), ButtonState::Down);
    b.MouseUp(LeftButton, 0, 10, 10);
    EXPECT_EQ(events(), (QStringList{"Enter", "Tooltip", "MouseDown", "Click", "MouseUp"}));
    EXPECT_EQ(b.State(), ButtonState::Normal);
}

TEST_F(ButtonBehaviorTest, ReleaseOnTheEdgeGivesNoClickButStillMouseUp)
{
    for (auto [x, y] : {std::pair{0.f, 10.f}, {100.f, 10.f}, {10.f, 0.f}, {10.f, 30.f}}) {
        host.log.clear();
        click(x, y);
        EXPECT_EQ(events(), (QStringList{"MouseDown", "MouseUp"})) << x << "," << y;
    }
    host.log.clear();
    click(99.5f, 29.5f);
    EXPECT_TRUE(events().contains("Click"));
}

TEST_F(ButtonBehaviorTest, CheckButtonTogglesAndDrawsDownWhileChecked)
{
    host.mode = ModeCheck;
    click();
    EXPECT_TRUE(host.value);
    EXPECT_EQ(b.PaintState(StyleGlossyStrips), ButtonState::Down);
    EXPECT_EQ(b.PaintState(StyleStandard), ButtonState::Normal);
    EXPECT_EQ(b.PaintState(StyleSilverLines), ButtonState::Normal);
    click();
    EXPECT_FALSE(host.value);
    EXPECT_EQ(b.PaintState(StyleGlossyStrips), ButtonState::Normal);
}

TEST_F(ButtonBehaviorTest, OptionButtonClearsItsGroupBeforeChecking)
{
    host.mode = ModeOption;
    click();
    EXPECT_TRUE(host.value);
    const auto group = host.log.indexOf("Group");
    const auto value = host.log.indexOf("Value=1");
    ASSERT_GE(group, 0);
    EXPECT_LT(group, value);
}

TEST_F(ButtonBehaviorTest, SpacePressAndReleaseRaiseKeyDownClickKeyUp)
{
    host.mode = ModeCheck;
    b.KeyDown(32, 0);
    EXPECT_TRUE(host.value) << "a check button flips on the key-down";
    EXPECT_EQ(b.State(), ButtonState::Down);
    EXPECT_TRUE(host.capture);
    b.KeyUp(32, 0);
    EXPECT_EQ(events(), (QStringList{"KeyDown32", "Click", "KeyUp32"}));
    EXPECT_FALSE(b.SpaceDown());
    EXPECT_FALSE(host.capture);
}

TEST_F(ButtonBehaviorTest, AltSpaceAndOtherKeyReleasesRaiseNothing)
{
    b.KeyDown(32, AltMask);
    b.KeyUp(65, 0);
    b.KeyUp(13, 0);
    EXPECT_TRUE(host.log.isEmpty()) << host.log.join(',').toStdString();
    EXPECT_EQ(b.State(), ButtonState::Normal);
}

TEST_F(ButtonBehaviorTest, AnotherKeyWhileSpaceIsHeldCancelsThePress)
{
    b.KeyDown(32, 0);
    b.KeyDown(65, 0);
    EXPECT_FALSE(b.SpaceDown());
    EXPECT_EQ(b.State(), ButtonState::Normal);
    host.log.clear();
    b.KeyUp(32, 0);
    EXPECT_EQ(events(), (QStringList{"KeyUp32"})) << "no click after a cancelled press";
}

TEST_F(ButtonBehaviorTest, EnterClicksAtKeyDownAndArrowsMoveFocus)
{
    b.KeyDown(13, 0);
    EXPECT_EQ(host.log, (QStringList{"Click", "KeyDown13"}));
    host.log.clear();
    b.KeyDown(37, 0);
    b.KeyDown(38, 0);
    b.KeyDown(39, 0);
    b.KeyDown(40, 0);
    EXPECT_EQ(host.log, (QStringList{"Prev", "KeyDown37", "Prev", "KeyDown38", "Next", "KeyDown39", "Next",
                                     "KeyDown40"}));
}

TEST_F(ButtonBehaviorTest, AccessKeyWithEnterOrEscapeOnCheckAndOptionButtonsDoesNotClick)
{
    for (int mode : {ModeCheck, ModeOption}) {
        host.mode = mode;
        host.value = false;
        host.log.clear();
        b.AccessKeyPressed(13);
        b.AccessKeyPressed(27);
        EXPECT_FALSE(events().contains("Click")) << mode;
        EXPECT_FALSE(host.value);
        b.AccessKeyPressed('o');
        EXPECT_TRUE(events().contains("Click"));
        EXPECT_TRUE(host.value);
    }
    host.mode = ModeCommand;
    host.log.clear();
    b.AccessKeyPressed(13);
    EXPECT_EQ(events(), (QStringList{"Click"}));
    host.enabled = false;
    host.log.clear();
    b.AccessKeyPressed('o');
    EXPECT_TRUE(host.log.isEmpty());
}

TEST_F(ButtonBehaviorTest, EveryMoveOverTheButtonRaisesMouseEnterAndLeavingOnce)
{
    b.MouseMove();
    b.MouseMove();
    b.MouseMove();
    b.MouseLeft();
    EXPECT_EQ(events(), (QStringList{"Enter", "Tooltip", "Enter", "Enter", "Leave"}));
    EXPECT_EQ(b.State(), ButtonState::Normal);
}

TEST_F(ButtonBehaviorTest, DraggingOffAndBackTogglesBetweenNormalAndDown)
{
    b.MouseDown(LeftButton, 0, 10, 10);
    host.over = false;
    b.MouseMove();
    EXPECT_EQ(b.State(), ButtonState::Normal);
    host.over = true;
    b.MouseMove();
    EXPECT_EQ(b.State(), ButtonState::Down);
    EXPECT_FALSE(host.log.contains("Tooltip")) << "no tooltip while the button is held";
}

TEST_F(ButtonBehaviorTest, RightButtonDoesNotPress)
{
    b.MouseDown(RightButton, 0, 10, 10);
    EXPECT_EQ(b.State(), ButtonState::Normal);
    b.MouseUp(RightButton, 0, 10, 10);
    EXPECT_EQ(events(), (QStringList{"MouseUp"}));
}

TEST_F(ButtonBehaviorTest, DoubleClickReplaysThePressAndRaisesDblClick)
{
    click();
    host.log.clear();
    b.DoubleClick();
    EXPECT_EQ(b.State(), ButtonState::Down);
    EXPECT_EQ(events(), (QStringList{"MouseDown", "DblClick"}));
    EXPECT_TRUE(host.capture);
}

TEST_F(ButtonBehaviorTest, FocusLossAndDeactivationResetThePress)
{
    b.KeyDown(32, 0);
    b.FocusOut();
    EXPECT_FALSE(b.SpaceDown());
    EXPECT_EQ(b.State(), ButtonState::Normal);
    b.MouseMove();
    b.MouseDown(LeftButton, 0, 5, 5);
    b.ContainerActivated(false);
    EXPECT_FALSE(b.IsMouseDown());
    EXPECT_FALSE(b.HasFocus());
    EXPECT_FALSE(b.ParentActive());
    b.ContainerActivated(true);
    EXPECT_TRUE(b.ParentActive());
}

TEST(ButtonMenuPlacement, EightPlacementsAndNoneBeyond)
{
    EXPECT_EQ(PlaceMenu(0, 0, 80, 20)->y, 20);
    EXPECT_EQ(PlaceMenu(1, 8, 80, 20)->flags, 32u);
    EXPECT_EQ(PlaceMenu(2, 0, 80, 20)->flags, 8u);
    EXPECT_EQ(PlaceMenu(3, 0, 80, 20)->x, 80);
    const auto four = PlaceMenu(4, 0, 80, 20);
    EXPECT_EQ(four->x, 0);
    EXPECT_EQ(four->y, 0);
    EXPECT_EQ(four->flags, 40u) << "bottom-right corner at the button's top-left";
    EXPECT_EQ(PlaceMenu(5, 32, 80, 20)->flags, 40u);
    EXPECT_EQ(PlaceMenu(6, 0, 80, 20)->flags, 32u);
    const auto seven = PlaceMenu(7, 0, 80, 20);
    EXPECT_EQ(seven->x, 80);
    EXPECT_EQ(seven->y, 20);
    EXPECT_FALSE(PlaceMenu(8, 0, 80, 20));
    EXPECT_FALSE(PlaceMenu(-1, 0, 80, 20));
}

TEST_F(ButtonBehaviorTest, MenuButtonOpensOnPressAndRaisesNoMouseEvents)
{
    b.SetMenu(4, 0);
    b.MouseDown(LeftButton, 0, 5, 5);
    b.MouseUp(LeftButton, 0, 5, 5);
    EXPECT_EQ(events(), (QStringList{"Menu(0,0,40)"}));
    EXPECT_EQ(b.MenuFlags(), 40u) << "the changed flags stay";
}

TEST_F(ButtonBehaviorTest, InvalidPlacementOpensNothing)
{
    b.SetMenu(8, 0);
    b.MouseDown(LeftButton, 0, 5, 5);
    EXPECT_TRUE(host.log.isEmpty());
    EXPECT_FALSE(b.MenuOpen());
}

TEST_F(ButtonBehaviorTest, MenuDoesNotReopenWhileThePointerStaysOverTheButton)
{
    b.SetMenu(0, 0);
    // The open menu takes the pointer: the platform reports a leave while it is shown.
    host.onMenu = [&] { b.MouseLeft(); };
    b.MouseDown(LeftButton, 0, 5, 5); // the menu's own loop takes this click's release
    EXPECT_TRUE(b.MenuClosedOver());
    host.log.clear();
    b.MouseDown(LeftButton, 0, 5, 5); // the press that closed the menu over the button
    EXPECT_TRUE(b.MenuClosedOver());
    EXPECT_FALSE(host.log.join(',').contains("Menu"));
    b.MouseUp(LeftButton, 0, 5, 5);
    b.MouseDown(LeftButton, 0, 5, 5);
    EXPECT_TRUE(host.log.join(',').contains("Menu")) << "pressing again after the reset reopens";
}

TEST_F(ButtonBehaviorTest, MenuClosedAwayFromTheButtonResetsIt)
{
    b.SetMenu(0, 0);
    host.onMenu = [&] { host.over = false; };
    b.MouseDown(LeftButton, 0, 5, 5);
    EXPECT_FALSE(b.MenuClosedOver());
    EXPECT_FALSE(b.IsMouseDown());
    EXPECT_EQ(b.State(), ButtonState::Normal);
    host.over = true;
    host.log.clear();
    b.MouseDown(LeftButton, 0, 5, 5);
    EXPECT_TRUE(host.log.join(',').contains("Menu"));
}

/** One input sequence of a step, and the word at which the container deletes the control. */
struct DeletionCase
{
    const char* name;
    int mode;
    bool menu;
    QString deleteOn;
    std::function<void(ButtonBehavior&)> drive;
    /** Input before the container starts deleting. */
    std::function<void(ButtonBehavior&)> prepare = nullptr;
};

void PrintTo(const DeletionCase& c, std::ostream* os)
{
    *os << c.name;
}

class ButtonBehaviorDeletion : public ::testing::TestWithParam<DeletionCase>
{
};

TEST_P(ButtonBehaviorDeletion, StepEndsWhenTheControlIsGone)
{
    const DeletionCase& c = GetParam();
    FakeHost host;
    host.mode = c.mode;
    ButtonBehavior b{host};
    if (c.menu)
        b.SetMenu(0, 0);
    if (c.prepare)
        c.prepare(b);
    host.log.clear();
    host.deleteOn = c.deleteOn;
    c.drive(b);
    ASSERT_FALSE(host.log.isEmpty());
    EXPECT_EQ(host.log.last(), c.deleteOn) << host.log.join(' ').toStdString();
    EXPECT_EQ(host.control, nullptr) << "the handler ran";
    EXPECT_EQ(host.callsAfterDeletion, 0) << host.log.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ButtonBehaviorDeletion,
    ::testing::Values(DeletionCase{"ClickOfAMouseUp", ModeCommand, false, "Click",
                                   [](ButtonBehavior& b) {
                                       b.MouseDown(LeftButton, 0, 50, 15);
                                       b.MouseUp(LeftButton, 0, 50, 15);
                                   }},
                      DeletionCase{"ValueOfACheckButtonsMouseUp", ModeCheck, false, "Value=1",
                                   [](ButtonBehavior& b) {
                                       b.MouseDown(LeftButton, 0, 50, 15);
                                       b.MouseUp(LeftButton, 0, 50, 15);
                                   }},
                      DeletionCase{"GroupOfAnOptionButton", ModeOption, false, "Group",
                                   [](ButtonBehavior& b) {
                                       b.MouseDown(LeftButton, 0, 50, 15);
                                       b.MouseUp(LeftButton, 0, 50, 15);
                                   }},
                      DeletionCase{"MouseEnter", ModeCommand, false, "Enter",
                                   [](ButtonBehavior& b) { b.MouseMove(); }},
                      DeletionCase{"MouseDownOfADoubleClick", ModeCommand, false, "MouseDown",
                                   [](ButtonBehavior& b) { b.DoubleClick(); },
                                   [](ButtonBehavior& b) {
                                       b.MouseDown(LeftButton, 0, 50, 15);
                                       b.MouseUp(LeftButton, 0, 50, 15);
                                   }},
                      DeletionCase{"ClickOfEnter", ModeCommand, false, "Click",
                                   [](ButtonBehavior& b) { b.KeyDown(13, 0); }},
                      DeletionCase{"ValueOfSpace", ModeCheck, false, "Value=1",
                                   [](ButtonBehavior& b) { b.KeyDown(32, 0); }},
                      DeletionCase{"FocusMoveOfAnArrow", ModeCommand, false, "Next",
                                   [](ButtonBehavior& b) { b.KeyDown(40, 0); }},
                      DeletionCase{"ClickOfSpaceReleased", ModeCommand, false, "Click",
                                   [](ButtonBehavior& b) {
                                       b.KeyDown(32, 0);
                                       b.KeyUp(32, 0);
                                   }},
                      DeletionCase{"KeyUpOfSpace", ModeCommand, false, "KeyUp32",
                                   [](ButtonBehavior& b) {
                                       b.KeyDown(32, 0);
                                       b.KeyUp(32, 0);
                                   }},
                      DeletionCase{"ValueOfAnAccessKey", ModeCheck, false, "Value=1",
                                   [](ButtonBehavior& b) { b.AccessKeyPressed('o'); }},
                      DeletionCase{"PumpOfAnAccessKey", ModeCommand, false, "Pump",
                                   [](ButtonBehavior& b) { b.AccessKeyPressed('o'); }},
                      DeletionCase{"PumpOfTheDefaultButtonsEnter", ModeCommand, false, "Pump",
                                   [](ButtonBehavior& b) { b.AccessKeyPressed(13); }},
                      DeletionCase{"MenuOfAPress", ModeCommand, true, "Menu(0,30,0)",
                                   [](ButtonBehavior& b) { b.MouseDown(LeftButton, 0, 50, 15); }},
                      DeletionCase{"MenuOfADoubleClick", ModeCommand, true, "Menu(0,30,0)",
                                   [](ButtonBehavior& b) { b.DoubleClick(); },
                                   [](ButtonBehavior& b) {
                                       // A first press whose menu then goes with the pointer off the button.
                                       b.MouseDown(LeftButton, 0, 50, 15);
                                       b.MouseUp(LeftButton, 0, 50, 15);
                                       b.MouseLeft();
                                       b.MouseLeft();
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });
