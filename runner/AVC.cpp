#include "runner/AVC.h"

#include "platform/ProcessKiller.h"
#include "runner/CommandLine.h"

#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char16_t kQuote = u'"';

// A larger pipe lets the tool write on while the window is busy delivering a tick.
constexpr int kPipeSize = 1 << 20;

// A descriptor above the standard three, close-on-exec, so that the child's dup2 onto 1 and 2
// always makes fresh copies; the original is closed.
int movedAboveStandard(int fd)
{
    if (fd > STDERR_FILENO)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

} // namespace

AVC::AVC(AVCHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    m_timer.setInterval(PollingInterval);
    connect(&m_timer, &QTimer::timeout, this, &AVC::onTick);
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &AVC::onTick);
    m_grace.setSingleShot(true);
    m_grace.setInterval(GracePeriod);
    connect(&m_grace, &QTimer::timeout, this, &AVC::onGraceOver);
}

AVC::~AVC()
{
    closeReader();
    if (m_process) {
        m_process->disconnect(this); // its end is no news to a runner that is going
        // An invisible downloader must not outlive the window.
        brenlow::ProcessKiller::KillProcessGroup(static_cast<pid_t>(m_pgid));
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

void AVC::ConvertMedia2(bool& /*OverWrite*/)
{
    const QString tpl = m_host.TemplateText(1);
    const QString link = m_host.CurrentLink();
    const QChar m = markerBase({tpl});
    start(tpl + link + kQuote, tpl + m + kQuote, m, {{link}});
}

void AVC::ConvertMedia3(bool& /*OverWrite*/)
{
    const QString tpl = m_host.TemplateText(2);
    const QString link = m_host.CurrentLink();
    const QString folder = m_host.ThumbnailFolder();
    const QChar m = markerBase({tpl});
    // The thumbnail folder was put into the template at start-up; it goes to the tool as data.
    QString marked = tpl;
    if (!folder.isEmpty())
        marked.replace(folder, QString(QChar(m.unicode() + 1)));
    start(tpl + link + kQuote, marked + m + kQuote, m, {{link}, {folder}});
}

void AVC::ConvertMedia4(bool& /*OverWrite*/)
{
    const QString tpl = m_host.TemplateText(3);
    const QString link = m_host.CurrentLink();
    const QChar m = markerBase({tpl});
    start(tpl + link + kQuote, tpl + m + kQuote, m, {{link}});
}

void AVC::ConvertMedia5(bool& /*OverWrite*/)
{
    static const QString fixedOptions = QStringLiteral(" -v -c -w ");
    const QString t4 = m_host.TemplateText(4);
    const QString t5 = m_host.TemplateText(5);
    const QString folder = m_host.DownloadFolder();
    const QString name = m_host.DownloadName();
    const QString code = m_host.FormatCode();
    const QString link = m_host.DownloadLink();
    const QChar m = markerBase({t4, t5});
    auto mk = [m](int i) { return QChar(m.unicode() + i); };
    const QString body = t4 + folder + name + t5 + code + fixedOptions + link;
    const QString marked = t4 + mk(0) + mk(1) + t5 + mk(2) + fixedOptions + mk(3);
    start(body, marked, m, {{folder}, {name}, {code, true}, {link}});
}

void AVC::CancelConvert()
{
    // The run's own group takes along whatever the tool started, even under other names; a do.dll
    // this program started elsewhere (outside the run's group) goes too. Nothing else is touched.
    if (m_process)
        brenlow::ProcessKiller::KillProcessGroup(static_cast<pid_t>(m_pgid));
    brenlow::ProcessKiller::KillDescendantsByImageSuffix(QStringLiteral("do.dll"));
}

bool AVC::IsRunning() const
{
    return m_process != nullptr;
}

int AVC::LastExitCode() const
{
    return m_lastExitCode;
}

QString AVC::LastCommandLine() const
{
    return m_lastCommandLine;
}

QStringList AVC::LastArguments() const
{
    return m_lastArguments;
}

QTimer& AVC::PollingTimer()
{
    return m_timer;
}

QString AVC::toolPath() const
{
    return m_host.ApplicationFolder() + QStringLiteral("/do.dll");
}

QChar AVC::markerBase(const QStringList& texts) const
{
    // Values are spliced in after splitting, through placeholder characters that no template holds.
    for (char16_t base = 0xE000; base < 0xF8F0; base += 8) {
        bool clash = false;
        for (const QString& text : texts) {
            for (const QChar c : text) {
                if (c.unicode() >= base && c.unicode() < base + 8)
                    clash = true;
            }
        }
        if (!clash)
            return QChar(base);
    }
    return QChar(0xF8F0);
}

void AVC::start(const QString& body, const QString& markedBody, QChar marker, const QList<Value>& values)
{
    const QString tool = toolPath();
    m_lastCommandLine = tool + body + kQuote;

    // Split the fixed options by the Windows rules, then put each value in whole: whatever it holds,
    // it stays inside the one argument its placeholder stood in.
    const QStringList split = brenlow::SplitCommandLine(markedBody);
    QStringList args;
    for (const QString& arg : split) {
        QString out;
        bool dropped = false;
        for (const QChar c : arg) {
            const int index = c.unicode() - marker.unicode();
            if (index >= 0 && index < values.size()) {
                const Value& value = values.at(index);
                if (value.dropWhenEmpty && value.text.isEmpty() && arg.size() == 1)
                    dropped = true;
                out += value.text;
            } else {
                out += c;
            }
        }
        if (dropped) {
            if (!args.isEmpty() && args.last() == QStringLiteral("-f"))
                args.removeLast();
            continue;
        }
        args.append(out);
    }
    m_lastArguments = args;

    const QFileInfo info(tool);
    if (!info.exists() || !info.isFile() || !info.isExecutable()) {
        raiseError(QString::fromLatin1(MissingToolMessage));
        return;
    }
    if (m_process) {
        raiseError(QStringLiteral("do.dll is already running"));
        return;
    }

    // The output goes into a pipe of our own rather than QProcess's: it is read up to its end
    // (which may come after the tool's exit, from something the tool started), and only as fast as
    // the owner takes it.
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        raiseError(QStringLiteral("Unable to start do.dll: no pipe for its output"));
        return;
    }
    const int readFd = movedAboveStandard(fds[0]);
    const int writeFd = movedAboveStandard(fds[1]);
    if (readFd < 0 || writeFd < 0) {
        for (const int fd : {readFd, writeFd}) {
            if (fd >= 0)
                ::close(fd);
        }
        raiseError(QStringLiteral("Unable to start do.dll: no pipe for its output"));
        return;
    }
    ::fcntl(readFd, F_SETPIPE_SZ, kPipeSize);
    ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) | O_NONBLOCK);

    auto process = std::make_unique<QProcess>();
    process->setProgram(tool);
    process->setArguments(args);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setChildProcessModifier([writeFd] {
        ::setpgid(0, 0);
        ::dup2(writeFd, STDOUT_FILENO);
        ::dup2(writeFd, STDERR_FILENO);
    });
    process->start(QIODevice::ReadOnly);
    const bool started = process->waitForStarted(10000);
    // From here on only the tool and what it starts hold the write end: its end is their end.
    ::close(writeFd);
    if (!started) {
        ::close(readFd);
        raiseError(QStringLiteral("Unable to start do.dll: %1").arg(process->errorString()));
        return;
    }
    m_pgid = process->processId();
    connect(process.get(), &QProcess::finished, this, &AVC::onExited);
    m_process = std::move(process);
    m_readFd = readFd;
    m_readable = new QSocketNotifier(readFd, QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &AVC::onReadable);
    m_bytes = std::make_unique_for_overwrite<char[]>(MaxPendingBytes);
    m_bytesHead = m_bytesCount = 0;
    m_text.clear();
    m_textHead = 0;
    m_decoder = brenlow::OutputDecoder();
    m_exited = false;
    m_outputOver = false;
    m_flushed = false;
    m_timer.start(PollingInterval);
}

void AVC::raiseError(const QString& message)
{
    QString text = message;
    emit ErrorEvent(text);
}
