// Link intake and the stage machine: the three metadata runs that add a video to the list.
#include "app/Form1.h"

#include "app/GridDesign.h"
#include "app/LinkIntake.h"
#include "app/MessageDetails.h"
#include "app/NameCleaner.h"
#include "app/ProfileParser.h"
#include "app/ProgressParser.h"
#include "app/ResumeNext.h"
#include "app/Thumbnail.h"
#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

using brenlow::ResumeNext;

void Form1::Command1_Click()
{
    commitOpenEdit();
    const std::optional<QString> answer = brenlow::Host::dialogs().InputBox(
        QStringLiteral("Enter Video Link:"), QStringLiteral(" "), QString());
    const brenlow::CheckedLink checked = brenlow::CheckLink(answer.value_or(QString()));
    if (checked.Link.isEmpty())
        return;
    if (!checked.Refusal.isEmpty()) {
        // Nothing runs: the tool would take such a text for one of its options.
        setStatus(checked.Refusal);
        return;
    }
    m_currentLink = checked.Link;
    ResumeNext([&] { clearText4(); });
    ResumeNext([&] { QFile::remove(ThumbnailPath()); });
    m_picWorking = QImage();
    m_currentStage = ProfileList;
    m_cancelPending = false;
    // The buttons stay disabled from here to the end of the chain, so nothing can start a second
    // run in the gap between two stages.
    setBusy(true);
    bool overWrite = true;
    ResumeNext([&] { m_avc->ConvertMedia2(overWrite); });
    if (!m_avc || !m_avc->IsRunning()) {
        // Nothing started (the tool is missing): the chain ends here.
        endChain();
    }
}

void Form1::AVC1_Converting()
{
    if (m_cancelPending)
        return;
    if (m_currentStage == ProfileList || m_currentStage == Thumbnail || m_currentStage == VideoName ||
        m_currentStage == Downloading) {
        // While a list is added, the count of its videos stands in the status line.
        setStatus(m_playlist && m_currentStage != Downloading
                      ? playlistStatus()
                      : brenlow::StatusText(m_currentStage, m_statusFrame));
        m_statusFrame = (m_statusFrame + 1) % 4;
    }
}

void Form1::AVC1_DataOutput(QString& strData)
{
    const QString chunk = brenlow::ChunkText(strData);
    ResumeNext([&] {
        m_text4 += QStringLiteral("\r\n") + chunk;
        m_rawOutput += chunk;
        keepOutputTail();
        showText4Later();
    });
    // Chunks come by the thousand when a tool floods its output; touch the controls only on a change.
    if (!isBusy())
        setBusy(true);
    if (m_currentStage == Downloading)
        ResumeNext([&] { progressStep(chunk); });
}

void Form1::AVC1_ErrorEvent(QString& ErrorMessage)
{
    setStatus(ErrorMessage);
    // No run is under way and no completion follows. A metadata chain ends here; a download queue
    // waits on "Cancel", the only button left enabled, at its first row as at any later one.
    if (m_currentStage != Downloading) {
        endPlaylist();
        endChain();
        return;
    }
    m_queueStalled = true;
    setBusy(true);
}

void Form1::AVC1_Complete()
{
    const bool cancelled = std::exchange(m_cancelPending, false);
    const bool succeeded = m_avc && m_avc->LastExitCode() == 0;
    if (cancelled)
        setStatus(QStringLiteral("Cancelled"));
    else if (m_currentStage == Downloading && !succeeded)
        setStatus(QStringLiteral("Error"));
    else
        setStatus(QStringLiteral("Complete"));

    if (cancelled) {
        // "Cancel" ends the chain: no further stage, no further row, no message.
        if (m_currentStage == Downloading) {
            ResumeNext([&] { recordOwnFiles(); });
            ResumeNext([&] {
                // A tool killed by "Cancel" never ends with success: when it did, it had finished
                // before the press (the runner was still reading its output), and the row says so.
                if (succeeded)
                    markRowComplete();
                else
                    m_grid->SetCellText(m_downloadRow, brenlow::Col::Status, QStringLiteral("Cancelled"));
                m_grid->SetRedraw(true);
            });
        } else if (m_currentStage >= ProfileList && m_currentStage <= VideoName) {
            m_currentStage = Idle;
        }
        endPlaylist(); // the rows already added stay
        endChain();
        return;
    }

    // At most one stage is handled per completion: each moves the stage to one tested before it.
    if (m_currentStage == Downloading) {
        ResumeNext([&] { downloadStep(); });
    } else if (m_currentStage == VideoName) {
        ResumeNext([&] { videoNameStep(); });
    } else if (m_currentStage == Thumbnail) {
        m_currentStage = VideoName;
        clearText4();
        bool overWrite = true;
        ResumeNext([&] { m_avc->ConvertMedia4(overWrite); });
    } else if (m_currentStage == ProfileList) {
        ResumeNext([&] { profileListStep(); });
    }
    if ((!m_avc || !m_avc->IsRunning()) && !m_queueStalled) {
        endPlaylist(); // nothing runs: an adding that failed on the way is over
        endChain();
    }
}

void Form1::profileListStep()
{
    if (playlistListed())
        return;
    // The table is cut from the output as the tool printed it, so a line split between two chunks
    // stays whole.
    const brenlow::ParsedProfiles parsed = brenlow::ParseFormatTable(m_rawOutput);
    m_combo->clear();
    m_combo->addItems(parsed.Entries);
    m_text5 = parsed.ProfileList;
    if (m_combo->count() > 0) {
        m_currentStage = Thumbnail;
        clearText4();
        bool overWrite = true;
        ResumeNext([&] { m_avc->ConvertMedia3(overWrite); });
    } else if (m_playlist) {
        playlistVideoFailed(runFailureReason());
    } else {
        m_currentStage = Idle;
        endChain();
        showRunError();
    }
}

void Form1::videoNameStep()
{
    m_currentStage = ItemAdded;
    // The name is the last line the tool printed, taken from the output as it came (a name cut
    // between two chunks is whole there). Its exit code does not count: with "-i" a tool often
    // ends with 1 after a mere warning, and its warnings and errors are never taken for the name.
    QString name = brenlow::WithoutControls(brenlow::NameFromOutput(m_rawOutput));

    ResumeNext([&] { m_picWorking = brenlow::PrepareThumbnail(ThumbnailPath()); });
    if (m_picWorking.isNull())
        m_picWorking = brenlow::PlaceholderThumbnail();

    ResumeNext([&] { m_combo->setCurrentIndex(m_combo->count() - 1); });
    name = brenlow::CleanName(name);
    m_text4 = name;
    if (name.isEmpty() && m_playlist) {
        playlistVideoFailed(runFailureReason());
        return;
    }
    if (name.isEmpty()) {
        m_currentStage = Idle;
        endChain();
        showRunError();
        return;
    }

    const QStringList parts{name, m_currentLink, QString(), m_text5, m_combo->currentText()};
    ResumeNext([&] { m_grid->AddItem(parts.join(QLatin1Char('\t'))); });
    const int row = m_grid->Rows() - 1;
    ResumeNext([&] { m_grid->CellPicture(m_picWorking, m_grid->Rows(), brenlow::Col::Picture); });
    // Every row's link cell looks and acts as a link: blue, underlined, a hand pointer.
    ResumeNext([&] {
        m_grid->FormatCells(0, -1, brenlow::Col::VideoLink, brenlow::Col::VideoLink, 4,
                            QString::number(16711680));
    });
    ResumeNext([&] {
        m_grid->FormatCells(0, -1, brenlow::Col::VideoLink, brenlow::Col::VideoLink, 128,
                            QStringLiteral("True"));
    });
    ResumeNext([&] {
        m_grid->FormatCells(0, -1, brenlow::Col::VideoLink, brenlow::Col::VideoLink, 256,
                            QStringLiteral("True"));
    });
    ResumeNext([&] { m_grid->SetCellTag(row, brenlow::Col::VideoLink, m_currentLink); });
    m_grid->SetRedraw(true);
    m_grid->Refresh();
    // The new row is the last one; below the visible part it would look as if nothing was added.
    ResumeNext([&] {
        QScrollBar* bar = m_grid->verticalScrollBar();
        if (bar && !bar->isHidden())
            bar->setValue(bar->maximum());
    });
    if (m_playlist)
        addNextPlaylistVideo();
}
