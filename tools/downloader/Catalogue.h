#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace brenlow::tool {

/** One format the simulated video is offered in. */
struct Format
{
    QString code;
    QString ext;
    QString resolution;
    QString note;
    qint64 size = 0; // bytes of the downloaded file
};

/** A simulated video and the scripted behaviour of the tool when asked about it. */
struct Video
{
    QString link;
    QString id;
    QString uploader;
    QString title;
    QList<Format> formats;
    QStringList preamble;   // informational lines before each answer
    int preambleRepeat = 0; // further numbered lines of chatter (long output)
    QByteArray lineEnd = "\r\n";
    QString thumbnail = QStringLiteral("jpeg"); // "jpeg", "missing" or "corrupt"
    QString colour = QStringLiteral("#3a6ea5");
    qint64 rate = 4 << 20; // download bytes per second
    int lineDelayMs = 0;   // pause after every line of an answer (slow output)
    QStringList hangIn;    // stages that never end: "formats", "thumbnail", "name", "download"
    QStringList failIn;    // stages that print errorText and exit with exitCode
    int exitCode = 1;
    QString errorText = QStringLiteral("ERROR: This video is unavailable");
    qint64 floodBytes = 0;   // chatter written before each answer
    qint64 floodRate = 0;    // its pace in bytes per second (0: as fast as the pipe takes it)
    bool interleave = false; // chatter alternates between standard output and error
    bool splitName = false;  // the name line arrives in two writes, cut inside a character
    bool noName = false;     // the name stage prints nothing
    double interruptAt = 0;  // a fresh download breaks off at this fraction (0: never)
    QStringList crashIn;     // stages that die of a segmentation fault before printing anything
    QByteArray rawChatter;   // bytes written as they are before each answer (invalid UTF-8 and such)

    [[nodiscard]] bool hangs(const QString& stage) const
    {
        return hangIn.contains(stage) || hangIn.contains(u"all");
    }
    [[nodiscard]] bool crashes(const QString& stage) const
    {
        return crashIn.contains(stage) || crashIn.contains(u"all");
    }
    [[nodiscard]] bool fails(const QString& stage) const
    {
        return failIn.contains(stage) || failIn.contains(u"all");
    }
};

/** The catalogue of simulated videos, keyed by link. */
class Catalogue
{
public:
    /** Loads the catalogue named by BRENLOW_TOOL_CATALOGUE, else the one built into the tool. */
    [[nodiscard]] static Catalogue load(QString* error = nullptr);
    [[nodiscard]] static Catalogue fromJson(const QByteArray& json, QString* error = nullptr);

    [[nodiscard]] std::optional<Video> find(const QString& link) const;
    [[nodiscard]] const QList<Video>& videos() const { return m_videos; }

private:
    QList<Video> m_videos;
};

} // namespace brenlow::tool
