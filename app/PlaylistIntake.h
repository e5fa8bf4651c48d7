#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brenlow {

/** The row links a format-list run reports for a link that holds several videos: a line
 *  "[playlist] N", then one "[playlist-video] LINK" line per video. Nothing when the output holds no
 *  such list (a format table, an error). */
[[nodiscard]] std::optional<QStringList> ParsePlaylist(const QString& output);

/** The question asked before the videos of a list are added. */
[[nodiscard]] QString PlaylistQuestion(qsizetype count);

/**
 * Adding the videos of one list as rows, one after the other. It keeps only the links, so a list of
 * a thousand videos costs a thousand short texts; each video is read when its turn comes.
 */
class PlaylistIntake final
{
public:
    explicit PlaylistIntake(QStringList links) : m_links(std::move(links)) {}

    /** The link of the next video, or nothing when every video has had its turn. */
    [[nodiscard]] std::optional<QString> Next();
    /** The video whose turn it is, from 1; 0 before the first. */
    [[nodiscard]] qsizetype Position() const { return m_next; }
    [[nodiscard]] qsizetype Count() const { return m_links.size(); }
    /** "Adding video 3 of 37..." */
    [[nodiscard]] QString StatusText() const;

    /** Notes that the current video could not be added, and why. */
    void Failed(const QString& reason);
    [[nodiscard]] qsizetype FailureCount() const { return m_failures; }
    /** The failed videos' links and reasons, for the message at the end. */
    [[nodiscard]] QString FailureDetails() const { return m_failureText; }
    /** The message at the end when videos could not be added; empty when all were. */
    [[nodiscard]] QString FailureMessage() const;

private:
    QStringList m_links;
    qsizetype m_next = 0;
    qsizetype m_failures = 0;
    QString m_failureText;
};

} // namespace brenlow
