// The window as a keyboard and screen-reader user meets it: names, roles and values read through
// Qt's accessibility interfaces, the Tab order, the focus marks and Escape as "Cancel".
#include "FormFixture.h"

#include "app/GridDesign.h"
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
    const QList<QWidget*> expected{form->Command(1), form->Command(4), form->ListGrid1(), form->Text1(),
                                   form->Command(2), form->Command(5), form->wb()};
    focus(form->Command(1));
    const auto rings = form->findChildren<brenlow::FocusRing*>();
    QList<QWidget*> ringed;
    for (const brenlow::FocusRing* ring : rings)
        ringed << ring->Target();
    EXPECT_EQ(ringed.size(), 3);
    for (QWidget* w : {static_cast<QWidget*>(form->ListGrid1()), static_cast<QWidget*>(form->Text1()),
                       static_cast<QWidget*>(form->wb())})
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
