#include "controls/button/glintbutton.h"
#include "controls/button/ButtonColors.h"
#include "controls/button/ButtonPictures.h"
#include "controls/button/ButtonTooltip.h"
#include "controls/common/PropertyBag.h"

#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"

#include "ButtonTestPrint.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QProxyStyle>
#include <QSignalSpy>

#include <QTest>
#include <QTimer>

#include <functional>

using namespace brenlow;

namespace {

class GlintButtonTest : public ::testing::Test
{
protected:
    GlintButtonTest()
    {
        window.resize(400, 200);
        window.move(200, 200);
    }
    glintbutton* make(QWidget* parent, const QPoint& pos = {10, 10})
    {
        auto* b = new glintbutton(parent);
        b->setGeometry(QRect(pos, QSize(100, 30)));
        return b;
    }
    void showWindow()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
};

/** The stored values the main window keeps for its buttons. */
PropertyBag mainWindowBag(const QString& caption, bool enabled)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("buttonstyle"), 3);
    bag.WriteProperty(QStringLiteral("colorscheme"), 2);
    bag.WriteProperty(QStringLiteral("backcolor"), 0xE3E3E3u);
    bag.WriteProperty(QStringLiteral("maskcolor"), 0x00FF00u);
    bag.WriteProperty(QStringLiteral("picturenormal"), BundledButtonPicture(QStringLiteral("add")));
    bag.WriteProperty(QStringLiteral("caption"), caption);
    if (!enabled)
        bag.WriteProperty(QStringLiteral("enabled"), false);
    return bag;
}

} // namespace

TEST_F(GlintButtonTest, ClickRaisesClickOnlyWhenEnabled)
{
    glintbutton* b = make(&window);
    showWindow();
    QSignalSpy clicks(b, &glintbutton::Click);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks.count(), 1);
    b->SetEnabled(false);
    EXPECT_FALSE(b->isEnabled());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(GlintButtonTest, MainWindowButtonLoadsFromStoredValues)
{
    glintbutton* b = make(&window);
    b->ReadProperties(mainWindowBag(QStringLiteral("Cancel"), false));
    showWindow();
    EXPECT_EQ(b->ButtonStyle(), 3);
    EXPECT_EQ(b->ColorScheme(), 2);
    EXPECT_EQ(b->BackColor(), 0xE3E3E3u);
    EXPECT_EQ(b->Caption(), QStringLiteral("Cancel"));
    EXPECT_FALSE(b->Enabled());
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(b->PictureNormal().size(), QSize(32, 32));
    EXPECT_FALSE(b->mask().contains(QPoint(0, 0))) << "rounded corners";
    // The disabled look of style 3 and the faded picture on the surface.
    EXPECT_EQ(ButtonColors::FromRgb(b->Surface().pixel(50, 0)), ButtonColors::Shift(0xE3E3E3, -0.25f));
}

TEST_F(GlintButtonTest, CommandButtonValueStaysFalse)
{
    glintbutton* b = make(&window);
    QSignalSpy changes(b, &glintbutton::PropertyChanged);
    b->SetValue(true);
    EXPECT_FALSE(b->Value());
    b->SetMode(ModeCheck);
    b->SetValue(true);
    EXPECT_TRUE(b->Value());
    EXPECT_EQ(changes.last().at(0).toString(), QStringLiteral("Value"));
    b->SetMode(ModeCommand);
    EXPECT_FALSE(b->Value());
}

TEST_F(GlintButtonTest, OptionButtonsUncheckOnlyTheirOwnContainer)
{
    QWidget* left = new QWidget(&window);
    QWidget* right = new QWidget(&window);
    left->setGeometry(0, 0, 200, 200);
    right->setGeometry(200, 0, 200, 200);
    glintbutton* a1 = make(left, {0, 0});
    glintbutton* a2 = make(left, {0, 40});
    glintbutton* check = make(left, {0, 80});
    glintbutton* b1 = make(right, {0, 0});
    for (glintbutton* b : {a1, a2, b1})
        b->SetMode(ModeOption);
    check->SetMode(ModeCheck);
    check->SetValue(true);
    a2->SetValue(true);
    b1->SetValue(true);
    showWindow();
    QTest::mouseClick(a1, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_TRUE(a1->Value());
    EXPECT_FALSE(a2->Value());
    EXPECT_TRUE(check->Value()) << "check buttons are not in the group";
    EXPECT_TRUE(b1->Value()) << "another container keeps its choice";
}

TEST_F(GlintButtonTest, SettersFollowTheirRules)
{
    glintbutton* b = make(&window);
    b->SetButtonStyle(StyleGlossyStrips);
    EXPECT_EQ(b->ColorScheme(), 2);
    EXPECT_EQ(b->BackColor(), 0xE3E3E3u);
    b->SetBackColor(0x112233);
    EXPECT_EQ(b->ColorScheme(), 3) << "an own colour is the custom scheme";
    b->SetButtonStyle(StyleHoverBox);
    b->SetBackColor(0x112233);
    EXPECT_EQ(b->ColorScheme(), 0) << "but not for style 4";

    QImage pic(8, 8, QImage::Format_RGB32);
    pic.fill(Qt::blue);
    b->SetPictureHot(pic);
    EXPECT_FALSE(b->PictureNormal().isNull()) << "the first picture becomes the normal one";
    EXPECT_TRUE(b->PictureHot().isNull());
    b->SetPictureHot(pic);
    b->SetPictureDown(pic);
    b->SetPictureNormal(QImage());
    EXPECT_TRUE(b->PictureHot().isNull());
    EXPECT_TRUE(b->PictureDown().isNull());

    b->SetCaption(QStringLiteral("&Open"));
    EXPECT_EQ(b->AccessKey(), QChar('o'));
    b->SetMouseIcon(pic);
    EXPECT_EQ(b->MousePointer(), 99);
    EXPECT_FALSE(b->HandPointer());
    b->SetHandPointer(true);
    EXPECT_EQ(b->MousePointer(), 0);
    EXPECT_EQ(b->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(GlintButtonTest, AccessKeyClicksTheButton)
{
    glintbutton* b = make(&window);
    b->SetCaption(QStringLiteral("&Open"));
    showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(b, &glintbutton::Click);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() == 1; }, 30000));
}

TEST_F(GlintButtonTest, KeyboardSpaceClicksAndArrowsMoveFocus)
{
    glintbutton* a = make(&window, {10, 10});
    glintbutton* b = make(&window, {10, 50});
    showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    a->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->hasFocus(); }, 30000));
    QSignalSpy clicks(a, &glintbutton::Click);
    QSignalSpy keyUps(a, &glintbutton::KeyUp);
    QTest::keyPress(a, Qt::Key_Space);
    EXPECT_EQ(a->Behavior().State(), ButtonState::Down);
    QTest::keyRelease(a, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(keyUps.count(), 1);
    QTest::keyClick(a, Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return b->hasFocus(); }, 30000));

    // Holding space on a check button checks it once, however long the key repeats.
    b->SetMode(ModeCheck);
    QTest::keyPress(b, Qt::Key_Space);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(b, &repeat);
    }
    QTest::keyRelease(b, Qt::Key_Space);
    EXPECT_TRUE(b->Value());
}

TEST_F(GlintButtonTest, TooltipShowsOnHoverOnlyWhenNotPressed)
{
    glintbutton* b = make(&window);
    b->SetToolTip(QStringLiteral("Adds a video"));
    b->SetTooltipType(1);
    b->SetTooltipTitle(QString());
    b->SetTooltipIcon(2);
    showWindow();
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseMove(b, QPoint(52, 16));
    EXPECT_EQ(b->TooltipWindow(), nullptr) << "no tooltip while held down";
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(52, 16));
    QTest::mouseMove(b, QPoint(60, 16));
    QTest::mouseMove(b, QPoint(61, 16));
    auto* tip = qobject_cast<ButtonTooltip*>(b->TooltipWindow());
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsBalloon());
    EXPECT_EQ(tip->Text(), QStringLiteral("Adds a video"));
    EXPECT_TRUE(tip->Title().isEmpty()) << "no title without title text, whatever the icon";
    EXPECT_EQ(tip->MaxWidth(), 240);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tip->isVisible(); }, 30000));

    QSignalSpy leaves(b, &glintbutton::MouseLeave);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(leaves.count(), 1);
    EXPECT_FALSE(tip->isVisible());
    EXPECT_EQ(b->Behavior().State(), ButtonState::Normal);

    b->SetTooltipType(2);
    b->SetTooltipTitle(QStringLiteral("Add"));
    b->SetTooltipBackColor(0x00FFFF);
    QTest::mouseMove(b, QPoint(40, 10));
    tip = qobject_cast<ButtonTooltip*>(b->TooltipWindow());
    ASSERT_NE(tip, nullptr);
    EXPECT_FALSE(tip->IsBalloon());
    EXPECT_EQ(tip->Title(), QStringLiteral("Add"));
    EXPECT_EQ(tip->BackColor(), QColor(255, 255, 0));
}

TEST_F(GlintButtonTest, DropDownMenuOpensAboveLeftForPlacementFour)
{
    glintbutton* b = make(&window, {150, 100});
    showWindow();
    QMenu menu;
    menu.addAction(QStringLiteral("First"));
    menu.addAction(QStringLiteral("Second"));
    b->SetPopupMenu(&menu, 4);
    QRect shownAt;
    QSignalSpy downs(b, &glintbutton::MouseDown);
    QSignalSpy clicks(b, &glintbutton::Click);
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        QTimer::singleShot(0, &menu, [&] {
            shownAt = menu.geometry();
            menu.close();
        });
    });
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(50, 15));
    ASSERT_TRUE(shownAt.isValid());
    EXPECT_EQ(shownAt.bottomRight() + QPoint(1, 1), b->mapToGlobal(QPoint(0, 0)));
    EXPECT_EQ(downs.count(), 0);
    EXPECT_EQ(clicks.count(), 0) << "a menu button reports no clicks";

    b->UnsetPopupMenu();
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(GlintButtonTest, PopupMenuNeedsAMenuAndAValidPlacement)
{
    glintbutton* b = make(&window);
    showWindow();
    b->SetPopupMenu(nullptr, 0);
    EXPECT_FALSE(b->Behavior().MenuAttached());
    QMenu menu;
    menu.addAction(QStringLiteral("Only"));
    bool shown = false;
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&] {
        shown = true;
        QTimer::singleShot(0, &menu, &QMenu::close);
    });
    b->SetPopupMenu(&menu, 8);
    EXPECT_TRUE(b->Behavior().MenuAttached());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_FALSE(shown);
}

TEST_F(GlintButtonTest, AboutAndOpenWebsiteGoThroughTheHost)
{
    ScopedScriptedDialogs dialogs;
    ScopedRecordingShell shell;
    glintbutton b;
    b.About();
    ASSERT_EQ(dialogs.dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.dialogs.shown[0].icon, Dialogs::Icon::Information);
    b.OpenWebsite(QStringLiteral("https://example.org/"));
    EXPECT_EQ(shell.shell.opened, QStringList{QStringLiteral("https://example.org/")});
}

TEST_F(GlintButtonTest, ButtonsNeverShrinkBelowTheMinimum)
{
    glintbutton* b = make(&window);
    showWindow();
    b->resize(3, 2);
    EXPECT_GE(b->width(), 15);
    EXPECT_GE(b->height(), 15);
    EXPECT_EQ(b->Surface().size(), b->size());
}

TEST(ButtonPictures, BundledPicturesHaveMaskBackgrounds)
{
    for (const char* name : {"add", "browse", "cancel", "delete", "download"}) {
        const QImage pic = BundledButtonPicture(QString::fromLatin1(name));
        ASSERT_EQ(pic.size(), QSize(32, 32)) << name;
        EXPECT_EQ(pic.pixel(0, 0) & 0xFFFFFF, 0x00FF00u) << name;
        int drawn = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                drawn += (pic.pixel(x, y) & 0xFFFFFF) != 0x00FF00u;
        EXPECT_GT(drawn, 150) << name;
    }
    EXPECT_TRUE(BundledButtonPicture(QStringLiteral("nothing")).isNull());

    // A stored picture may also be the resource path of a bundled one.
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("PictureNormal"), QStringLiteral(":/button/browse.png"));
    glintbutton b;
    b.ReadProperties(bag);
    EXPECT_EQ(b.PictureNormal().size(), QSize(32, 32));
}

TEST_F(GlintButtonTest, DoubleClickRaisesDblClickAndLeavesNoMouseGrab)
{
    glintbutton* b = make(&window);
    showWindow();
    QSignalSpy doubles(b, &glintbutton::DblClick);
    QSignalSpy clicks(b, &glintbutton::Click);
    const QPointF at(50, 15), global = b->mapToGlobal(at);
    auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent e(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(b, &e);
    };
    // The sequence a real double click delivers: press, release, press, double click, release.
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(QWidget::mouseGrabber(), b) << "the double click takes the mouse";
    EXPECT_EQ(b->Behavior().State(), ButtonState::Down);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "and gives it back with the release";
    EXPECT_EQ(b->Behavior().State(), ButtonState::Normal);
}

TEST_F(GlintButtonTest, PointerShapesFourAndFiveAreTheArrowAndTheFourWayArrow)
{
    glintbutton* b = make(&window);
    const std::pair<int, Qt::CursorShape> shapes[] = {
        {1, Qt::ArrowCursor}, {4, Qt::ArrowCursor}, {5, Qt::SizeAllCursor}, {15, Qt::SizeAllCursor}};
    for (const auto& [code, shape] : shapes) {
        b->SetMousePointer(code);
        EXPECT_TRUE(b->testAttribute(Qt::WA_SetCursor)) << code;
        EXPECT_EQ(b->cursor().shape(), shape) << code;
    }
    b->SetMousePointer(0);
    EXPECT_FALSE(b->testAttribute(Qt::WA_SetCursor));
}

TEST_F(GlintButtonTest, DefaultButtonTakesEnterAndCancelButtonTakesEscape)
{
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(10, 150, 100, 24);
    glintbutton* ok = make(&window, {10, 10});
    glintbutton* cancel = make(&window, {10, 50});
    glintbutton* other = make(&window, {10, 90});
    ok->SetDisplayAsDefault(true);
    cancel->SetCancel(true);
    EXPECT_TRUE(cancel->Cancel());
    showWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 30000));
    QSignalSpy okClicks(ok, &glintbutton::Click);
    QSignalSpy cancelClicks(cancel, &glintbutton::Click);
    QSignalSpy otherClicks(other, &glintbutton::Click);

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return okClicks.count() == 1; }, 30000));
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return okClicks.count() == 2; }, 30000));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return cancelClicks.count() == 1; }, 30000));
    EXPECT_EQ(okClicks.count(), 2);

    // A focused button takes Enter itself; Escape still goes to the cancel button.
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }, 30000));
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(otherClicks.count(), 1);
    EXPECT_EQ(okClicks.count(), 2);
    QTest::keyClick(other, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return cancelClicks.count() == 2; }, 30000));

    // A default check button is not toggled by Enter, a disabled one takes nothing, and a button
    // that is no longer the default lets Enter go.
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, 30000));
    ok->SetMode(ModeCheck);
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ok->Value());
    EXPECT_EQ(okClicks.count(), 2);
    ok->SetMode(ModeCommand);
    ok->SetEnabled(false);
    QTest::keyClick(edit, Qt::Key_Return);
    ok->SetEnabled(true);
    ok->SetDisplayAsDefault(false);
    QTest::keyClick(edit, Qt::Key_Return);
    cancel->SetCancel(false);
    QTest::keyClick(edit, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(okClicks.count(), 2);
    EXPECT_EQ(cancelClicks.count(), 2);
}

namespace {

/** Counts the buttons the platform style draws: a style-13 button draws one per picture made. */
class CountingStyle final : public QProxyStyle
{
public:
    CountingStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_PushButtonBevel || element == CE_PushButton)
            ++drawn;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_PanelButtonCommand)
            ++drawn;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    mutable int drawn = 0;
};

} // namespace

TEST_F(GlintButtonTest, HiddenButtonMakesItsPictureOnlyWhenFirstPainted)
{
    CountingStyle style;
    glintbutton* b = make(&window);
    b->setStyle(&style);
    b->setFocusPolicy(Qt::NoFocus);
    b->SetCaption(QStringLiteral("&Later"));
    b->SetForeColor(0x0000FF);
    b->SetFont(QFont(QStringLiteral("Tahoma"), 11));
    b->resize(120, 34);
    b->Refresh(); // a picture asked for now is made now
    const int afterRefresh = style.drawn;
    EXPECT_GT(afterRefresh, 0);
    b->SetCaptionAlign(0);
    b->SetEnabled(false);
    b->SetEnabled(true);
    EXPECT_EQ(style.drawn, afterRefresh) << "a hidden button only marks its picture stale";

    // The first paint shows the picture of the latest values, made once.
    showWindow();
    QTRY_VERIFY(style.drawn > afterRefresh);
    const QImage shown = b->grab().toImage();
    EXPECT_EQ(shown, b->Surface().convertToFormat(shown.format()));
    glintbutton reference;
    reference.setStyle(&style);
    reference.resize(120, 34);
    reference.SetCaption(QStringLiteral("&Later"));
    reference.SetForeColor(0x0000FF);
    reference.SetFont(QFont(QStringLiteral("Tahoma"), 11));
    reference.SetCaptionAlign(0);
    EXPECT_EQ(b->Surface(), reference.Surface());
    delete b; // before the style it uses
}

TEST_F(GlintButtonTest, OnDenseScreenButtonAndTooltipPaintAtTheScreensRatio)
{
    // Run once as is and once with QT_SCALE_FACTOR=2.
    const qreal ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                            ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                            : 1.0;
    glintbutton* b = make(&window);
    b->ReadProperties(mainWindowBag(QStringLiteral("Add Video Link"), true));
    showWindow();
    EXPECT_EQ(b->devicePixelRatioF(), ratio);
    EXPECT_EQ(b->Surface().devicePixelRatio(), ratio);
    EXPECT_EQ(b->Surface().size(), (QSizeF(100, 30) * ratio).toSize());
    // The outer frame is one pixel of the button, ratio pixels thick; the gradient below it starts
    // where the design puts it.
    const QImage& s = b->Surface();
    const int mid = int(15 * ratio), x = int(50 * ratio), r = int(ratio);
    EXPECT_EQ(s.pixel(x, r - 1), s.pixel(x, 0));
    EXPECT_NE(s.pixel(x, r), s.pixel(x, 0));
    EXPECT_EQ(ButtonColors::FromRgb(s.pixel(x, 2 * r)), 0xF0F0F0u);
    const QImage shown = b->grab().toImage();
    EXPECT_EQ(shown.size(), b->Surface().size());
    EXPECT_EQ(shown.pixel(int(50 * ratio), mid), b->Surface().pixel(int(50 * ratio), mid));

    ButtonTooltip tip(b);
    tip.SetText(QStringLiteral("Adds a video"));
    tip.ShowAt(b->mapToGlobal(QPoint(10, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tip));
    const QPixmap tipShown = tip.grab();
    EXPECT_EQ(tipShown.devicePixelRatio(), ratio);
    EXPECT_EQ(tipShown.size(), (QSizeF(tip.size()) * ratio).toSize());
}

namespace {

/** One setter with a value that differs from a new button's, and the name it announces. */
struct ButtonSetterCase
{
    const char* name;
    std::function<void(glintbutton&)> set;
};

void PrintTo(const ButtonSetterCase& c, std::ostream* os)
{
    *os << c.name;
}

class ButtonSetter : public ::testing::TestWithParam<ButtonSetterCase>
{
};

} // namespace

TEST_P(ButtonSetter, ComparesStoresRepaintsThenTellsTheContainer)
{
    const ButtonSetterCase& c = GetParam();
    auto* button = new glintbutton;
    glintbutton reference;
    for (glintbutton* b : {button, &reference})
        b->resize(100, 30);
    c.set(reference);

    // The container hears of the change once the button shows it, and may delete the button then.
    QImage seen;
    QStringList names;
    QObject::connect(button, &glintbutton::PropertyChanged, [&](const QString& name) {
        names << name;
        seen = button->Surface().copy();
        delete button;
    });
    c.set(*button);
    EXPECT_EQ(names, QStringList{QString::fromLatin1(c.name)});
    EXPECT_EQ(seen, reference.Surface());

    // The value it holds: nothing to store or tell.
    QSignalSpy told(&reference, &glintbutton::PropertyChanged);
    c.set(reference);
    EXPECT_EQ(told.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Setters, ButtonSetter,
    ::testing::Values(
        ButtonSetterCase{"ButtonStyle", [](glintbutton& b) { b.SetButtonStyle(StyleGlossyStrips); }},
        ButtonSetterCase{"ColorScheme", [](glintbutton& b) { b.SetColorScheme(1); }},
        ButtonSetterCase{"BackColor", [](glintbutton& b) { b.SetBackColor(0x112233); }},
        ButtonSetterCase{"ForeColor", [](glintbutton& b) { b.SetForeColor(0x0000FF); }},
        ButtonSetterCase{"Caption", [](glintbutton& b) { b.SetCaption(QStringLiteral("&Other")); }},
        ButtonSetterCase{"Font", [](glintbutton& b) { b.SetFont(QFont(QStringLiteral("Tahoma"), 14)); }},
        ButtonSetterCase{"Enabled", [](glintbutton& b) { b.SetEnabled(false); }},
        ButtonSetterCase{"CaptionAlign", [](glintbutton& b) { b.SetCaptionAlign(0); }},
        ButtonSetterCase{"CaptionEffects", [](glintbutton& b) { b.SetCaptionEffects(1); }},
        ButtonSetterCase{"RightToLeft", [](glintbutton& b) { b.SetRightToLeft(true); }},
        ButtonSetterCase{"TooltipBackcolor", [](glintbutton& b) { b.SetTooltipBackColor(0x00FFFF); }},
        ButtonSetterCase{"ToolTipType", [](glintbutton& b) { b.SetTooltipType(1); }},
        ButtonSetterCase{"PictureOpacity", [](glintbutton& b) { b.SetPictureOpacity(100); }},
        // Changes that only the widget follows, or that show from the next repaint on.
        ButtonSetterCase{"ShowFocusRect", [](glintbutton& b) { b.SetShowFocusRect(true); }},
        ButtonSetterCase{"MousePointer", [](glintbutton& b) { b.SetMousePointer(2); }},
        ButtonSetterCase{"HandPointer", [](glintbutton& b) { b.SetHandPointer(true); }},
        ButtonSetterCase{"MouseIcon",
                         [](glintbutton& b) { b.SetMouseIcon(BundledButtonPicture(QStringLiteral("add"))); }},
        ButtonSetterCase{"PictureAlign", [](glintbutton& b) { b.SetPictureAlign(0); }},
        ButtonSetterCase{
            "PictureNormal",
            [](glintbutton& b) { b.SetPictureNormal(BundledButtonPicture(QStringLiteral("add"))); }},
        ButtonSetterCase{"DropDownSymbol", [](glintbutton& b) { b.SetDropDownSymbol(1); }}),
    [](const auto& info) { return std::string(info.param.name); });
