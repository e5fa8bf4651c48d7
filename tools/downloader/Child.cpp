#include "Child.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

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

bool g_guardEnabled = false;

/** This program, to start as the guard; empty when it is none. */
QString selfPath()
{
    if (!g_guardEnabled)
        return {};
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? QString::fromLocal8Bit(path, n) : QString();
}

/** The children of this process (the guard's own and the ones handed to it as subreaper). */
QList<pid_t> children()
{
    QList<pid_t> found;
    const pid_t self = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (const dirent* e = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0)
            continue;
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        char stat[512];
        const ssize_t n = ::read(fd, stat, sizeof stat - 1);
        ::close(fd);
        if (n <= 0)
            continue;
        stat[n] = '\0';
        // "pid (name) state ppid ...": the name may hold blanks and brackets.
        const char* close = std::strrchr(stat, ')');
        int ppid = 0;
        char state = 0;
        if (close && std::sscanf(close + 1, " %c %d", &state, &ppid) == 2 && ppid == self)
            found.append(pid);
    }
    ::closedir(proc);
    return found;
}

/** Kills and reaps every descendant: the orphans of a killed child come to the guard in turn. */
void endFamily()
{
    for (;;) {
        const QList<pid_t> kids = children();
        if (kids.isEmpty())
            break;
        for (const pid_t pid : kids)
            ::kill(pid, SIGKILL);
        while (::waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        ::usleep(1000);
    }
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

} // namespace

void EnableGuard()
{
    g_guardEnabled = true;
}

int RunGuard(int argc, char* argv[])
{
    const pid_t parent = static_cast<pid_t>(std::atoi(std::getenv(kGuardVariable)));
    ::unsetenv(kGuardVariable);
    if (argc < 2)
        return 127;
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    sigset_t wanted;
    sigemptyset(&wanted);
    for (const int s : {SIGCHLD, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&wanted, s);
    sigset_t previous;
    ::sigprocmask(SIG_BLOCK, &wanted, &previous);
    if (::getppid() != parent)
        return 1; // the tool is gone already
    const pid_t child = ::fork();
    if (child < 0)
        return 127;
    if (child == 0) {
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::execvp(argv[1], argv + 1);
        const char* message = "do.dll: unable to start the program\n";
        (void)!::write(STDERR_FILENO, message, std::strlen(message));
        ::_exit(127);
    }
    int status = 0;
    for (;;) {
        siginfo_t info{};
        if (::sigwaitinfo(&wanted, &info) < 0)
            continue;
        if (info.si_signo != SIGCHLD) {
            endFamily();
            ::signal(info.si_signo, SIG_DFL);
            ::sigprocmask(SIG_UNBLOCK, &wanted, nullptr);
            ::raise(info.si_signo);
            ::_exit(128 + info.si_signo);
        }
        pid_t done = 0;
        bool childEnded = false;
        while ((done = ::waitpid(-1, &status, WNOHANG)) > 0) {
            if (done == child) {
                childEnded = true;
                break;
            }
        }
        if (childEnded)
            break;
    }
    endFamily();
    if (WIFSIGNALED(status)) {
        ::signal(WTERMSIG(status), SIG_DFL);
        ::sigprocmask(SIG_UNBLOCK, &wanted, nullptr);
        ::raise(WTERMSIG(status));
        ::_exit(128 + WTERMSIG(status));
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

void ChildRun::exec()
{
    QProcess process;
    const QString guard = selfPath();
    if (guard.isEmpty()) {
        process.setProgram(program);
        process.setArguments(arguments);
    } else {
        process.setProgram(guard);
        process.setArguments(QStringList{program} + arguments);
    }
    if (input.isEmpty())
        process.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    env.insert(QStringLiteral("PYTHONUNBUFFERED"), QStringLiteral("1"));
    env.insert(QLatin1String(kGuardVariable), QString::number(QCoreApplication::applicationPid()));
    // The guard must not note its run as one of the tool's own.
    env.remove(QStringLiteral("BRENLOW_TOOL_RECORD_DIR"));
    env.remove(QStringLiteral("BRENLOW_TOOL_TIMING_FILE"));
    if (guard.isEmpty())
        env.remove(QLatin1String(kGuardVariable));
    process.setProcessEnvironment(env);
    // The guard is told to end the family; a program without one simply dies with the tool.
    const int deathSignal = guard.isEmpty() ? SIGKILL : SIGTERM;
    process.setChildProcessModifier([deathSignal] { ::prctl(PR_SET_PDEATHSIG, deathSignal); });

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
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        process.terminate(); // the guard ends the program's family
    });
    process.start(input.isEmpty() ? QIODevice::ReadOnly : QIODevice::ReadWrite);
    if (!process.waitForStarted(30000)) {
        startError = process.errorString();
        return;
    }
    started = true;
    if (!input.isEmpty()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!deadline.isForever())
        timer.start(static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
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
