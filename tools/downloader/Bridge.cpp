#include "Bridge.h"

#include <QJsonDocument>

namespace brenlow::tool {

bool ExecBridge(const Bridge& b, ChildRun& run, ErrorLines& errors, Output& out, bool quiet)
{
    run.program = b.ytdlp;
    run.arguments = b.base + run.arguments;
    if (!run.onErrorLine) {
        run.onErrorLine = [&errors, &out, quiet](const QByteArray& bytes) {
            const QString line = errors.take(bytes);
            if (!line.isEmpty() && (!quiet || line.startsWith(QStringLiteral("ERROR:"))))
                out.line(line);
        };
    }
    run.exec();
    if (!run.started && !quiet)
        out.line(QStringLiteral("ERROR: unable to start %1: %2").arg(b.ytdlp, run.startError));
    return run.started;
}

std::optional<QJsonObject> ReadJson(const Bridge& b, const QStringList& arguments, Output& out, bool quiet,
                                    QDeadlineTimer deadline)
{
    ChildRun run;
    run.arguments = arguments;
    run.deadline = deadline;
    ErrorLines errors;
    if (!ExecBridge(b, run, errors, out, quiet))
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(run.output);
    if (run.exitCode == 0 && doc.isObject())
        return doc.object();
    if (!quiet && !errors.said())
        out.line(run.timedOut ? QStringLiteral("ERROR: yt-dlp took too long to read the page")
                              : QStringLiteral("ERROR: yt-dlp found no video on this page (exit code %1)")
                                    .arg(run.exitCode));
    return std::nullopt;
}

} // namespace brenlow::tool
