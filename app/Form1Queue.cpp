// The download queue and its buttons: "Download", "Browse...", "Cancel", "Delete".
#include "app/Form1.h"

#include "app/DownloadFiles.h"
#include "app/GridDesign.h"
#include "app/MessageDetails.h"
#include "app/NameCleaner.h"
#include "app/ProfileParser.h"
#include "app/ProgressParser.h"
#include "app/ResumeNext.h"
#include "base/Rounding.h"
#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>

#include <algorithm>

using brenlow::ResumeNext;
namespace Col = brenlow::Col;

namespace {
constexpr quint32 ProgressCellColor = 16045770; // RGB 202, 214, 244, the window's own colour
}

void Form1::Command5_Click()
{
    commitOpenEdit();
    if (m_grid->Rows() == 0) {
        showMessage({QStringLiteral("Please Add Video Link First"), {}, {}, brenlow::Dialogs::Icon::Warning});
        return;
    }
    if (m_text1->text().isEmpty()) {
        showMessage(
            {QStringLiteral("Please select Download Folder"), {}, {}, brenlow::Dialogs::Icon::Warning});
        Command2_Click();
        return;
    }
    m_downloadRow = 0;
    m_cancelPending = false;
    m_queueStalled = false;
    m_queueNames.clear();
    m_failedRows.clear();
    ResumeNext([&] { m_grid->UpdateCell(); });
    setBusy(true);
    StartDownload();
}

void Form1::StartDownload()
{
    m_currentStage = Downloading;
    // A row downloaded before shows this download's progress, not the last one's outcome.
    ResumeNext([&] {
        m_grid->SetCellProgressValue(m_downloadRow, Col::Progress, 0);
        m_grid->SetCellText(m_downloadRow, Col::Progress, QString());
        m_grid->SetCellText(m_downloadRow, Col::Status, QString());
        m_grid->SetCellTag(m_downloadRow, Col::Status, QString());
    });
    ResumeNext([&] { m_progress->SetValue(0); });
    ResumeNext([&] { m_grid->RowColSet(m_downloadRow, -1); });
    // An entry without a comma has no format code: the tool then picks its own format.
    m_formatCode = brenlow::FormatCodeOf(m_grid->CellText(m_downloadRow, Col::Profile)).value_or(QString());
    m_downloadLink = m_grid->CellText(m_downloadRow, Col::VideoLink);
    // Two rows of one run never share a file, a name always fits the file system, and a file of
    // another video (or of unknown origin) in the folder is never taken for this row's: the tool
    // would leave it and report success. This row's own file, finished or partial, is kept.
    const QString folder = m_text1->text();
    const QStringList present =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    m_downloadName = brenlow::DownloadBaseName(
        brenlow::CleanName(m_grid->CellText(m_downloadRow, Col::VideoName)), [&](const QString& name) {
            if (m_queueNames.contains(name.toCaseFolded()))
                return true;
            const QStringList files = brenlow::FilesOfName(present, name);
            return std::any_of(files.cbegin(), files.cend(), [&](const QString& file) {
                return !isOwnFile(folder + file, m_downloadLink);
            });
        });
    m_queueNames.insert(m_downloadName.toCaseFolded());
    m_rowOutputAt = m_rawOutput.size();
    m_command[3]->SetEnabled(true);
    bool overWrite = true;
    ResumeNext([&] { m_avc->ConvertMedia5(overWrite); });
}

void Form1::progressStep(const QString& chunk)
{
    // While the row downloads, its status cell tells the tool's speed and the time left.
    if (const std::optional<QString> speed = brenlow::ProgressSpeedText(chunk))
        ResumeNext([&] { m_grid->SetCellText(m_downloadRow, Col::Status, *speed); });
    // A chunk without a figure (another line of the tool, the tail of a progress line, the empty
    // read at the end) leaves the bar and the cell as they are.
    const std::optional<double> figure = brenlow::ProgressFigure(chunk);
    if (!figure)
        return;
    const double percent = *figure;
    m_progressText = QString::number(percent);
    int value = 0;
    ResumeNext([&] { value = brenlow::RoundHalfEven32(percent); });
    ResumeNext([&] { m_progress->SetValue(value); });
    m_grid->SetRedraw(false);
    ResumeNext([&] { m_grid->SetCellProgressBarColor(ProgressCellColor); });
    ResumeNext([&] {
        if (m_grid->CellProgressValue(m_downloadRow, Col::Progress) < 100) {
            m_grid->SetCellProgressValue(m_downloadRow, Col::Progress, value);
            const int shown = m_grid->CellProgressValue(m_downloadRow, Col::Progress);
            m_grid->SetCellText(m_downloadRow, Col::Progress, QString::number(shown) + QLatin1Char('%'));
        }
    });
    m_grid->SetRedraw(true);
}

bool Form1::isOwnFile(const QString& path, const QString& link) const
{
    const auto here = m_ownFiles.constFind(path);
    if (here != m_ownFiles.cend())
        return *here == link;
    return brenlow::FileOrigin(path) == link;
}

void Form1::recordOwnFiles()
{
    // Whatever the folder holds under the row's name now is this row's: its name was free of other
    // files when the run began. The record travels with a partial file when the tool renames it.
    const QString folder = m_text1->text();
    const QStringList present =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& file : brenlow::FilesOfName(present, m_downloadName)) {
        const QString path = folder + file;
        m_ownFiles.insert(path, m_downloadLink);
        if (brenlow::FileOrigin(path) != m_downloadLink)
            brenlow::SetFileOrigin(path, m_downloadLink);
    }
}

void Form1::downloadStep()
{
    ResumeNext([&] { recordOwnFiles(); });
    // A run that the tool ended with an error, or that was killed, is no finished download.
    const bool succeeded = m_avc && m_avc->LastExitCode() == 0;
    ResumeNext([&] {
        if (succeeded) {
            markRowComplete();
        } else {
            // The row keeps the last figure it reached; its status cell tells why it failed.
            const QString reason = runFailureReason(m_rowOutputAt);
            m_grid->SetCellText(m_downloadRow, Col::Status, QStringLiteral("Error"));
            m_grid->SetCellTag(m_downloadRow, Col::Status, reason);
            m_failedRows << m_grid->CellText(m_downloadRow, Col::VideoName) + QLatin1Char('\n') + reason;
        }
    });
    m_grid->SetRedraw(true);
    if (m_downloadRow + 1 >= m_grid->Rows()) {
        endChain();
        // The box keeps its "Done", but a queue in which rows failed never reads as a success.
        brenlow::Message done;
        done.Text = QStringLiteral("Done");
        done.Icon = brenlow::Dialogs::Icon::Information;
        if (!m_failedRows.isEmpty()) {
            done.Informative =
                QStringLiteral("%1 of %2 downloads failed.").arg(m_failedRows.size()).arg(m_grid->Rows());
            done.Details = m_failedRows.join(QStringLiteral("\n\n"));
            done.Icon = brenlow::Dialogs::Icon::Warning;
            setStatus(done.Informative);
        }
        showMessage(done);
        return;
    }
    ++m_downloadRow;
    StartDownload();
}

void Form1::markRowComplete()
{
    m_grid->SetCellProgressValue(m_downloadRow, Col::Progress, 100);
    m_grid->SetCellText(m_downloadRow, Col::Progress, QStringLiteral("100%"));
    m_grid->SetCellText(m_downloadRow, Col::Status, QStringLiteral("Complete"));
    m_progress->SetValue(100);
}

void Form1::Command2_Click()
{
    commitOpenEdit();
    // The picker opens where the user last chose, else in the user's download folder.
    QString start = m_text1->text();
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QString folder =
        brenlow::Host::dialogs().BrowseForFolder(QStringLiteral("Select Download folder"), start);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_text1->setText(folder);
}

void Form1::Command3_Click()
{
    commitOpenEdit();
    m_queueStalled = false;
    ResumeNext([&] { m_avc->CancelConvert(); });
    if (m_avc && m_avc->IsRunning()) {
        // The run's end still comes through the runner's polling; it ends the chain there. Until
        // then nothing may start a second run.
        m_cancelPending = true;
        m_command[3]->SetEnabled(false);
        setStatus(QStringLiteral("Cancelling..."));
        return;
    }
    m_cancelPending = false;
    endChain();
}

void Form1::Command4_Click()
{
    // The edit is stored first: removing a row moves the rows below it up under an open editor.
    commitOpenEdit();
    const int row = m_grid->Row();
    if (row >= 0)
        ResumeNext([&] { m_grid->RemoveItem(row); });
    m_grid->setFocus();
    // Removing the last row leaves drawing off; the list must show that it is empty.
    m_grid->SetRedraw(true);
    m_grid->Refresh();
}
