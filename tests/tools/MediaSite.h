#pragma once

// A small video site for tests of the yt-dlp bridge: pages and media made by ffmpeg at test time
// (two seconds of testsrc and a sine), served by tests/tools/server.py; also pages of several videos:
// three video elements on one page, each with a picture of its own colour, and an empty feed.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace brenlow::test::media {

inline QString program(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

inline bool run(const QString& prog, const QStringList& args, const QString& dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(prog, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline void write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

inline QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/** Environment variables set for one test, put back as they were when it ends. */
class SavedEnv
{
public:
    ~SavedEnv()
    {
        for (auto s = m_saved.rbegin(); s != m_saved.rend(); ++s) {
            if (s->wasSet)
                qputenv(s->name, s->value);
            else
                qunsetenv(s->name);
        }
    }
    void set(const char* name, const QByteArray& value)
    {
        keep(name);
        qputenv(name, value);
    }
    void unset(const char* name)
    {
        keep(name);
        qunsetenv(name);
    }
    /** yt-dlp and the tool keep their caches and read their settings under home. */
    void useHome(const QString& home)
    {
        for (const char* var : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            set(var, (home + u'/' + QLatin1String(var)).toLocal8Bit());
    }

private:
    void keep(const char* name) { m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)}); }
    struct Saved
    {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> m_saved;
};

/** ffprobe's lines of a file's streams, each with these entries. */
inline QStringList streams(const QString& file, const char* entries = "codec_type,width")
{
    QProcess p;
    p.start(program("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
             QStringLiteral("stream=") + QLatin1String(entries), QStringLiteral("-of"),
             QStringLiteral("csv=p=0"), file});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

/** The streams of big.mp4 and of every download of picture and sound made from it. */
inline const QStringList PictureAndSound{QStringLiteral("video,320"), QStringLiteral("audio")};

inline const QStringList ListColours{QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue")};
/** The files of the three videos of three.html, in order. */
inline const QStringList ListMedia{QStringLiteral("small.mp4"), QStringLiteral("big.mp4"),
                                   QStringLiteral("blob.mp4")};

inline void WriteListPages(const QString& dir)
{
    QByteArray html("<!DOCTYPE html><html><head><title>Three Clips</title></head><body>\n");
    for (int i = 0; i < 3; ++i) {
        QImage picture(64, 36, QImage::Format_RGB32);
        picture.fill(QColor(ListColours.at(i)));
        picture.save(dir + QStringLiteral("/poster%1.jpg").arg(i + 1), "JPG");
        html +=
            QStringLiteral("<video controls poster=\"/poster%1.jpg\"><source src=\"/%2\" type=\"video/mp4\">"
                           "</video>\n")
                .arg(i + 1)
                .arg(ListMedia.at(i))
                .toUtf8();
    }
    write(dir + QStringLiteral("/three.html"), html + "</body></html>\n");
    write(dir + QStringLiteral("/empty.rss"),
          "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
          "<title>Empty Feed</title><link>http://x/</link></channel></rss>");
}

/** The site every test of this file reads: made once, since ffmpeg takes a moment. */
class Site
{
public:
    static Site& get()
    {
        static Site site;
        return site;
    }
    bool ready = false;
    QString why;
    QTemporaryDir dir;
    QByteArray blob; // a file served slowly or stalling, for cancel and resume

private:
    Site()
    {
        const QString ffmpeg = program("ffmpeg");
        if (program("yt-dlp").isEmpty() || ffmpeg.isEmpty() || program("ffprobe").isEmpty()) {
            why = QStringLiteral("yt-dlp, ffmpeg and ffprobe are needed (scripts/deps.sh installs them)");
            return;
        }
        const QString d = dir.path();
        // ffmpeg, quiet, its arguments as on a command line.
        auto ff = [&](const QString& args, const QString& in) {
            return run(ffmpeg, QProcess::splitCommand(QStringLiteral("-nostdin -loglevel error -y ") + args),
                       in);
        };
        auto clip = [&](const char* size, const char* out) {
            return ff(QStringLiteral("-f lavfi -i testsrc=size=%1:rate=10:duration=2 -f lavfi -i "
                                     "sine=frequency=440:duration=2 -c:v libx264 -preset ultrafast -c:a aac "
                                     "-shortest %2")
                          .arg(QLatin1String(size), QLatin1String(out)),
                      d);
        };
        auto picture = [&](const char* out) {
            return ff(QStringLiteral("-f lavfi -i testsrc=size=320x180:duration=1 -frames:v 1 ") +
                          QLatin1String(out),
                      d);
        };
        // A file's streams (or those map picks: picture and sound apart, for a master that names no
        // codecs) in HLS pieces.
        auto hls = [&](const char* in, const char* map, const char* name) {
            return ff(QStringLiteral("-i %1 %2 -c copy -f hls -hls_playlist_type vod -hls_segment_filename "
                                     "hls/%3%d.ts hls/%3.m3u8")
                          .arg(QLatin1String(in), QLatin1String(map), QLatin1String(name)),
                      d);
        };
        QDir(d).mkpath(QStringLiteral("hls"));
        QDir(d).mkpath(QStringLiteral("dash"));
        const bool made =
            clip("160x90", "small.mp4") && clip("320x180", "big.mp4") && picture("thumb.jpg") &&
            picture("thumb.webp") && hls("small.mp4", "", "lo") && hls("big.mp4", "", "hi") &&
            hls("big.mp4", "-map 0:v", "vid") && hls("big.mp4", "-map 0:a", "aud") &&
            ff(QStringLiteral("-i ../big.mp4 -map 0:v -map 0:a -c copy -f dash -adaptation_sets "
                              "\"id=0,streams=v id=1,streams=a\" manifest.mpd"),
               d + QStringLiteral("/dash"));
        if (!made) {
            why = QStringLiteral("ffmpeg could not make the test media");
            return;
        }
        write(
            d + QStringLiteral("/hls/master.m3u8"),
            "#EXTM3U\n"
            "#EXT-X-STREAM-INF:BANDWIDTH=150000,RESOLUTION=160x90,CODECS=\"avc1.42c00b,mp4a.40.2\"\nlo.m3u8\n"
            "#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=320x180,CODECS=\"avc1.42c00d,mp4a.40.2\"\nhi."
            "m3u8\n");
        // Six pictures and a sound group, no CODECS: yt-dlp cannot tell that the pictures are silent.
        QByteArray master = "#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",NAME=\"English\",DEFAULT=YES,"
                            "AUTOSELECT=YES,URI=\"aud.m3u8\"\n";
        for (int i = 1; i <= 6; ++i)
            master += "#EXT-X-STREAM-INF:BANDWIDTH=" + QByteArray::number(i * 100000) +
                      ",RESOLUTION=320x180,AUDIO=\"aud\"\nvid.m3u8\n";
        write(d + QStringLiteral("/hls/nocodecs.m3u8"), master);
        // A broadcast that is on now: its playlist does not end.
        write(d + QStringLiteral("/hls/live.m3u8"), read(d + QStringLiteral("/hls/lo.m3u8"))
                                                        .replace("#EXT-X-ENDLIST\n", "")
                                                        .replace("#EXT-X-PLAYLIST-TYPE:VOD\n", ""));
        auto page = [](const char* title, const char* image, const char* video) {
            return QByteArray("<!DOCTYPE html><html><head><title>Test page</title>\n"
                              "<meta property=\"og:title\" content=\"") +
                   title + "\">\n<meta property=\"og:image\" content=\"" + image + "\">\n" + video +
                   "</head><body></body></html>\n";
        };
        // Two renditions in a video element: yt-dlp takes their picture from the poster.
        write(d + QStringLiteral("/page.html"),
              page("Harbour Clip", "/thumb.jpg",
                   "</head><body><video controls poster=\"/thumb.jpg\">"
                   "<source src=\"/small.mp4\" type=\"video/mp4\" label=\"90p\">"
                   "<source src=\"/big.mp4\" type=\"video/mp4\" label=\"180p\"></video>"));
        // A video element without a poster: the picture is only in the page's Open Graph data.
        write(d + QStringLiteral("/og.html"),
              page("Open Graph Clip", "/thumb.jpg",
                   "</head><body><video controls><source src=\"/small.mp4\" type=\"video/mp4\"></video>"));
        // The video named in the page's Open Graph data, with a WebP picture.
        write(d + QStringLiteral("/webp.html"),
              page("Webp Clip", "/thumb.webp", "<meta property=\"og:video\" content=\"/big.mp4\">"));
        blob = QByteArray(600 * 1024, Qt::Uninitialized);
        QRandomGenerator rng(13);
        for (char& c : blob)
            c = static_cast<char>(rng.generate());
        write(d + QStringLiteral("/blob.mp4"), blob);
        write(d + QStringLiteral("/stall.html"),
              page("Stalling Clip", "/thumb.jpg",
                   "<meta property=\"og:video\" content=\"/stallonce/blob.mp4\">"));
        WriteListPages(d);
        ready = true;
    }
};

/** A page of the site with a title and a video element (its poster, then its sources). */
inline QByteArray videoPage(const QByteArray& title, const QByteArray& poster,
                            const QList<QByteArray>& sources)
{
    QByteArray html = "<!DOCTYPE html><html><head><title>Test page</title>\n<meta property=\"og:title\" "
                      "content=\"" +
                      title + "\">\n</head><body>";
    for (const QByteArray& src : sources) {
        html += "<video controls" + (poster.isEmpty() ? QByteArray() : " poster=\"" + poster + "\"") +
                "><source src=\"" + src + "\" type=\"video/mp4\"></video>\n";
    }
    return html + "</body></html>\n";
}

/** Starts the test server on the site; returns its port, or 0. With a log, the server notes each
 *  request's path, Host, Cookie and Authorization there, tab-separated. */
inline int startServer(QProcess& server, const QString& folder, const QString& log = {})
{
    server.setProgram(QStringLiteral(BRENLOW_PYTHON));
    server.setArguments(log.isEmpty() ? QStringList{QStringLiteral(BRENLOW_TEST_SERVER), folder}
                                      : QStringList{QStringLiteral(BRENLOW_TEST_SERVER), folder, log});
    server.start();
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(30000))
        return 0;
    return server.readLine().trimmed().toInt();
}

} // namespace brenlow::test::media
