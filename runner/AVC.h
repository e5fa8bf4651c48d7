#pragma once

#include "runner/AVCHost.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class QProcess;

namespace brenlow {
class DeliveryPump;
class OutputPipe;
struct ToolCommand;
} // namespace brenlow

/** The process runner: runs the downloader tool do.dll from the application folder as a hidden
 *  child (its own process group, standard output and error merged into one pipe, no input), and
 *  reports what it prints as events on the ticks of its own 300 ms polling timer. It reads the
 *  templates and values of its host at the moment of each run call. One run at a time; everything
 *  on the GUI thread.
 *
 *  A tick raises Converting, then the output read since the last tick as DataOutput chunks, each
 *  byte once and in order. When more is waiting than one tick hands over (a flood), further ticks
 *  follow at once, with the event loop running in between; at most MaxPendingBytes are held, and
 *  beyond that the tool waits. A handler that enters an event loop of its own delays the ticks
 *  until it returns. The run ends once the tool has exited and its output is over: at the end of
 *  the pipe, or, when something the tool started still holds the pipe, GracePeriod after all it
 *  wrote was read; then the run's whole family is ended and what it wrote is still delivered.
 *  That tick raises Complete, after the run's clean-up.
 *
 *  The run's family is the tool, its process group and everything descended from it, found as
 *  descendants of this program (which should be a child subreaper, so that what left the group
 *  stays findable) and by a marker in their environment. The tool dies with this program. */
class AVC : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AVC)

public:
    /** The host must outlive the runner. */
    explicit AVC(AVCHost& host, QObject* parent = nullptr);
    /** Ends a running run's whole family; no event follows. */
    ~AVC() override;

    /** Format list (template 1 and CurrentLink). OverWrite is ignored. */
    void ConvertMedia2(bool& OverWrite);
    /** Thumbnail (template 2, which holds the application folder, and CurrentLink). */
    void ConvertMedia3(bool& OverWrite);
    /** Video name (template 3 and CurrentLink). */
    void ConvertMedia4(bool& OverWrite);
    /** Download (templates 4 and 5, the folder, DownloadName, FormatCode and DownloadLink). An empty
     *  FormatCode drops "-f" from the arguments, so the tool picks its own format. */
    void ConvertMedia5(bool& OverWrite);
    /** Kills this runner's run: the tool and its whole family, whatever their names; never a
     *  process that is not of this run. Raises nothing itself: Complete follows through the
     *  polling. Does nothing when no run is on. */
    void CancelConvert();

    /** True from a successful start until the tick that raises Complete. */
    [[nodiscard]] bool IsRunning() const;
    /** Exit status of the last finished run: its exit code, or -1 when killed or unknown. Valid in
     *  and after Complete. */
    [[nodiscard]] int LastExitCode() const;
    /** The command-line text built for the last run call (for tests), and the argument vector
     *  passed (without the tool path, which is passed as the program). */
    [[nodiscard]] QString LastCommandLine() const;
    [[nodiscard]] QStringList LastArguments() const;
    /** The polling timer (the runner owns it; 300 ms while running). */
    [[nodiscard]] QTimer& PollingTimer();

    /** The text of ErrorEvent when the tool is missing, not a regular file or not executable. */
    static constexpr const char* MissingToolMessage = "Unable to locate do.dll";
    /** Characters per DataOutput chunk; every chunk text is padded with NULs to this many. */
    static constexpr int ChunkSize = 256;
    static constexpr int PollingInterval = 300;
    /** Output read but not yet delivered, at most; the tool waits while this much is held. */
    static constexpr qsizetype MaxPendingBytes = 4 * 1024 * 1024;
    /** How long, after the tool has exited and all it wrote was read, the pipe may stay open
     *  before the run's family is ended, in milliseconds. */
    static constexpr int GracePeriod = 2000;

signals:
    void DataOutput(QString& strData);
    void Converting();
    void Complete();
    void ErrorEvent(QString& ErrorMessage);

private:
    void start(const brenlow::ToolCommand& command);
    [[nodiscard]] QString toolPath() const;
    void raiseError(const QString& message);
    void onExited();
    void endFamily();
    void finishRun();

    AVCHost& m_host;
    std::unique_ptr<brenlow::OutputPipe> m_pipe;
    std::unique_ptr<brenlow::DeliveryPump> m_pump;
    std::unique_ptr<QProcess> m_process;
    qint64 m_leader = 0; // the running tool, which heads the run's process group
    QByteArray m_marker; // in the environment of the run's processes
    int m_lastExitCode = -1;
    QString m_lastCommandLine;
    QStringList m_lastArguments;
};
