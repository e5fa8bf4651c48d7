#include "runner/AVC.h"

#include "platform/Clock.h"
#include "platform/ProcessFamily.h"
#include "runner/CommandBuilder.h"
#include "runner/DeliveryPump.h"
#include "runner/OutputPipe.h"

#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

using brenlow::CommandBuilder::Download;
using brenlow::CommandBuilder::FormatList;
using brenlow::CommandBuilder::Thumbnail;
using brenlow::CommandBuilder::VideoName;
namespace Family = brenlow::ProcessFamily;

static_assert(AVC::ChunkSize == brenlow::DeliveryPump::ChunkSize);
static_assert(AVC::PollingInterval == brenlow::DeliveryPump::PollingInterval);
static_assert(AVC::GracePeriod == brenlow::DeliveryPump::GracePeriod);

AVC::AVC(AVCHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_pipe(std::make_unique<brenlow::OutputPipe>(MaxPendingBytes)),
      m_pump(std::make_unique<brenlow::DeliveryPump>(*m_pipe, brenlow::Clock::steady()))
{
    using brenlow::DeliveryPump;
    connect(m_pipe.get(), &brenlow::OutputPipe::Readable, m_pump.get(), &DeliveryPump::Wake);
    connect(m_pump.get(), &DeliveryPump::Converting, this, [this] { emit Converting(); });
    connect(m_pump.get(), &DeliveryPump::DataOutput, this, [this](QString& text) { emit DataOutput(text); });
    connect(m_pump.get(), &DeliveryPump::GraceOver, this, &AVC::endFamily);
    connect(m_pump.get(), &DeliveryPump::Finished, this, [this] {
        finishRun();
        emit Complete();
    });
}

AVC::~AVC()
{
    m_pump->Stop();
    m_pipe->Close();
    if (m_process) {
        m_process->disconnect(this); // its end is no news to a runner that is going
        // An invisible downloader, or anything it started, must not outlive the window.
        endFamily();
        m_process->kill();
        m_process->waitForFinished(5000);
        m_process.reset();
        Family::Collected(static_cast<pid_t>(m_leader));
        Family::ReapOrphans();
    }
}

void AVC::ConvertMedia2(bool& /*OverWrite*/)
{
    start(FormatList(toolPath(), m_host.TemplateText(1), m_host.CurrentLink()));
}

void AVC::ConvertMedia3(bool& /*OverWrite*/)
{
    start(Thumbnail(toolPath(), m_host.TemplateText(2), m_host.ThumbnailFolder(), m_host.CurrentLink()));
}

void AVC::ConvertMedia4(bool& /*OverWrite*/)
{
    start(VideoName(toolPath(), m_host.TemplateText(3), m_host.CurrentLink()));
}

void AVC::ConvertMedia5(bool& /*OverWrite*/)
{
    start(Download(toolPath(), m_host.TemplateText(4), m_host.TemplateText(5), m_host.DownloadFolder(),
                   m_host.DownloadName(), m_host.FormatCode(), m_host.DownloadLink()));
}

void AVC::CancelConvert()
{
    // The run's whole family goes, whatever the processes are called; nothing outside it.
    if (m_process)
        endFamily();
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
    return m_pump->PollingTimer();
}

QString AVC::toolPath() const
{
    return m_host.ApplicationFolder() + QStringLiteral("/do.dll");
}

void AVC::start(const brenlow::ToolCommand& command)
{
    m_lastCommandLine = command.CommandLine;
    m_lastArguments = command.Arguments;

    const QString tool = toolPath();
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
    const int writeFd = m_pipe->Open();
    if (writeFd < 0) {
        raiseError(QStringLiteral("Unable to start do.dll: no pipe for its output"));
        return;
    }

    const QByteArray marker = Family::NewMarker();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(Family::MarkerVariable), QString::fromLatin1(marker));
    const pid_t parent = ::getpid();

    auto process = std::make_unique<QProcess>();
    process->setProgram(tool);
    process->setArguments(command.Arguments);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setChildProcessModifier([writeFd, parent] {
        ::setpgid(0, 0);
        // The tool goes with this program, even when it is killed; if it is already gone, so is the tool.
        if (!Family::DieWithParent(parent))
            ::_exit(127);
        ::dup2(writeFd, STDOUT_FILENO);
        ::dup2(writeFd, STDERR_FILENO);
    });
    process->start(QIODevice::ReadOnly);
    const bool started = process->waitForStarted(10000);
    // From here on only the tool and what it starts hold the write end: its end is their end.
    ::close(writeFd);
    if (!started) {
        m_pipe->Close();
        m_pipe->Reset();
        raiseError(QStringLiteral("Unable to start do.dll: %1").arg(process->errorString()));
        return;
    }
    m_leader = process->processId();
    Family::Started(static_cast<pid_t>(m_leader)); // QProcess collects it
    m_marker = marker;
    connect(process.get(), &QProcess::finished, this, &AVC::onExited);
    m_process = std::move(process);
    m_pump->Start();
}

void AVC::raiseError(const QString& message)
{
    QString text = message;
    emit ErrorEvent(text);
}

void AVC::onExited()
{
    if (!m_process)
        return;
    m_lastExitCode = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    // What the tool left running is noted now, so that it is collected when it ends as an orphan.
    Family::Remember({static_cast<pid_t>(m_leader), m_marker});
    m_pump->ToolExited();
}

void AVC::endFamily()
{
    Family::EndRun({static_cast<pid_t>(m_leader), m_marker});
}

void AVC::finishRun()
{
    m_pipe->Close();
    m_pipe->Reset();
    m_process.reset();
    Family::Collected(static_cast<pid_t>(m_leader));
    m_leader = 0;
    m_marker.clear();
    Family::ReapOrphans();
}
