// What assistive technology reads of the grid through Qt's accessibility interfaces: a table with
// column headers, cells, the current cell and the selection.
#include "GridInputFixture.h"

#include "support/AccessibleEvents.h"

#include <QAccessible>

namespace {

// Column indexes of the grid below.
constexpr int NameCol = 0;
constexpr int ListCol = 1; // one twip wide: holds data, shows nothing
constexpr int ProgressCol = 2;
constexpr int LinkCol = 3;

class GridAccessible : public GridInputFixture
{
protected:
    void SetUp() override
    {
        GridInputFixture::SetUp();
        grid->setAccessibleName(QStringLiteral("Download list"));
        grid->AddColumn(QStringLiteral("Video Name"), 2000);
        grid->AddColumn(QStringLiteral("Profile"), 1, 4, 0, {}, {}, 4, true, 0, true, true);
        grid->AddColumn(QStringLiteral("Progress"), 900, 5, 4);
        grid->AddColumn(QStringLiteral("Video Link"), 2500);
        grid->AddItem(QStringLiteral("Cats\tA,B<<<C,D\t\thttps://v.example/cats"));
        grid->AddItem(QStringLiteral("Dogs\tE,F\t\thttps://v.example/dogs"));
        grid->AddItem(QStringLiteral("Birds\tG,H\t\thttps://v.example/birds"));
        grid->FormatCells(0, -1, LinkCol, LinkCol, 256, QStringLiteral("True"));
        grid->SetCellProgressValue(1, ProgressCol, 45);
        grid->SetCellText(1, ProgressCol, QStringLiteral("45%"));
        grid->SetCellProgressValue(2, ProgressCol, 100);
        grid->SetRedraw(true);
        show();
    }
    [[nodiscard]] QAccessibleInterface* table() const { return QAccessible::queryAccessibleInterface(grid); }
    [[nodiscard]] QAccessibleTableInterface* tableIface() const { return table()->tableInterface(); }
};

TEST_F(GridAccessible, IsANamedTableOfTheShownColumnsWithTheirHeaders)
{
    QAccessibleInterface* t = table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->role(), QAccessible::Table);
    EXPECT_EQ(t->text(QAccessible::Name), QStringLiteral("Download list"));
    QAccessibleTableInterface* ti = t->tableInterface();
    ASSERT_NE(ti, nullptr);
    EXPECT_EQ(ti->rowCount(), 3);
    // The one-twip column shows nothing, so it is no column to read.
    ASSERT_EQ(ti->columnCount(), 3);
    EXPECT_EQ(ti->columnDescription(0), QStringLiteral("Video Name"));
    EXPECT_EQ(ti->columnDescription(1), QStringLiteral("Progress"));
    EXPECT_EQ(ti->columnDescription(2), QStringLiteral("Video Link"));

    // Headers first, then the cells row by row; every child knows its place.
    ASSERT_EQ(t->childCount(), 3 + 3 * 3);
    EXPECT_EQ(t->child(0)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(t->child(2)->text(QAccessible::Name), QStringLiteral("Video Link"));
    EXPECT_EQ(t->child(3), ti->cellAt(0, 0));
    for (int i = 0; i < t->childCount(); ++i) {
        QAccessibleInterface* c = t->child(i);
        ASSERT_NE(c, nullptr) << i;
        EXPECT_EQ(t->indexOfChild(c), i) << i;
        EXPECT_EQ(c->parent(), t) << i;
    }
    QAccessibleTableCellInterface* cell = ti->cellAt(1, 2)->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->rowIndex(), 1);
    EXPECT_EQ(cell->columnIndex(), 2);
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells().front()->text(QAccessible::Name), QStringLiteral("Video Link"));
    EXPECT_EQ(cell->table(), t);
}

struct CellCase
{
    int row;
    int column; ///< of the accessible table
    const char* name;
    int value; ///< -1: the cell has no value
    bool link;
};

class GridCellAccessible : public GridAccessible, public ::testing::WithParamInterface<CellCase>
{
};

TEST_P(GridCellAccessible, ReadsItsTextOrValue)
{
    const CellCase& c = GetParam();
    QAccessibleInterface* cell = tableIface()->cellAt(c.row, c.column);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), QString::fromUtf8(c.name));
    QAccessibleValueInterface* value = cell->valueInterface();
    ASSERT_EQ(value != nullptr, c.value >= 0);
    if (value) {
        EXPECT_EQ(value->currentValue().toInt(), c.value);
        EXPECT_EQ(value->maximumValue().toInt(), 100);
    }
    EXPECT_EQ(bool(cell->state().linked), c.link);
    EXPECT_EQ(cell->actionInterface() != nullptr, c.link);
    EXPECT_FALSE(cell->rect().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cells, GridCellAccessible,
                         ::testing::Values(CellCase{0, 0, "Cats", -1, false}, CellCase{0, 1, "0%", 0, false},
                                           CellCase{1, 1, "45%", 45, false},
                                           CellCase{2, 1, "100%", 100, false},
                                           CellCase{2, 2, "https://v.example/birds", -1, true}));

TEST_F(GridAccessible, TheCurrentCellHasTheFocusAndItsRowIsSelected)
{
    grid->RowColSet(1, ProgressCol);
    EXPECT_EQ(tableIface()->selectedRows(), QList<int>{1});
    EXPECT_EQ(tableIface()->selectedCellCount(), 3);
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->hasFocus(); }));
    QAccessibleInterface* focused = table()->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused, tableIface()->cellAt(1, 1));
    EXPECT_TRUE(focused->state().focused);
    EXPECT_TRUE(focused->state().selected);
    EXPECT_FALSE(tableIface()->cellAt(0, 1)->state().focused);

    // Selecting a row through the table moves the current row, as a click does.
    EXPECT_TRUE(tableIface()->selectRow(2));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(tableIface()->selectedRows(), QList<int>{2});
}

TEST_F(GridAccessible, ChangesAreAnnounced)
{
    QAccessibleInterface* progress = tableIface()->cellAt(0, 1);
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->hasFocus(); }));
    AccessibleEvents events;

    grid->SetCellProgressValue(0, ProgressCol, 30);
    const AccessibleEvents::Entry* value = events.last(QAccessible::ValueChanged);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->iface, progress);
    EXPECT_EQ(value->value.toInt(), 30);
    grid->SetCellText(0, NameCol, QStringLiteral("Kittens"));
    ASSERT_NE(events.last(QAccessible::NameChanged), nullptr);
    EXPECT_EQ(events.last(QAccessible::NameChanged)->iface->text(QAccessible::Name),
              QStringLiteral("Kittens"));

    grid->RowColSet(2, NameCol);
    EXPECT_GE(events.count(QAccessible::SelectionWithin, grid), 1);
    ASSERT_NE(events.last(QAccessible::Focus), nullptr);
    EXPECT_EQ(events.last(QAccessible::Focus)->iface, tableIface()->cellAt(2, 0));

    grid->AddItem(QStringLiteral("Fish\tX\t\thttps://v.example/fish"));
    ASSERT_NE(events.last(QAccessible::TableModelChanged), nullptr);
    EXPECT_EQ(tableIface()->rowCount(), 4);
    EXPECT_EQ(tableIface()->cellAt(3, 0)->text(QAccessible::Name), QStringLiteral("Fish"));
}

TEST_F(GridAccessible, ACellStaysTheSameObjectWhenTheRowsMoveAndGoesWithItsRow)
{
    QAccessibleInterface* dogs = tableIface()->cellAt(1, 0);
    ASSERT_EQ(dogs->text(QAccessible::Name), QStringLiteral("Dogs"));
    grid->Sort(NameCol, 1); // greater values first: Dogs, Cats, Birds
    ASSERT_EQ(grid->CellText(0, NameCol), QStringLiteral("Dogs"));
    EXPECT_EQ(tableIface()->cellAt(0, 0), dogs);
    EXPECT_EQ(dogs->tableCellInterface()->rowIndex(), 0);

    const QAccessible::Id id = QAccessible::uniqueId(dogs);
    grid->RemoveItem(0);
    EXPECT_EQ(tableIface()->rowCount(), 2);
    // The removed row's cell is gone with it: nothing dangles.
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

TEST_F(GridAccessible, ALinkCellsPressActionIsTheSpaceKeysHandClick)
{
    QSignalSpy hand(grid, &ListGrid::CellHandClick);
    QAccessibleInterface* link = tableIface()->cellAt(1, 2);
    ASSERT_NE(link->actionInterface(), nullptr);
    ASSERT_EQ(link->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hand.size() == 1; }));
    EXPECT_EQ(hand.front().at(0).toInt(), 1);
    EXPECT_EQ(hand.front().at(1).toInt(), LinkCol);

    // Where a pointer lands is the cell there.
    const QPoint centre = link->rect().center();
    EXPECT_EQ(table()->childAt(centre.x(), centre.y()), link);
    grid->SetEnabled(false);
    EXPECT_TRUE(link->actionInterface()->actionNames().isEmpty());
    EXPECT_TRUE(link->state().disabled);
}

} // namespace
