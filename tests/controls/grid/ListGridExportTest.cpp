#include "controls/grid/ListGrid.h"
#include "GridLayoutProbe.h"

#include "support/CsvReader.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <limits>

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using brenlow::test::laidOutWidth;

// Every test gets its own desktop folder and settings store, never the user's.
class ListGridFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        savedHome = qgetenv("HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        QDir(home.path()).mkpath(QStringLiteral("config"));
        QDir(home.path()).mkpath(QStringLiteral("Desktop"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           home.path() + QStringLiteral("/config"));
        desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        ASSERT_TRUE(desktop.startsWith(home.path())) << desktop.toStdString();
        QDir().mkpath(desktop);
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }
    /** The file's text after its byte-order mark (a file without one reads "<no BOM>"). */
    QByteArray exported(const QString& name)
    {
        QFile file(desktop + QLatin1Char('/') + name + QStringLiteral(".csv"));
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        const QByteArray all = file.readAll();
        return all.startsWith("\xEF\xBB\xBF") ? all.mid(3) : QByteArray("<no BOM>");
    }

    QTemporaryDir home;
    QByteArray savedHome;
    QByteArray savedConfig;
    QString desktop;
    ScopedScriptedDialogs boxes;
    ScopedRecordingShell shell;
    ListGrid grid;
};

} // namespace

TEST_F(ListGridFiles, ExportWritesEveryFieldFollowedByACommaAndOffersToOpen)
{
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.AddColumn(QStringLiteral("b"), 100);
    grid.AddItem(QStringLiteral("1\t2"));
    boxes.dialogs.messageAnswers = {brenlow::Dialogs::Answer::Yes};
    grid.ExportGrid(QStringLiteral("list"));
    EXPECT_EQ(exported(QStringLiteral("list")), QByteArray("a,b,\r\n1,2,\r\n"));
    ASSERT_EQ(boxes.dialogs.shown.size(), 1u);
    EXPECT_EQ(boxes.dialogs.shown[0].text,
              QStringLiteral("File list.csv was saved to your desktop.\r\nDo you want to open it?"));
    EXPECT_EQ(boxes.dialogs.shown[0].icon, brenlow::Dialogs::Icon::Question);
    EXPECT_EQ(shell.shell.opened, QStringList{desktop + QStringLiteral("/list.csv")});
}

TEST_F(ListGridFiles, ExportKeepsEveryRowOnOneLineAndHonoursVisibility)
{
    grid.SetCaption(QStringLiteral("My list"));
    grid.AddColumn(QStringLiteral("name, first"), 100);
    grid.AddColumn(QStringLiteral("hidden"), 100, 4, 0, {}, {}, 4, false, 0, false);
    grid.AddColumn(QStringLiteral("ok"), 100, 4, brenlow::ColumnType::CheckBox);
    grid.AddItem(QStringLiteral("two\r\nlines, here\tx\t1"));
    grid.AddItem(QStringLiteral("gone\tx\t0"), -1, false, false, false, false);
    grid.AddItem(QStringLiteral("last\tx\tTrue"));
    boxes.dialogs.messageAnswers = {brenlow::Dialogs::Answer::No};
    grid.ExportGrid(QStringLiteral("vis"), true, true, false);
    EXPECT_EQ(exported(QStringLiteral("vis")),
              QByteArray("My list\r\nname  first,ok,\r\ntwo  lines  here,-1,\r\n\r\nlast,-1,\r\n"));
    EXPECT_TRUE(shell.shell.opened.isEmpty());
    grid.ExportGrid(QStringLiteral("vis"), false, false, true);
    EXPECT_EQ(exported(QStringLiteral("vis")), QByteArray("My list\r\nname  first,hidden,ok,\r\ntwo  lines  "
                                                          "here,x,1,\r\ngone,x,0,\r\nlast,x,True,\r\n"));
}

namespace {

QList<QStringList> parseCsv(const QString& text)
{
    bool unbalanced = false;
    QList<QStringList> records = brenlow::test::ReadCsv(text, unbalanced);
    EXPECT_FALSE(unbalanced) << "an unbalanced quote runs to the end of the file";
    return records;
}

} // namespace

TEST_F(ListGridFiles, ExportedFieldsReadBackAsTheCellsWithFormulasDisarmed)
{
    grid.AddColumn(QStringLiteral("\"Title\" of it"), 100);
    grid.AddColumn(QStringLiteral("b"), 100);
    grid.AddColumn(QStringLiteral("ok"), 100, 4, brenlow::ColumnType::CheckBox);
    // Each cell with what a spreadsheet must show for it: formula starts get an apostrophe in front.
    const QList<std::pair<QString, QString>> cells = {
        {"\"Quoted\" start", "\"Quoted\" start"},
        {"a \"b\" c", "a \"b\" c"},
        {"\"unbalanced", "\"unbalanced"},
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
        {"+1+2", "'+1+2"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tTAB", "'\tTAB"},
        {"-12.5", "-12.5"},
        {"+7", "+7"},
        {QString::fromUtf8("Gr\u00fc\u00dfe \u65e5\u672c"),
         QString::fromUtf8("Gr\u00fc\u00dfe \u65e5\u672c")},
        {"", ""}};
    for (int i = 0; i < cells.size(); i += 2) {
        const int row = grid.AddItem(QString());
        grid.SetCellText(row, 0, cells[i].first);
        grid.SetCellText(row, 1, cells[i + 1].first);
        grid.SetCellText(row, 2, QStringLiteral("1"));
    }
    boxes.dialogs.messageAnswers = {brenlow::Dialogs::Answer::No};
    grid.ExportGrid(QStringLiteral("q"), true, false, false);

    const QList<QStringList> records = parseCsv(QString::fromUtf8(exported(QStringLiteral("q"))));
    ASSERT_EQ(records.size(), 1 + cells.size() / 2);
    // Every record: its fields, then the empty rest after the final comma.
    EXPECT_EQ(records[0], (QStringList{"\"Title\" of it", "b", "ok", ""}));
    for (int i = 0; i < cells.size(); i += 2)
        EXPECT_EQ(records[1 + i / 2], (QStringList{cells[i].second, cells[i + 1].second, "-1", ""})) << i;
}

TEST_F(ListGridFiles, ExportTotalsLineAndItsFailures)
{
    grid.AddColumn(QStringLiteral("n"), 100, 4, brenlow::ColumnType::Numeric);
    grid.AddColumn(QStringLiteral("t"), 100);
    grid.SetTotalsLineShow(true);
    grid.SetTotalsLineCaption(0, QStringLiteral("Avg"));
    grid.SetTotalsLineColAvg(0, true);
    grid.SetTotalsLineCaption(1, QStringLiteral("end"));
    grid.AddItem(QStringLiteral("3\ta"));
    grid.ExportGrid(QStringLiteral("tot"));
    ASSERT_EQ(boxes.dialogs.shown.size(), 1u);
    EXPECT_EQ(boxes.dialogs.shown[0].title, QStringLiteral("ListGrid.Export"));
    EXPECT_EQ(boxes.dialogs.shown[0].text, QStringLiteral("Error# 11\r\nDivision by zero"));
    grid.AddItem(QStringLiteral("2.5\tb"));
    grid.ExportGrid(QStringLiteral("tot"));
    EXPECT_EQ(exported(QStringLiteral("tot")), QByteArray("n,t,\r\n3,a,\r\n2.5,b,\r\nAvg 5.5,end,"));
}

TEST_F(ListGridFiles, ExportOfAnEmptyGridOrToAMissingFolderOnlyReports)
{
    grid.AddColumn(QStringLiteral("a"), 100);
    grid.ExportGrid(QStringLiteral("none"));
    EXPECT_EQ(boxes.dialogs.messages(), QStringList{QStringLiteral("No grid rows to export.")});
    grid.AddItem(QStringLiteral("x"));
    grid.ExportGrid(QStringLiteral("no/such/folder/x"));
    ASSERT_EQ(boxes.dialogs.shown.size(), 2u);
    EXPECT_TRUE(boxes.dialogs.shown[1].text.startsWith(QStringLiteral("Error# 75\r\n")));
}

TEST_F(ListGridFiles, ColumnOrderSavesLoadsAndRestores)
{
    for (const char* h : {"a", "b", "c"})
        grid.AddColumn(QString::fromLatin1(h), 100);
    grid.AddColumn(QStringLiteral("d"), 100, 4, 0, {}, {}, 4, false, 1); // order 0 3 1 2
    grid.ColOrderSave(QStringLiteral("Grid1"));
    QSignalSpy changed(&grid, &ListGrid::ColumnOrderChanged);
    grid.ColOrderRestore();
    EXPECT_EQ(grid.ColOrder(), (std::vector<qint32>{0, 1, 2, 3}));
    grid.ColOrderLoad(QStringLiteral("Grid1"));
    EXPECT_EQ(grid.ColOrder(), (std::vector<qint32>{0, 3, 1, 2}));
    EXPECT_EQ(changed.count(), 2);
    grid.ColOrderLoad(QStringLiteral("Unknown")); // nothing saved under that name
    EXPECT_EQ(changed.count(), 2);
    // A column added since the save leaves the order as it is.
    grid.ColOrderRestore();
    grid.AddColumn(QStringLiteral("e"), 100);
    grid.ColOrderLoad(QStringLiteral("Grid1"));
    EXPECT_EQ(grid.ColOrder(), (std::vector<qint32>{0, 1, 2, 3, 4}));
}

TEST_F(ListGridFiles, DamagedColumnOrderChangesNothing)
{
    for (const char* h : {"a", "b", "c"})
        grid.AddColumn(QString::fromLatin1(h), 100);
    QSignalSpy changed(&grid, &ListGrid::ColumnOrderChanged);
    const QList<QStringList> damaged = {
        {"2", "2", "0"}, {"0", "1", "7"}, {"0", "-1", "2"}, {"0", "1.5", "2"}};
    for (const QStringList& values : damaged) {
        QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
        settings.beginGroup(QStringLiteral("Bad"));
        settings.setValue(QStringLiteral("Count"), QStringLiteral("2"));
        for (int i = 0; i < 3; ++i)
            settings.setValue(QString::number(i), values[i]);
        settings.sync();
        grid.ColOrderLoad(QStringLiteral("Bad"));
        EXPECT_EQ(grid.ColOrder(), (std::vector<qint32>{0, 1, 2})) << values.join(' ').toStdString();
    }
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(ListGridFiles, ColumnWidthsRoundTripAndKeepWidthsWithoutStoredValues)
{
    grid.AddColumn(QStringLiteral("a"), 1500);
    grid.AddColumn(QStringLiteral("b"), 999.5f);
    grid.ColWidthsSave(QStringLiteral("W"));
    grid.SetColWidth(0, 10);
    grid.SetColWidth(1, 20);
    grid.ColWidthsLoad(QStringLiteral("W"));
    EXPECT_FLOAT_EQ(grid.ColWidth(0), 1501);
    EXPECT_FLOAT_EQ(grid.ColWidth(1), 1000.5f);
    EXPECT_EQ(laidOutWidth(grid, 0), 100);
    grid.ColWidthsLoad(QStringLiteral("Nothing"));
    EXPECT_FLOAT_EQ(grid.ColWidth(1), 1000.5f);
}

TEST_F(ListGridFiles, ForceFitAndAutoSizeSetWidths)
{
    grid.resize(400, 100);
    grid.AddColumn(QStringLiteral("a"), 1499);
    grid.AddColumn(QStringLiteral("b"), 2999);
    grid.AddColumn(QStringLiteral("hidden"), 999, 4, 0, {}, {}, 4, false, 0, false);
    grid.AddColumn(QStringLiteral("c"), 100, 4, brenlow::ColumnType::CheckBox);
    grid.ColForceFit();
    // Visible widths 1500 + 3000 + 101 fill the room left for the cells.
    const double room = grid.VisibleWidth();
    EXPECT_GT(room, 300 * 15);
    EXPECT_NEAR(grid.ColWidth(0) + grid.ColWidth(1) + grid.ColWidth(3), room, 0.01);
    EXPECT_NEAR(grid.ColWidth(2), 1000 * room / 4601, 0.01);
    grid.AddItem(QStringLiteral("short\ta much longer text\tx\t1"));
    grid.ColWidthAutoSize();
    const QFontMetrics fm(grid.Font());
    EXPECT_FLOAT_EQ(grid.ColWidth(1), (fm.horizontalAdvance(QStringLiteral("a much longer text")) + 15) * 15);
    EXPECT_LT(grid.ColWidth(0), grid.ColWidth(1));
    EXPECT_FLOAT_EQ(grid.ColWidth(3), 480);
}

TEST_F(ListGridFiles, AutoSizeOfAColumnPastTheLastOneChangesNothingAndReturns)
{
    grid.AddColumn(QStringLiteral("a"), 1499);
    grid.AddColumn(QStringLiteral("b"), 2999);
    grid.AddItem(QStringLiteral("short\ta much longer text"));
    for (const int col : {std::numeric_limits<int>::max(), 2, -7, std::numeric_limits<int>::min()})
        grid.ColWidthAutoSize(col);
    EXPECT_FLOAT_EQ(grid.ColWidth(0), 1500);
    EXPECT_FLOAT_EQ(grid.ColWidth(1), 3000);
    grid.ColWidthAutoSize(1);
    EXPECT_FLOAT_EQ(grid.ColWidth(0), 1500);
    EXPECT_NE(grid.ColWidth(1), 3000);
}
