#include "Child.h"

#include <QEventLoop>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

namespace brenlow::tool {
namespace {

/** Hands over every whole line of buffer (ended by LF or CR) and keeps the rest. */
void splitLines(QByteArray& buffer, const ChildRun::LineHandler& handler, bool flush)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < buffer.size(); ++i) {
        const char c = buffer.at(i);
        if (c == '\n' || c == '\r') {
            if (i > from)
                handler(buffer.mid(from, i - from));
            from = i + 1;
        }
    }
    buffer.remove(0, from);
    if (flush && !buffer.isEmpty()) {
        handler(buffer);
        buffer.clear();
    }
}

} // namespace

void ChildRun::exec()
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    env.insert(QStringLiteral("PYTHONUNBUFFERED"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });

    QByteArray outBuffer, errBuffer;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (!onOutputLine) {
            output += process.readAllStandardOutput();
            return;
        }
        outBuffer += process.readAllStandardOutput();
        splitLines(outBuffer, onOutputLine, false);
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop, [&] {
        errBuffer += process.readAllStandardError();
        if (onErrorLine)
            splitLines(errBuffer, onErrorLine, false);
        else
            errBuffer.clear();
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(30000)) {
        startError = process.errorString();
        return;
    }
    started = true;
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    // What was written just before the end.
    if (onOutputLine) {
        outBuffer += process.readAllStandardOutput();
        splitLines(outBuffer, onOutputLine, true);
    } else {
        output += process.readAllStandardOutput();
    }
    errBuffer += process.readAllStandardError();
    if (onErrorLine)
        splitLines(errBuffer, onErrorLine, true);
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace brenlow::tool
