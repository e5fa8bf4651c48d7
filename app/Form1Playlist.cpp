// Links that hold several videos: the window asks once, then adds each video as its own row through
// the same three runs as a typed link, one after the other.
#include "app/Form1.h"

#include "app/MessageDetails.h"
#include "app/PlaylistIntake.h"
#include "app/ResumeNext.h"
#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QFile>
#include <QPointer>

using brenlow::ResumeNext;

bool Form1::playlistListed()
{
    const std::optional<QStringList> links = brenlow::ParsePlaylist(m_rawOutput);
    if (!links || links->isEmpty())
        return false;
    if (m_playlist) {
        // A video of the list that is a list itself is not opened up: one question per link typed.
        playlistVideoFailed(
            QStringLiteral("This link holds %1 videos itself; add it on its own.").arg(links->size()));
        return true;
    }
    m_currentStage = Idle;
    if (links->size() > 1) {
        // The box runs an event loop of its own; the window may be gone when it returns.
        const QPointer<Form1> self(this);
        const brenlow::Dialogs::Answer answer = brenlow::Host::dialogs().MessageBox(
            brenlow::PlaylistQuestion(links->size()), QStringLiteral("Brenlow 7.0"),
            brenlow::Dialogs::Icon::Question, brenlow::Dialogs::Buttons::YesNo);
        if (!self || answer != brenlow::Dialogs::Answer::Yes)
            return true;
    }
    m_playlist = std::make_unique<brenlow::PlaylistIntake>(*links);
    addNextPlaylistVideo();
    return true;
}

void Form1::addNextPlaylistVideo()
{
    const std::optional<QString> link = m_playlist->Next();
    if (!link) {
        finishPlaylist();
        return;
    }
    m_currentLink = *link;
    ResumeNext([&] { clearText4(); });
    ResumeNext([&] { QFile::remove(ThumbnailPath()); });
    m_picWorking = QImage();
    m_currentStage = ProfileList;
    setStatus(m_playlist->StatusText());
    bool overWrite = true;
    ResumeNext([&] { m_avc->ConvertMedia2(overWrite); });
    if (!m_avc || !m_avc->IsRunning()) {
        // The tool went missing: its message stays in the status line, the adding ends here.
        m_playlist.reset();
        m_currentStage = Idle;
    }
}

void Form1::playlistVideoFailed(const QString& reason)
{
    m_playlist->Failed(reason);
    addNextPlaylistVideo();
}

void Form1::finishPlaylist()
{
    const std::unique_ptr<brenlow::PlaylistIntake> done = std::move(m_playlist);
    m_currentStage = m_grid && m_grid->Rows() > 0 ? ItemAdded : Idle;
    setStatus(QStringLiteral("Complete"));
    if (done->FailureCount() > 0) {
        endChain();
        showMessage({done->FailureMessage(), {}, done->FailureDetails(), brenlow::Dialogs::Icon::Warning});
    }
}

void Form1::endPlaylist()
{
    m_playlist.reset();
}

QString Form1::playlistStatus() const
{
    return m_playlist ? m_playlist->StatusText() : QString();
}
