#pragma once

#include "runner/AVC.h"
#include "tools/ToolSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace brenlow::test {

/** The owner's side of the runner: the default templates with the application folder put in. */
class FakeHost final : public AVCHost
{
public:
    QString templates[5];
    QString folder, link, code, downloadLink, name, appFolder;

    explicit FakeHost(const QString& app) : appFolder(app)
    {
        templates[0] = QStringLiteral(" -s --skip-download -i -F --no-playlist \"");
        templates[1] = QStringLiteral(" -o \"") + app +
                       QStringLiteral("/aaa.jpg\" -i --write-thumbnail --no-playlist \"");
        templates[2] = QStringLiteral(
            " -s --skip-download -i --no-playlist --get-filename -o \"%(uploader)s - %(title)s\" \"");
        templates[3] = QStringLiteral(" -o \"");
        templates[4] = QStringLiteral(".%(ext)s\" -i --no-playlist -f ");
    }
    QString TemplateText(int n) const override { return templates[n - 1]; }
    QString DownloadFolder() const override { return folder; }
    QString CurrentLink() const override { return link; }
    QString FormatCode() const override { return code; }
    QString DownloadLink() const override { return downloadLink; }
    QString DownloadName() const override { return name; }
    QString ApplicationFolder() const override { return appFolder; }
};

/** One event as the owner saw it. */
struct Event
{
    enum Kind
    {
        Converting,
        Data,
        Complete,
        Error
    } kind;
    QString text;
    int exitCode = 0; // for Complete: LastExitCode read inside the handler
};

/** A runner over a temporary application folder, recording every event it raises. The folder gets
 *  the bundled tool (as a link named do.dll) or a script; records land in a folder of their own. */
class RunnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.isValid());
        ASSERT_TRUE(records.isValid());
        qputenv(tool::RecordDirVariable, records.path().toLocal8Bit());
        host = std::make_unique<FakeHost>(app.path());
        avc = std::make_unique<AVC>(*host);
        QObject::connect(avc.get(), &AVC::Converting, [this] { events.push_back({Event::Converting, {}}); });
        QObject::connect(avc.get(), &AVC::DataOutput, [this](QString& s) {
            events.push_back({Event::Data, s});
        });
        QObject::connect(avc.get(), &AVC::Complete, [this] {
            events.push_back({Event::Complete, {}, avc->LastExitCode()});
        });
        QObject::connect(avc.get(), &AVC::ErrorEvent, [this](QString& s) {
            events.push_back({Event::Error, s});
        });
    }

    void TearDown() override
    {
        avc.reset();
        qunsetenv(tool::RecordDirVariable);
    }

    static QString bundledTool()
    {
        return qEnvironmentVariable("BRENLOW_TOOL_DIR") + QStringLiteral("/do.dll");
    }

    void useBundledTool() { ASSERT_TRUE(QFile::link(bundledTool(), toolPath())); }

    /** do.dll becomes a shell script with this body. */
    void useScript(const QByteArray& body)
    {
        QFile f(toolPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }

    QString toolPath() const { return app.path() + QStringLiteral("/do.dll"); }

    bool waitForComplete(int count = 1, int timeoutMs = 30000)
    {
        return QTest::qWaitFor([&] { return completes() >= count; }, timeoutMs);
    }

    int completes() const
    {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [](const Event& e) { return e.kind == Event::Complete; }));
    }

    /** Everything delivered through DataOutput, each chunk cut at its first NUL. */
    QString output() const
    {
        QString all;
        for (const Event& e : events) {
            if (e.kind == Event::Data)
                all += e.text.left(e.text.indexOf(QChar(0)) < 0 ? e.text.size() : e.text.indexOf(QChar(0)));
        }
        return all;
    }

    /** The process id a script wrote into a file of the application folder; 0 when none. */
    pid_t pidFrom(const QString& name) const
    {
        QFile f(app.path() + u'/' + name);
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return static_cast<pid_t>(f.readAll().trimmed().toInt());
    }

    /** Gone, or ended and not yet collected by its parent. */
    static bool isGone(pid_t pid)
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        return close < 0 || text.size() < close + 3 || text.at(close + 2) == 'Z' || text.at(close + 2) == 'X';
    }

    QList<QList<QByteArray>> recorded() const { return tool::ReadRecords(records.path()); }

    void run(int stage)
    {
        bool overwrite = true;
        switch (stage) {
        case 2:
            avc->ConvertMedia2(overwrite);
            break;
        case 3:
            avc->ConvertMedia3(overwrite);
            break;
        case 4:
            avc->ConvertMedia4(overwrite);
            break;
        default:
            avc->ConvertMedia5(overwrite);
            break;
        }
    }

    QTemporaryDir app;
    QTemporaryDir records;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<AVC> avc;
    std::vector<Event> events;
};

} // namespace brenlow::test
