// The grid's readers of outside data: the column order and widths loaded from the settings store
// (which anyone can edit), and the CSV export of any cell texts.
#include "FuzzInput.h"

#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "tests/support/CsvReader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

/** Boxes answer at once; "open the file?" is answered No. */
class SilentDialogs final : public brenlow::Dialogs
{
public:
    Answer MessageBox(const QString&, const QString&, Icon, Buttons buttons) override
    {
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
};

constexpr int kColumns = 7;
QString desktopFile;

QList<QStringList> parseCsv(const QString& text)
{
    bool unbalanced = false;
    QList<QStringList> records = brenlow::test::ReadCsv(text, unbalanced);
    BRENLOW_FUZZ_CHECK(!unbalanced); // an open quote would swallow the rest of the file
    return records;
}

/** A field shows its cell: the same text (commas and line breaks as blanks, the file being UTF-8),
 *  or, for a text a spreadsheet would run as a formula, that text after an apostrophe. No field
 *  starts a formula. */
bool readsBackAs(const QString& field, const QString& cell)
{
    // Through UTF-8 as the file holds it (a lone surrogate becomes a replacement character), keeping
    // a leading U+FEFF, which fromUtf8 would take for a byte order mark and drop.
    QString expected = QString::fromUtf8(cell.toUtf8());
    if (cell.startsWith(QChar(0xFEFF)))
        expected.prepend(QChar(0xFEFF));
    for (QChar& ch : expected) {
        if (ch == QLatin1Char(',') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
    }
    if (!field.isEmpty()) {
        const QChar first = field.front();
        if (first == QLatin1Char('=') || first == QLatin1Char('@') || first == QLatin1Char('\t'))
            return false;
        if (first == QLatin1Char('+') || first == QLatin1Char('-')) {
            bool number = false;
            (void)field.mid(1).toDouble(&number);
            if (!number || field.size() < 2 || !(field.at(1).isDigit() || field.at(1) == QLatin1Char('.')))
                return false;
        }
    }
    return field == expected || (field == QLatin1Char('\'') + expected && !expected.isEmpty() &&
                                 QStringLiteral("=+-@\t").contains(expected.front()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Settings and the desktop go to a scratch home, never the user's.
    static QByteArray home = QDir::tempPath().toUtf8() + "/brenlow-fuzz-" + QByteArray::number(getpid());
    QDir().mkpath(QString::fromUtf8(home) + QStringLiteral("/Desktop"));
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DESKTOP_DIR", home + "/Desktop");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    QCoreApplication::setOrganizationName(QStringLiteral("BrenlowFuzz"));
    QCoreApplication::setApplicationName(QStringLiteral("BrenlowFuzz"));
    static SilentDialogs dialogs;
    brenlow::Host::setDialogs(&dialogs);
    desktopFile =
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + QStringLiteral("/fuzz.csv");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ListGrid* grid = [] {
        auto* g = new ListGrid;
        g->resize(600, 300);
        for (int c = 0; c < kColumns; ++c)
            g->AddColumn(QStringLiteral("Col %1").arg(c), 1200);
        return g;
    }();
    brenlow::fuzz::Input in(data, size);

    if (in.byte() & 1) {
        // Column layout: whatever texts the store holds.
        QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
        settings.remove(QStringLiteral("g"));
        settings.beginGroup(QStringLiteral("g"));
        while (!in.empty()) {
            const uint8_t slot = in.byte() % (2 * kColumns + 1);
            const QString key = slot == 0          ? QStringLiteral("Count")
                                : slot <= kColumns ? QString::number(slot - 1)
                                                   : QStringLiteral("W%1").arg(slot - 1 - kColumns);
            settings.setValue(key, in.text());
        }
        settings.endGroup();
        settings.sync();
        grid->ColOrderLoad(QStringLiteral("g"));
        grid->ColWidthsLoad(QStringLiteral("g"));
        for (int c = 0; c < kColumns; ++c)
            BRENLOW_FUZZ_CHECK(grid->ColWidth(c) >= 0);
        grid->ColOrderRestore();
        return 0;
    }

    // Export: read back as a spreadsheet would, every row is one record whose fields show its cells.
    grid->Clear();
    int rows = 0;
    while (!in.empty() && rows < 50) {
        grid->AddItem(QString());
        for (int c = 0; c < kColumns && !in.empty(); ++c)
            grid->SetCellText(rows, c, in.text());
        ++rows;
    }
    QFile::remove(desktopFile);
    grid->ExportGrid(QStringLiteral("fuzz"));
    if (rows == 0)
        return 0;
    QFile file(desktopFile);
    BRENLOW_FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    BRENLOW_FUZZ_CHECK(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> records = parseCsv(QString::fromUtf8(bytes.mid(3)));
    BRENLOW_FUZZ_CHECK(records.size() == rows + 1); // the heading, then one record per row
    for (int r = 0; r < rows; ++r) {
        const QStringList& fields = records[r + 1];
        BRENLOW_FUZZ_CHECK(fields.size() == kColumns + 1 && fields.back().isEmpty());
        for (int c = 0; c < kColumns; ++c)
            BRENLOW_FUZZ_CHECK(readsBackAs(fields[c], grid->CellText(r, c)));
    }
    return 0;
}
