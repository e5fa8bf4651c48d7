// The window as a keyboard and screen-reader user meets it: names, roles and values read through
// Qt's accessibility interfaces, the Tab order, the focus marks and Escape as "Cancel".
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "app/LinkLabel.h"
#include "app/Settings.h"
#include "app/WebPane.h"
#include "controls/button/glintbutton.h"
#include "controls/common/FocusRing.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "runner/AVC.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <functional>

namespace Col = brenlow::Col;

namespace {

struct NamedControl
{
    const char* what;
    std::function<QWidget*(const Form1&)> widget;
    QAccessible::Role role;
    const char* name;
    bool enabled;
};

const NamedControl Controls[] = {
    {"Command1", [](const Form1& f) { return f.Command(1); }, QAccessible::PushButton, "Add Video Link",
     true},
    {"Command4", [](const Form1& f) { return f.Command(4); }, QAccessible::PushButton, "Delete", true},
    {"Command2", [](const Form1& f) { return f.Command(2); }, QAccessible::PushButton, "Browse...", true},
    {"Command5", [](const Form1& f) { return f.Command(5); }, QAccessible::PushButton, "Download", true},
    {"Command3", [](const Form1& f) { return f.Command(3); }, QAccessible::PushButton, "Cancel", false},
    {"ListGrid1", [](const Form1& f) { return f.ListGrid1(); }, QAccessible::Table, "Download list", true},
    {"Progressbar", [](const Form1& f) { return f.Progressbar(); }, QAccessible::ProgressBar,
     "Download progress", true},
    {"Text1", [](const Form1& f) { return f.Text1(); }, QAccessible::EditableText, "Download Folder", true},
    {"wb", [](const Form1& f) { return f.wb(); }, QAccessible::StaticText, "Start page", true},
    {"Label5", [](const Form1& f) { return f.Label5(); }, QAccessible::Link,
     brenlow::ProductSettings::MakerSiteCaption, true},
    {"Label4", [](const Form1& f) { return f.Label4(); }, QAccessible::Link,
     brenlow::ProductSettings::ProductPage2Caption, true},
    {"Label3", [](const Form1& f) { return f.Label3(); }, QAccessible::Link,
     brenlow::ProductSettings::ProductPage1Caption, true},
};

class FormAccessibilityTest : public FormTest
{
protected:
    void showAndActivate()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void focus(QWidget* w)
    {
        w->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(waitFor([w] { return QApplication::focusWidget() == w; }, 10000));
    }
    [[nodiscard]] static QAccessibleInterface* a11y(QObject* o)
    {
        return QAccessible::queryAccessibleInterface(o);
    }
};

} // namespace

TEST_F(FormAccessibilityTest, EveryControlHasItsNameAndRole)
{
    for (const NamedControl& c : Controls) {
        SCOPED_TRACE(c.what);
        QAccessibleInterface* a = a11y(c.widget(*form));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), c.role);
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(bool(a->state().disabled), !c.enabled);
        // Every one of them hangs in the window's tree.
        EXPECT_EQ(a->parent(), a11y(form.get()));
    }
    QAccessibleInterface* window = a11y(form.get());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Brenlow 7.0"));
    // The folder box is tied to its label, not only named alike.
    const auto labels = a11y(form->Text1())->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), QStringLiteral("Download Folder"));
}

TEST_F(FormAccessibilityTest, TheListReadsItsVisibleColumnsAndTheRowsValues)
{
    addVideo(Links::Basic);
    QAccessibleTableInterface* table = a11y(form->ListGrid1())->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 1);
    // The hidden profile list (one twip wide) is left out.
    QStringList headings;
    for (int c = 0; c < table->columnCount(); ++c)
        headings << table->columnDescription(c);
    EXPECT_EQ(headings,
              (QStringList{"Video Name", "Video Link", "Picture", "Profile", "Progress", "Status"}));
    ListGrid* grid = form->ListGrid1();
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), grid->CellText(0, Col::VideoName));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), Links::Basic);
    EXPECT_EQ(table->cellAt(0, 3)->text(QAccessible::Name), grid->CellText(0, Col::Profile));
    QAccessibleInterface* progress = table->cellAt(0, 4);
    ASSERT_NE(progress->valueInterface(), nullptr);
    EXPECT_EQ(progress->valueInterface()->currentValue().toInt(), 0);

    chooseFolder();
    downloadAll();
    EXPECT_EQ(progress->valueInterface()->currentValue().toInt(), 100);
    EXPECT_EQ(progress->text(QAccessible::Name), QStringLiteral("100%"));
    EXPECT_EQ(table->cellAt(0, 5)->text(QAccessible::Name), QStringLiteral("Complete"));
    EXPECT_EQ(a11y(form->Progressbar())->valueInterface()->currentValue().toInt(), 100);
}

TEST_F(FormAccessibilityTest, ThePressActionWorksTheWindowAsAClickDoes)
{
    addVideo(Links::Basic);
    addVideo(Links::Second);
    ASSERT_EQ(form->ListGrid1()->Rows(), 2);
    form->ListGrid1()->RowColSet(0, -1);
    QAccessibleActionInterface* del = a11y(form->Command(4))->actionInterface();
    ASSERT_NE(del, nullptr);
    del->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([this] { return form->ListGrid1()->Rows() == 1; }));

    // "Cancel" is disabled at rest: it offers nothing and does nothing.
    QAccessibleInterface* cancel = a11y(form->Command(3));
    EXPECT_FALSE(
        cancel->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

TEST_F(FormAccessibilityTest, TabFollowsTheScreenAndTheFocusIsAlwaysMarked)
{
    addVideo(Links::Basic);
    showAndActivate();
    const QList<QWidget*> expected{form->Command(1), form->Command(4), form->Label5(),   form->ListGrid1(),
                                   form->Text1(),    form->Command(2), form->Command(5), form->Label3(),
                                   form->Label4(),   form->wb()};
    focus(form->Command(1));
    const auto rings = form->findChildren<brenlow::FocusRing*>();
    QList<QWidget*> ringed;
    for (const brenlow::FocusRing* ring : rings)
        ringed << ring->Target();
    EXPECT_EQ(ringed.size(), 6);
    for (QWidget* w : std::initializer_list<QWidget*>{form->ListGrid1(), form->Text1(), form->wb(),
                                                      form->Label3(), form->Label4(), form->Label5()})
        EXPECT_TRUE(ringed.contains(w)) << w->metaObject()->className();
    QList<QWidget*> seen{QApplication::focusWidget()};
    for (int i = 1; i < expected.size(); ++i) {
        QWidget* before = QApplication::focusWidget();
        QTest::keyClick(before, Qt::Key_Tab);
        ASSERT_TRUE(waitFor([before] { return QApplication::focusWidget() != before; }, 10000)) << i;
        seen << QApplication::focusWidget();
        // A ring shows while its control has the focus, and only then.
        for (const brenlow::FocusRing* ring : rings)
            EXPECT_EQ(ring->isVisible(), QApplication::focusWidget() == ring->Target()) << i;
    }
    // "Cancel" is disabled at rest, so Tab passes it by.
    EXPECT_EQ(seen, expected);

    // A focused button draws its focus marks; the same button without the focus does not.
    glintbutton* del = form->Command(4);
    focus(del);
    const QImage focused = del->Surface().copy();
    focus(form->Text1());
    EXPECT_NE(del->Surface(), focused);
    EXPECT_TRUE(a11y(form->Text1())->state().focused);
}

namespace {

struct LinkCase
{
    const char* what;
    brenlow::LinkLabel* (Form1::*label)() const;
    const char* address;
};

class FormLinkKeysTest : public FormAccessibilityTest, public ::testing::WithParamInterface<LinkCase>
{
};

} // namespace

TEST_P(FormLinkKeysTest, ALinkOpensItsPageByClickByEnterOrSpaceAndByThePressAction)
{
    showAndActivate();
    brenlow::LinkLabel* link = (form.get()->*GetParam().label)();
    const QString address = QString::fromLatin1(GetParam().address);
    // The maker's pages are placeholders of the example domains.
    EXPECT_TRUE(address.contains(QStringLiteral(".example."))) << address.toStdString();
    QAccessibleInterface* a = a11y(link);
    EXPECT_TRUE(a->state().focusable);
    EXPECT_TRUE(a->state().linked);
    EXPECT_EQ(a->text(QAccessible::Description), address);
    ASSERT_NE(a->actionInterface(), nullptr);
    ASSERT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    ASSERT_EQ(shell().opened, QStringList{address});
    focus(link);
    EXPECT_TRUE(a->state().focused);
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(link, Qt::Key_Space);
    EXPECT_EQ(shell().opened, QStringList(4, address));
    // A held key opens the page once; other keys and a modified Enter open nothing.
    QTest::sendKeyEvent(QTest::KeyAction::Press, link, Qt::Key_Return, '\r', Qt::NoModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QCoreApplication::sendEvent(link, &repeat);
    QTest::sendKeyEvent(QTest::KeyAction::Release, link, Qt::Key_Return, '\r', Qt::NoModifier);
    QTest::keyClick(link, Qt::Key_A);
    QTest::keyClick(link, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(shell().opened.size(), 5);

    // The action returns at once and opens the page from the event loop.
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(shell().opened.size(), 5);
    ASSERT_TRUE(waitFor([this] { return shell().opened.size() == 6; }));
    EXPECT_EQ(shell().opened.last(), address);

    // A disabled link does nothing and offers nothing.
    link->setEnabled(false);
    EXPECT_FALSE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    link->PerformClick();
    EXPECT_EQ(shell().opened.size(), 6);
}

INSTANTIATE_TEST_SUITE_P(
    Links, FormLinkKeysTest,
    ::testing::Values(LinkCase{"Label5", &Form1::Label5, brenlow::ProductSettings::MakerSite},
                      LinkCase{"Label4", &Form1::Label4, brenlow::ProductSettings::ProductPage2},
                      LinkCase{"Label3", &Form1::Label3, brenlow::ProductSettings::ProductPage1}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FormAccessibilityTest, EscapeCancelsARunningQueueAndDoesNothingAtRest)
{
    addVideo(Links::HangDownload);
    chooseFolder();
    showAndActivate();
    focus(form->Text1());
    const QString status = form->Label1()->text();
    QTest::keyClick(form->Text1(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Label1()->text(), status);
    EXPECT_EQ(form->CurrentStage(), Form1::ItemAdded);

    form->Command5_Click();
    ASSERT_TRUE(form->AVC1()->IsRunning());
    ListGrid* grid = form->ListGrid1();
    ASSERT_TRUE(waitFor([&] { return grid->CellProgressValue(0, Col::Progress) >= 30; }));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([this] { return atRest(); }));
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Cancelled"));
    EXPECT_EQ(grid->CellText(0, Col::Status), QStringLiteral("Cancelled"));
}
