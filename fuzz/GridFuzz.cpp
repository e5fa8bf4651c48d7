// The grid's readers of outside data: the column order and widths loaded from the settings store
// (which anyone can edit), and the CSV export of any cell texts.
#include "FuzzInput.h"

#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

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

    // Export: every row stays one line with one field per column, whatever the texts hold.
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
    const QList<QByteArray> lines = file.readAll().split('\n');
    BRENLOW_FUZZ_CHECK(lines.size() == rows + 2); // heading, rows, the empty rest after the last break
    for (int i = 0; i + 1 < lines.size(); ++i) {
        BRENLOW_FUZZ_CHECK(lines[i].endsWith('\r'));
        BRENLOW_FUZZ_CHECK(lines[i].count(',') == kColumns);
    }
    return 0;
}
