#pragma once

// The fixture of the tests of the bundled tool's bridge to yt-dlp: a home of its own (yt-dlp's and
// the tool's caches and settings), yt-dlp run through a script that notes each run, the local site
// served, and the runner driving the bundled tool as the window does.

#include "MediaSite.h"
#include "runner/RunnerFixture.h"

#include <QImageReader>

namespace brenlow::test {

using namespace brenlow::test::media;

class YtDlpTest : public RunnerTest
{
protected:
    void SetUp() override
    {
        Site& site = Site::get();
        if (!site.ready)
            GTEST_SKIP() << site.why.toStdString();
        RunnerTest::SetUp();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(downloads.isValid());
        // yt-dlp and the tool keep their caches and read their settings under these.
        for (const char* var : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            saved.append({var, qgetenv(var), qEnvironmentVariableIsSet(var)});
            qputenv(var, (home.path() + u'/' + QLatin1String(var)).toLocal8Bit());
        }
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
        saved.append({"BRENLOW_YTDLP", qgetenv("BRENLOW_YTDLP"), qEnvironmentVariableIsSet("BRENLOW_YTDLP")});
        qputenv("BRENLOW_YTDLP", wrapper.toLocal8Bit());

        port = startServer(server, site.dir.path(), requestLog());
        ASSERT_GT(port, 0);
        useBundledTool();
        host->folder = downloads.path() + u'/';
        host->name = QStringLiteral("clip");
    }

    void TearDown() override
    {
        if (!Site::get().ready)
            return;
        RunnerTest::TearDown();
        server.kill();
        server.waitForFinished(5000);
        for (auto s = saved.rbegin(); s != saved.rend(); ++s) {
            if (s->wasSet)
                qputenv(s->name, s->value);
            else
                qunsetenv(s->name);
        }
    }

    QString logPath() const { return home.path() + QStringLiteral("/runs.log"); }
    /** The server's note of each request: path, Host, Cookie, Authorization, tab-separated. */
    QString requestLog() const { return home.path() + QStringLiteral("/requests.log"); }
    QStringList requests() const
    {
        return QString::fromUtf8(read(requestLog())).split(u'\n', Qt::SkipEmptyParts);
    }
    /** Sets an environment variable for the rest of the test. */
    void setEnv(const char* name, const QByteArray& value)
    {
        saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    /** The argument lines yt-dlp was started with, oldest first (each after its process id). */
    QStringList ytdlpRuns() const
    {
        QStringList runs = QString::fromUtf8(read(logPath())).split(u'\n', Qt::SkipEmptyParts);
        runs.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("helper ")); });
        return runs;
    }
    int extractions() const { return static_cast<int>(ytdlpRuns().filter(QStringLiteral(" -J ")).size()); }

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

    /** The format lines after the header. */
    QStringList table(const QString& output) const
    {
        const qsizetype at = output.indexOf(QStringLiteral("format code  extension  resolution note\r\n"));
        if (at < 0)
            return {};
        // The page's own formats: the two sound profiles the bridge adds are tested on their own.
        QStringList lines = output.mid(at).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1);
        lines.removeIf([](const QString& l) {
            return l.contains(QStringLiteral("audio only, best")) ||
                   l.contains(QStringLiteral("audio only, MP3"));
        });
        return lines;
    }

    static QString codeOf(const QString& line) { return line.section(u' ', 0, 0); }

    QStringList appFiles() const
    {
        return QDir(app.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QString thumbnailFormat() const
    {
        QImageReader reader(app.path() + QStringLiteral("/aaa.jpg"));
        return QString::fromLatin1(reader.format());
    }

    QString downloaded(const QString& ext) const { return downloads.path() + QStringLiteral("/clip.") + ext; }

    struct Saved
    {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> saved;
    QTemporaryDir home, downloads;
    QProcess server;
    int port = 0;
};

} // namespace brenlow::test
