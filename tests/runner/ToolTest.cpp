// The bundled tool on its own: the forms it prints and the files it writes.

#include "tools/ToolSupport.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result
{
    int exitCode = -1;
    QByteArray out;
};

class ToolTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    static Result runTool(const QStringList& args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(qEnvironmentVariable("BRENLOW_TOOL_DIR") + QStringLiteral("/do.dll"), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), p.readAll()};
    }

    static Result formats(const QString& link)
    {
        return runTool({"-s", "--skip-download", "-i", "-F", "--no-playlist", link});
    }

    Result download(const QString& link, const QString& code, const QString& name = QStringLiteral("video"))
    {
        return runTool({"-o", dir.path() + u'/' + name + ".%(ext)s", "-i", "--no-playlist", "-f", code, "-v",
                        "-c", "-w", link});
    }

    static QJsonObject catalogueEntry(const QString& link)
    {
        QFile f(QStringLiteral(BRENLOW_TOOL_CATALOGUE_FILE));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        for (const QJsonValue& v : QJsonDocument::fromJson(f.readAll()).object().value(u"videos").toArray()) {
            if (v.toObject().value(u"link").toString() == link)
                return v.toObject();
        }
        return {};
    }

    static qint64 formatSize(const QString& link, const QString& code)
    {
        for (const QJsonValue& f : catalogueEntry(link).value(u"formats").toArray()) {
            if (f.toObject().value(u"code").toString() == code)
                return static_cast<qint64>(f.toObject().value(u"size").toDouble());
        }
        return -1;
    }

    QTemporaryDir dir;
};

const QString kBasic = QStringLiteral("https://test.brenlow.example/basic");

TEST_F(ToolTest, TheFormatTableHasTheRealToolsForm)
{
    const Result r = formats(kBasic);
    EXPECT_EQ(r.exitCode, 0);
    const QList<QByteArray> lines = r.out.split('\n');
    const qsizetype header = lines.indexOf("format code  extension  resolution note\r");
    ASSERT_GE(header, 1); // informational lines come first
    EXPECT_EQ(lines.at(header + 2), QByteArray("18           mp4        640x360    360p  209k , avc1.42001E, "
                                               "mp4a.40.2@ 96k (44100Hz), 160.00KiB\r"));
    // Every line ends in CR LF, and every table line starts with its code padded to 13 columns.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines.at(i).endsWith('\r'));
    for (qsizetype i = header + 1; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-z-]+ +"))
                        .match(QString::fromUtf8(lines.at(i)))
                        .hasMatch());
}

TEST_F(ToolTest, NonNumericCodesAndBareLineFeedsAreOffered)
{
    const Result mixed = formats(QStringLiteral("https://test.brenlow.example/nonnumeric"));
    EXPECT_TRUE(mixed.out.contains("\r\nhls-360p     mp4        640x360    360p  hls"));
    const Result lf = formats(QStringLiteral("https://test.brenlow.example/lf"));
    EXPECT_FALSE(lf.out.contains('\r'));
    EXPECT_TRUE(lf.out.contains("format code  extension  resolution note\n"));
}

TEST_F(ToolTest, NamesComeAsUploaderDashTitle)
{
    auto name = [](const QString& link) {
        return runTool({"-s", "--skip-download", "-i", "--no-playlist", "--get-filename", "-o",
                        "%(uploader)s - %(title)s", link});
    };
    EXPECT_TRUE(name(QStringLiteral("https://test.brenlow.example/unicode"))
                    .out.endsWith(QStringLiteral("Zoë Ångström - Ünïcödé — 日本語のビデオ 🎬\r\n").toUtf8()));
    const Result cleaning = name(QStringLiteral("https://test.brenlow.example/cleaning"));
    for (const char* c : {"!", "@",  "#", "$", "%", "^", "&", "*", "(", ")", "/",      "\\",     "+", "|",
                          ":", "\"", "<", ">", "?", ",", "{", "}", "[", "]", "\u060C", "\u061B", "'", "="})
        EXPECT_TRUE(cleaning.out.contains(c)) << c;
    const Result none = name(QStringLiteral("https://test.brenlow.example/no-name"));
    EXPECT_NE(none.exitCode, 0);
    EXPECT_FALSE(none.out.contains(" - No Name"));
}

TEST_F(ToolTest, ThumbnailsAreRealJpegsOrMissingOrCorrupt)
{
    const QString path = dir.path() + QStringLiteral("/aaa.jpg");
    auto thumb = [&](const QString& link) {
        return runTool({"-o", path, "-i", "--write-thumbnail", "--no-playlist", link});
    };
    EXPECT_EQ(thumb(kBasic).exitCode, 0);
    const QImage img(path, "JPEG");
    EXPECT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(320, 180));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(thumb(QStringLiteral("https://test.brenlow.example/no-thumbnail")).exitCode, 0);
    EXPECT_FALSE(QFile::exists(path));
    thumb(QStringLiteral("https://test.brenlow.example/corrupt-thumbnail"));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(QImage(path).isNull());
}

TEST_F(ToolTest, ADownloadWritesTheCatalogueSizeWithCarriageReturnProgress)
{
    const Result r = download(kBasic, QStringLiteral("18"));
    EXPECT_EQ(r.exitCode, 0);
    QFile file(dir.path() + QStringLiteral("/video.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const qint64 size = formatSize(kBasic, QStringLiteral("18"));
    EXPECT_EQ(file.size(), size);
    EXPECT_EQ(file.readAll(), brenlow::tool::Content("basic", 0, size));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/video.mp4.part")));
    const QRegularExpression progress(
        QStringLiteral("\r\\[download\\] +[0-9]+\\.[0-9]% of [0-9.]+KiB at +[0-9.]+[KM]iB/s ETA [0-9:]+"));
    EXPECT_GE(r.out.count("\r[download] "), 3);
    EXPECT_TRUE(progress.match(QString::fromUtf8(r.out)).hasMatch()) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\r[download] 100% of 160.00KiB in 00:00\r\n"));
}

TEST_F(ToolTest, ContinueResumesAnInterruptedDownloadAndNoOverwritesKeepsTheFile)
{
    const QString link = QStringLiteral("https://test.brenlow.example/interrupted");
    const Result broken = download(link, QStringLiteral("18"));
    EXPECT_NE(broken.exitCode, 0);
    const QString part = dir.path() + QStringLiteral("/video.mp4.part");
    ASSERT_TRUE(QFile::exists(part));
    const qint64 partial = QFileInfo(part).size();
    EXPECT_GT(partial, 0);
    const Result resumed = download(link, QStringLiteral("18"));
    EXPECT_EQ(resumed.exitCode, 0);
    EXPECT_TRUE(resumed.out.contains("Resuming download at byte " + QByteArray::number(partial)));
    QFile file(dir.path() + QStringLiteral("/video.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), brenlow::tool::Content("interrupted", 0, 256 * 1024));
    file.close();

    // -w: an existing file is never overwritten.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("mine");
    file.close();
    const Result again = download(link, QStringLiteral("18"));
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.contains("has already been downloaded"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("mine"));
}

TEST_F(ToolTest, ErrorsArePrintedWithANonZeroExit)
{
    const Result unknown = formats(QStringLiteral("https://test.brenlow.example/not-in-the-catalogue"));
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.out.contains("ERROR: Unsupported URL"));
    EXPECT_FALSE(unknown.out.contains("format code"));
    EXPECT_EQ(download(QStringLiteral("https://test.brenlow.example/exit3"), QStringLiteral("18")).exitCode,
              3);
    EXPECT_EQ(download(kBasic, QStringLiteral("999")).exitCode, 1);
    EXPECT_EQ(runTool({"--bogus", kBasic}).exitCode, 2);
}

TEST_F(ToolTest, EveryRunRecordsItsArgumentsExactly)
{
    QTemporaryDir records;
    qputenv(brenlow::tool::RecordDirVariable, records.path().toLocal8Bit());
    runTool({"-F", "a \"b\"\\ c", "--x"});
    runTool({"-F", "é"});
    qunsetenv(brenlow::tool::RecordDirVariable);
    const auto runs = brenlow::tool::ReadRecords(records.path());
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs.at(0), (QList<QByteArray>{"-F", "a \"b\"\\ c", "--x"}));
    EXPECT_EQ(runs.at(1), (QList<QByteArray>{"-F", "é"}));
}

} // namespace
