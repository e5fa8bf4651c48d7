#pragma once

// What every yt-dlp run of the bridge shares: the program with the arguments all its runs start with,
// and the reading of its error lines.

#include "Child.h"
#include "Output.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace brenlow::tool {

/** What every run of yt-dlp needs: the program and the arguments all its runs start with
 *  (--ignore-config and the user's access options, see BaseArguments). */
struct Bridge
{
    QString ytdlp;
    QStringList base;
};

/** yt-dlp's error lines as they come, put together: it may end "ERROR: " with a carriage return and
 *  write the reason after it, which reads as two lines. */
class ErrorLines
{
public:
    /** The line to show (empty while an "ERROR:" waits for its text). */
    QString take(const QByteArray& bytes)
    {
        const QString line = QString::fromUtf8(bytes);
        if (line.trimmed() == u"ERROR:") {
            m_pending = true;
            return {};
        }
        QString shown = line;
        if (m_pending && !line.trimmed().isEmpty())
            shown = QStringLiteral("ERROR: ") + line.trimmed();
        m_pending = false;
        if (shown.startsWith(QStringLiteral("ERROR:")) && !shown.mid(6).trimmed().isEmpty())
            m_errors << shown;
        return shown;
    }
    /** Whether an error line said something. */
    [[nodiscard]] bool said() const { return !m_errors.isEmpty(); }
    [[nodiscard]] QString all() const { return m_errors.join(u'\n'); }

private:
    bool m_pending = false;
    QStringList m_errors;
};

/** Runs yt-dlp: the bridge's program, its arguments, then run.arguments. yt-dlp's error lines are
 *  put together (ErrorLines) and printed as they come (quiet: only the ERROR lines), unless the run
 *  has a handler of its own for them. Returns false when it could not start, which is printed
 *  unless quiet. */
bool ExecBridge(const Bridge& b, ChildRun& run, ErrorLines& errors, Output& out, bool quiet = false);

/** One yt-dlp run that answers with one JSON object (-J): the object, or nothing when the run failed;
 *  then yt-dlp's errors were printed, or (when it printed none) a line that says what failed, unless
 *  quiet. */
[[nodiscard]] std::optional<QJsonObject> ReadJson(const Bridge& b, const QStringList& arguments, Output& out,
                                                  bool quiet = false,
                                                  QDeadlineTimer deadline = QDeadlineTimer::Forever);

} // namespace brenlow::tool
