#pragma once

// The fixtures of the tests of the bundled tool: the runner driving it as the window does against the
// local test server; for the bridge to yt-dlp also a home of its own (yt-dlp's and the tool's caches
// and settings), yt-dlp run through a script that notes each run, and the local site served.

#include "MediaSite.h"
#include "runner/RunnerFixture.h"

#include <QCryptographicHash>
#include <QImageReader>
#include <QRegularExpression>

namespace brenlow::test {

using namespace brenlow::test::media;

/** The bundled tool run by the runner against the test server, downloading into a folder of its own;
 *  what a test puts in the environment is put back after it. */
class ServedTest : public RunnerTest
{
protected:
    /** Serves folder; with a log, the server notes each request there. */
    void serve(const QString& folder, const QString& log = {})
    {
        ASSERT_TRUE(downloads.isValid());
        port = startServer(server, folder, log);
        ASSERT_GT(port, 0);
        useBundledTool();
        host->folder = downloads.path() + u'/';
        host->name = QStringLiteral("clip");
    }

    void TearDown() override
    {
        RunnerTest::TearDown();
        server.kill();
        server.waitForFinished(5000);
    }

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(path);
    }

    /** Runs a stage on link to its end; returns the exit code, the stage's output in out. */
    int stage(int n, const QString& link, QString* out = nullptr)
    {
        events.clear();
        host->link = link;
        host->downloadLink = link;
        run(n);
        EXPECT_TRUE(waitForComplete(1, 120000)) << "stage " << n << " did not end";
        if (out)
            *out = output();
        return events.empty() ? -99 : events.back().exitCode;
    }

    QString downloaded(const QString& ext) const { return downloads.path() + QStringLiteral("/clip.") + ext; }

    SavedEnv env;
    QTemporaryDir downloads;
    QProcess server;
    int port = 0;
};

class YtDlpTest : public ServedTest
{
protected:
    void SetUp() override
    {
        Site& site = Site::get();
        if (!site.ready)
            GTEST_SKIP() << site.why.toStdString();
        RunnerTest::SetUp();
        ASSERT_TRUE(home.isValid());
        env.useHome(home.path());
        // yt-dlp through a script that notes each run, its process id first; a test may have it start
        // a helper of its own first (BRENLOW_TEST_YTDLP_HELPER, its process id noted as "helper PID")
        // or add arguments (BRENLOW_TEST_YTDLP_EXTRA).
        const QString wrapper = home.path() + QStringLiteral("/yt-dlp");
        write(wrapper,
              "#!/bin/sh\necho \"$$ $*\" >> '" + logPath().toLocal8Bit() +
                  "'\nif [ -n \"$BRENLOW_TEST_YTDLP_HELPER\" ]; then $BRENLOW_TEST_YTDLP_HELPER & echo "
                  "\"helper $!\" >> '" +
                  logPath().toLocal8Bit() + "'; fi\nexec '" + program("yt-dlp").toLocal8Bit() +
                  "' $BRENLOW_TEST_YTDLP_EXTRA \"$@\"\n");
        QFile(wrapper).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::WriteOwner);
        env.set("BRENLOW_YTDLP", wrapper.toLocal8Bit());
        serve(site.dir.path(), requestLog());
    }

    void TearDown() override
    {
        if (Site::get().ready)
            ServedTest::TearDown();
    }

    QString logPath() const { return home.path() + QStringLiteral("/runs.log"); }
    /** The server's note of each request: path, Host, Cookie, Authorization, tab-separated. */
    QString requestLog() const { return home.path() + QStringLiteral("/requests.log"); }
    QStringList requests() const
    {
        return QString::fromUtf8(read(requestLog())).split(u'\n', Qt::SkipEmptyParts);
    }
    /** The argument lines yt-dlp was started with, oldest first (each after its process id). */
    QStringList ytdlpRuns() const
    {
        QStringList runs = QString::fromUtf8(read(logPath())).split(u'\n', Qt::SkipEmptyParts);
        runs.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("helper ")); });
        return runs;
    }
    /** The argument lines alone. */
    QStringList ytdlpArgs() const
    {
        QStringList args = ytdlpRuns();
        for (QString& run : args)
            run = run.section(u' ', 1);
        return args;
    }
    int extractions() const { return static_cast<int>(ytdlpRuns().filter(QStringLiteral(" -J ")).size()); }

    /** The format lines after the header, with the two sound profiles the bridge adds. */
    static QStringList fullTable(const QString& output)
    {
        const qsizetype at = output.indexOf(QStringLiteral("format code  extension  resolution note\r\n"));
        return at < 0 ? QStringList()
                      : output.mid(at).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1);
    }
    /** The page's own format lines: the sound profiles are tested on their own. */
    static QStringList table(const QString& output)
    {
        QStringList lines = fullTable(output);
        lines.removeIf([](const QString& l) {
            return l.contains(QStringLiteral("audio only, best")) ||
                   l.contains(QStringLiteral("audio only, MP3"));
        });
        return lines;
    }

    static QString codeOf(const QString& line) { return line.section(u' ', 0, 0); }

    /** Lists link's formats and takes the default (the last line) for the download, as the window
     *  does; returns the page's own format lines, the listing's output in out. */
    QStringList pickDefault(const QString& link, QString* out = nullptr)
    {
        QString text;
        EXPECT_EQ(stage(2, link, &text), 0) << text.toStdString();
        const QStringList lines = table(text);
        EXPECT_FALSE(lines.isEmpty()) << text.toStdString();
        host->code = codeOf(lines.value(lines.size() - 1));
        if (out)
            *out = text;
        return lines;
    }

    /** The percentages of a download's progress lines, each on a line of its own, never go back and
     *  end at 100. */
    static void expectRisingTo100(const QString& out)
    {
        double last = -1;
        static const QRegularExpression progress(QStringLiteral("^\\[download\\] +([0-9.]+)% of "));
        for (const QString& line : out.split(QStringLiteral("\r\n"))) {
            const QRegularExpressionMatch m = progress.match(line);
            if (!m.hasMatch())
                continue;
            EXPECT_GE(m.captured(1).toDouble(), last) << line.toStdString();
            last = m.captured(1).toDouble();
        }
        EXPECT_EQ(last, 100.0) << out.toStdString();
    }

    /** Starts the download of the stalling page's video and waits until part of it is there. */
    void startStalledDownload()
    {
        pickDefault(url(QStringLiteral("stall.html")));
        events.clear();
        run(5);
        const QString part = downloaded(QStringLiteral("mp4.part"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(part).size() >= 32 * 1024; }, 60000))
            << output().toStdString();
    }

    QStringList appFiles() const
    {
        return QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QString thumbnailFormat() const
    {
        QImageReader reader(app.path() + QStringLiteral("/aaa.jpg"));
        return QString::fromLatin1(reader.format());
    }

    static QString site(const QString& path) { return Site::get().dir.path() + u'/' + path; }
    QString cacheDir() const { return home.path() + QStringLiteral("/XDG_CACHE_HOME/brenlow/pages"); }
    QString cacheEntry(const QString& link) const
    {
        return cacheDir() + u'/' +
               QString::fromLatin1(
                   QCryptographicHash::hash(link.toUtf8(), QCryptographicHash::Sha256).toHex()) +
               QStringLiteral(".json");
    }
    /** Makes the page kept for link a day old. */
    void makeStale(const QString& link)
    {
        QFile f(cacheEntry(link));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }

    QTemporaryDir home;
};

} // namespace brenlow::test
