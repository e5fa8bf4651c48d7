#pragma once

#include "runner/AVCHost.h"
#include "runner/OutputDecoder.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class QProcess;
class QSocketNotifier;

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
 *  the pipe, or GracePeriod after the exit when something the tool started still holds the pipe.
 *  That tick raises Complete, after the run's clean-up. */
class AVC : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AVC)

public:
    /** The host must outlive the runner. */
    explicit AVC(AVCHost& host, QObject* parent = nullptr);
    /** Stops a running run's whole process group; no event follows. */
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
    /** Kills this runner's run (the tool's whole process group) and any process this program
     *  started whose image name ends with "do.dll" (any case); never a process it did not start.
     *  Raises nothing itself: Complete follows through the polling. */
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
    /** How long output is still read after the tool has exited, in milliseconds. */
    static constexpr int GracePeriod = 2000;

signals:
    void DataOutput(QString& strData);
    void Converting();
    void Complete();
    void ErrorEvent(QString& ErrorMessage);

private:
    struct Value
    {
        QString text;
        bool dropWhenEmpty = false; // "-f" and the value vanish together when the value is empty
    };

    void start(const QString& body, const QString& markedBody, QChar marker, const QList<Value>& values);
    [[nodiscard]] QString toolPath() const;
    [[nodiscard]] QChar markerBase(const QStringList& texts) const;
    void raiseError(const QString& message);

    // The run's output and its end (AVCOutput.cpp).
    void onTick();
    void onReadable();
    void onExited();
    void onGraceOver();
    void readAvailable();
    void closeReader();
    void deliver();
    [[nodiscard]] bool takeText();
    [[nodiscard]] bool hasPending() const;
    [[nodiscard]] qsizetype pendingBytes() const { return m_bytesCount; }
    void askForTick();
    void finishRun();

    AVCHost& m_host;
    QTimer m_timer;
    QTimer m_soon;  // a tick as soon as the event loop comes round
    QTimer m_grace; // the end of the wait for the pipe after the tool's exit
    std::unique_ptr<QProcess> m_process;
    int m_readFd = -1;
    QSocketNotifier* m_readable = nullptr; // a child of the runner, while the pipe is open
    std::unique_ptr<char[]> m_bytes;       // a ring of MaxPendingBytes while running: read, not decoded
    qsizetype m_bytesHead = 0;             // where the oldest byte is
    qsizetype m_bytesCount = 0;
    QString m_text; // decoded, not yet delivered, from m_textHead on
    qsizetype m_textHead = 0;
    brenlow::OutputDecoder m_decoder;
    bool m_exited = false;
    bool m_outputOver = false; // the end of the pipe, or the grace period has passed
    bool m_flushed = false;
    bool m_delivering = false;
    qint64 m_pgid = 0;
    int m_lastExitCode = -1;
    QString m_lastCommandLine;
    QStringList m_lastArguments;
};
