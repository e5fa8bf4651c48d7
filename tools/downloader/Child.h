#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace brenlow::tool {

/** A program this tool runs and waits for (yt-dlp, ffmpeg). It stays in the tool's process group,
 *  so ending the group ends it too, and it dies with the tool should the tool be killed alone. */
struct ChildRun
{
    using LineHandler = std::function<void(const QByteArray& line)>;

    QString program;
    QStringList arguments;
    LineHandler onOutputLine; // unset: standard output is collected into output
    LineHandler onErrorLine;  // unset: standard error is dropped

    bool started = false;
    int exitCode = -1; // -1 when it did not start or died of a signal
    QString startError;
    QByteArray output;

    /** Runs the program to its end. */
    void exec();
};

} // namespace brenlow::tool
