#pragma once

#include "runner/AVCHost.h"

#include <QObject>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTimer>

#include <memory>

class QProcess;

/** The process runner: runs the downloader tool do.dll from the application folder as a hidden
 *  child (its own process group, standard output and error merged, no input), and reports what it
 *  prints as events on the ticks of its own 300 ms polling timer; the tick after the tool has ended
 *  comes at once and raises Complete. It reads the templates and values of its host at the moment
 *  of each run call. One run at a time; everything on the GUI thread. */
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
    /** Bytes per DataOutput chunk; every chunk text is padded with NULs to this many characters. */
    static constexpr int ChunkSize = 256;
    static constexpr int PollingInterval = 300;

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
    void onTick();
    void finishRun();
    void raiseError(const QString& message);

    AVCHost& m_host;
    QTimer m_timer;
    std::unique_ptr<QProcess> m_process;
    QStringDecoder m_decoder;
    qint64 m_pgid = 0;
    quint64 m_runSerial = 0;
    int m_lastExitCode = -1;
    QString m_lastCommandLine;
    QStringList m_lastArguments;
};
