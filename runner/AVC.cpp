#include "runner/AVC.h"

#include "platform/ProcessKiller.h"
#include "runner/CommandLine.h"

#include <QFileInfo>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char16_t kQuote = u'"';

// A larger pipe lets the tool write on while the window is busy delivering a tick.
constexpr int kPipeSize = 1 << 20;

} // namespace

AVC::AVC(AVCHost& host, QObject* parent) : QObject(parent), m_host(host)
{
    m_timer.setInterval(PollingInterval);
    connect(&m_timer, &QTimer::timeout, this, &AVC::onTick);
}

AVC::~AVC()
{
    if (m_process) {
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

    auto process = std::make_unique<QProcess>();
    process->setProgram(tool);
    process->setArguments(args);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, kPipeSize);
    });
    process->start(QIODevice::ReadOnly);
    if (!process->waitForStarted(10000)) {
        raiseError(QStringLiteral("Unable to start do.dll: %1").arg(process->errorString()));
        return;
    }
    m_pgid = process->processId();
    // Once the tool has ended, the next tick need not wait for the timer: the run's last output and
    // its end are delivered at once (after the signal, never inside QProcess's own handling).
    const quint64 run = ++m_runSerial;
    connect(process.get(), &QProcess::finished, this, [this, run] {
        QTimer::singleShot(0, this, [this, run] {
            if (m_process && m_runSerial == run)
                onTick();
        });
    });
    m_process = std::move(process);
    m_decoder = QStringDecoder(QStringDecoder::System);
    m_timer.start(PollingInterval);
}

void AVC::onTick()
{
    if (!m_process) {
        m_timer.stop();
        return;
    }
    // Checked before reading: the process only changes state inside the event loop, and its last
    // output is already buffered when it does.
    const bool ended = m_process->state() == QProcess::NotRunning;
    const QByteArray data = m_process->readAll();

    if (!data.isEmpty()) {
        emit Converting();
        for (qsizetype at = 0; at < data.size(); at += ChunkSize) {
            QString text = m_decoder.decode(
                QByteArrayView(data.constData() + at, std::min<qsizetype>(ChunkSize, data.size() - at)));
            // A NUL marks the end of a chunk's text, so the tool's own NUL bytes must not be taken
            // for one: what follows them would be lost.
            text.replace(QChar(0), QChar::ReplacementCharacter);
            if (text.size() < ChunkSize)
                text.append(QString(ChunkSize - text.size(), QChar(0)));
            emit DataOutput(text);
            if (!m_process)
                return; // a handler ended the run
        }
    }
    if (!ended)
        return;
    if (data.isEmpty()) {
        // The read that finds the output ended still raises its (empty) chunk.
        emit Converting();
        QString empty(ChunkSize, QChar(0));
        emit DataOutput(empty);
        if (!m_process)
            return;
    }
    finishRun();
    emit Complete();
}

void AVC::finishRun()
{
    m_lastExitCode = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    m_process.reset();
    m_pgid = 0;
    m_timer.stop();
}

void AVC::raiseError(const QString& message)
{
    QString text = message;
    emit ErrorEvent(text);
}
