#include "app/PlaylistIntake.h"

#include "app/ProfileParser.h"

#include <QRegularExpression>

namespace brenlow {
namespace {

// Only the first few reasons are kept: a list of a thousand broken videos must not build a
// message of a thousand paragraphs.
constexpr qsizetype kReasonsShown = 20;

} // namespace

std::optional<QStringList> ParsePlaylist(const QString& output)
{
    static const QRegularExpression header(QStringLiteral("^\\[playlist\\] ([0-9]+)$"));
    static const QLatin1String entry("[playlist-video] ");
    bool listed = false;
    QStringList links;
    for (const QString& line : SplitLines(output)) {
        if (!listed) {
            listed = header.match(line).hasMatch();
            continue;
        }
        if (line.startsWith(entry)) {
            const QString link = line.mid(entry.size()).trimmed();
            if (!link.isEmpty())
                links << link;
        }
    }
    if (!listed)
        return std::nullopt;
    return links;
}

QString PlaylistQuestion(qsizetype count)
{
    return QStringLiteral("This link holds %1 videos. Add all %1?").arg(count);
}

std::optional<QString> PlaylistIntake::Next()
{
    if (m_next >= m_links.size())
        return std::nullopt;
    return m_links.at(m_next++);
}

QString PlaylistIntake::StatusText() const
{
    return QStringLiteral("Adding video %1 of %2...").arg(m_next).arg(m_links.size());
}

void PlaylistIntake::Failed(const QString& reason)
{
    ++m_failures;
    if (m_failures > kReasonsShown)
        return;
    if (!m_failureText.isEmpty())
        m_failureText += QStringLiteral("\n\n");
    m_failureText += m_links.value(m_next - 1) + QLatin1Char('\n') + reason;
}

QString PlaylistIntake::FailureMessage() const
{
    if (m_failures == 0)
        return {};
    return QStringLiteral("%1 of %2 videos could not be added.").arg(m_failures).arg(m_links.size());
}

} // namespace brenlow
