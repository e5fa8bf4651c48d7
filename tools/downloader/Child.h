#pragma once

#include "GuardVariable.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace brenlow::tool {

/** A program this tool runs and waits for (yt-dlp, ffmpeg). It stays in the tool's process group,
 *  so ending the group ends it too. It runs under a guard (this program again, see RunGuard) that
 *  ends it and everything it started when the run ends or the tool dies, however the tool dies. */
struct ChildRun
{
    using LineHandler = std::function<void(const QByteArray& line)>;

    QString program;
    QStringList arguments;
    LineHandler onOutputLine;                          // unset: standard output is collected into output
    LineHandler onErrorLine;                           // unset: standard error is dropped
    QByteArray input;                                  // written to its standard input, which is then closed
    QDeadlineTimer deadline = QDeadlineTimer::Forever; // past it, the run is ended

    bool started = false;
    bool timedOut = false;
    int exitCode = -1; // -1 when it did not start or died of a signal
    QString startError;
    QByteArray output;

    /** Runs the program to its end. */
    void exec();
};

/** Lets ChildRun start its programs under this program as their guard; only the tool, whose main()
 *  answers RunGuard, may call it. */
void EnableGuard();

/** Runs argv[1..] as the guard: a child subreaper between the tool and the program it starts. It
 *  ends the program's whole family when the program ends or when the tool dies, and exits as the
 *  program did. Returns only on a failure to start (its exit code). */
int RunGuard(int argc, char* argv[]);

} // namespace brenlow::tool
