// The Debian package: built from this tree with cpack, unpacked into a scratch root, and the
// installed program started from that read-only tree, headless, to add a catalogue link.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t NobodyId = 65534;

struct RunResult
{
    int exitCode = -1;
    QByteArray output;
};

RunResult run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {},
              int limitMs = 120000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    RunResult r;
    if (!p.waitForStarted(30000))
        return r;
    if (!p.waitForFinished(limitMs)) {
        p.kill();
        p.waitForFinished(10000);
        r.output = p.readAll();
        return r;
    }
    r.output = p.readAll();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

/** A folder the test owns that the installed program may write to, even when it runs as nobody. */
QString writableFolder(const QString& base, const QString& name, bool asNobody)
{
    const QString path = base + QLatin1Char('/') + name;
    QDir().mkpath(path);
    if (asNobody && chown(QFile::encodeName(path).constData(), NobodyId, NobodyId) != 0)
        return {};
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

void setTreeWritable(const QString& root, bool writable)
{
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths << it.next();
    for (const QString& path : paths) {
        struct stat st
        {
        };
        if (lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISLNK(st.st_mode))
            continue;
        const mode_t mode = writable ? (st.st_mode | S_IWUSR) : (st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
        chmod(QFile::encodeName(path).constData(), mode);
    }
}

/** Pixels of the bundled tool's "basic" thumbnail: shades of a steel blue, where blue stands well
 *  above green and green well above a low red. The placeholder picture is grey, the link text pure
 *  blue and the list's header a paler blue. */
int thumbnailPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 110 && c.blue() - c.green() > 40 && c.green() - c.red() > 40 && c.green() > 80)
                ++count;
        }
    }
    return count;
}

class PackageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
            GTEST_SKIP() << "dpkg-deb is not installed";
        ASSERT_TRUE(m_scratch.isValid());
        // Everyone may pass through the scratch folder, so the program can run as nobody.
        QFile::setPermissions(m_scratch.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                    QFileDevice::ExeOther | QFileDevice::ReadOther);
    }
    void TearDown() override
    {
        if (QFileInfo::exists(root()))
            setTreeWritable(root(), true);
    }

    [[nodiscard]] QString root() const { return m_scratch.path() + QStringLiteral("/root"); }

    /** Builds the package into the scratch folder and unpacks it into root(). */
    void buildAndUnpack()
    {
        const QString out = m_scratch.path() + QStringLiteral("/out");
        const RunResult cpack = run(QStringLiteral(BRENLOW_CPACK),
                                    {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                     QStringLiteral(BRENLOW_CPACK_CONFIG), QStringLiteral("-B"), out});
        ASSERT_EQ(cpack.exitCode, 0) << cpack.output.constData();
        m_deb = out + QStringLiteral("/brenlow_7.0_amd64.deb");
        ASSERT_TRUE(QFileInfo::exists(m_deb)) << entries(out).join(' ').toStdString();
        const RunResult unpack = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, root()});
        ASSERT_EQ(unpack.exitCode, 0) << unpack.output.constData();
    }

    [[nodiscard]] QString field(const QString& name) const
    {
        return QString::fromUtf8(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, name}).output)
            .trimmed();
    }

    QTemporaryDir m_scratch;
    QString m_deb;
};

} // namespace

TEST_F(PackageTest, TheInstalledProgramAddsALinkWithItsThumbnailFromAReadOnlyTree)
{
    buildAndUnpack();
    if (HasFatalFailure())
        return;

    // The package's description.
    EXPECT_EQ(field(QStringLiteral("Package")), QStringLiteral("brenlow"));
    EXPECT_EQ(field(QStringLiteral("Version")), QStringLiteral("7.0"));
    EXPECT_EQ(field(QStringLiteral("Architecture")), QStringLiteral("amd64"));
    const QStringList depends = field(QStringLiteral("Depends")).split(QStringLiteral(", "));
    for (const char* needed : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "qt6-qpa-plugins", "yt-dlp",
                               "ffmpeg", "fonts-wine"}) {
        const bool listed = std::any_of(depends.begin(), depends.end(), [&](const QString& d) {
            return d.section(QLatin1Char(' '), 0, 0) == QLatin1String(needed);
        });
        EXPECT_TRUE(listed) << needed;
    }

    // What it installs.
    const QString libDir = root() + QStringLiteral("/usr/lib/brenlow");
    EXPECT_TRUE(QFileInfo(libDir + QStringLiteral("/brenlow")).isExecutable());
    EXPECT_TRUE(QFileInfo(libDir + QStringLiteral("/do.dll")).isExecutable());
    const QFileInfo command(root() + QStringLiteral("/usr/bin/brenlow"));
    EXPECT_TRUE(command.isSymLink());
    EXPECT_EQ(command.canonicalFilePath(),
              QFileInfo(libDir + QStringLiteral("/brenlow")).canonicalFilePath());
    QFile desktop(root() + QStringLiteral("/usr/share/applications/brenlow.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    EXPECT_TRUE(entry.contains("\nExec=/usr/bin/brenlow\n")) << entry.constData();
    EXPECT_TRUE(entry.contains("\nIcon=brenlow\n"));
    EXPECT_FALSE(
        QImage(root() + QStringLiteral("/usr/share/icons/hicolor/256x256/apps/brenlow.png")).isNull());
    EXPECT_GT(QFileInfo(root() + QStringLiteral("/usr/share/man/man1/brenlow.1.gz")).size(), 0);
    QFile metainfo(root() + QStringLiteral("/usr/share/metainfo/com.example.Brenlow.metainfo.xml"));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&metainfo);
    QString launchable;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("launchable"))
            launchable = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(launchable, QStringLiteral("brenlow.desktop"));

    // Started from the unpacked tree, which nobody may write to. Root writes anywhere, so then the
    // program runs as nobody.
    setTreeWritable(root(), false);
    const bool asNobody = geteuid() == 0;
    const QString runtime = writableFolder(m_scratch.path(), QStringLiteral("runtime"), asNobody);
    const QString home = writableFolder(m_scratch.path(), QStringLiteral("home"), asNobody);
    const QString probeOut = writableFolder(m_scratch.path(), QStringLiteral("probe"), asNobody);
    const QString records = writableFolder(m_scratch.path(), QStringLiteral("records"), asNobody);
    ASSERT_FALSE(runtime.isEmpty() || home.isEmpty() || probeOut.isEmpty() || records.isEmpty());
    const QStringList before = entries(libDir);

    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(BRENLOW_PROBE));
    env.insert(QStringLiteral("BRENLOW_PROBE_LINK"), QStringLiteral("https://test.brenlow.example/basic"));
    env.insert(QStringLiteral("BRENLOW_PROBE_OUT"), probeOut);
    env.insert(QStringLiteral("BRENLOW_TOOL_RECORD_DIR"), records);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("TMPDIR"), runtime);
    // Sanitizer builds: their options pass through, and the probe is preloaded ahead of the runtime.
    // Leaks are the other suites' business; the leak checker's tracer does not survive the
    // change of user.
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (own.contains(QLatin1String(name)))
            env.insert(QLatin1String(name), own.value(QLatin1String(name)));
    }
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) +
                   QStringLiteral(":verify_asan_link_order=0:detect_leaks=0"));
    QString program = command.absoluteFilePath();
    QStringList args;
    if (asNobody) {
        args = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), program};
        program = QStringLiteral("setpriv");
    }
    const RunResult app = run(program, args, env);
    ASSERT_EQ(app.exitCode, 0) << app.output.constData();

    QFile result(probeOut + QStringLiteral("/result.txt"));
    ASSERT_TRUE(result.open(QIODevice::ReadOnly)) << app.output.constData();
    ASSERT_EQ(result.readAll().trimmed(), QByteArray("row")) << app.output.constData();
    EXPECT_FALSE(QImage(probeOut + QStringLiteral("/window.png")).isNull());
    const QImage list(probeOut + QStringLiteral("/list.png"));
    ASSERT_FALSE(list.isNull());
    // The row's picture is the video's thumbnail, not the placeholder: a good part of its cell.
    EXPECT_GT(thumbnailPixels(list), 2500);

    // The tool wrote the thumbnail into the window's private folder, which shutdown removed.
    QStringList thumbnailRun;
    for (const QString& name : QDir(records).entryList({QStringLiteral("*.args")}, QDir::Files, QDir::Name)) {
        QFile f(records + QLatin1Char('/') + name);
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains("--write-thumbnail")) {
            f.seek(0);
            thumbnailRun = QString::fromUtf8(f.readAll()).split(QChar(0));
        }
    }
    ASSERT_GE(thumbnailRun.size(), 2);
    EXPECT_TRUE(thumbnailRun[1].startsWith(runtime + QStringLiteral("/brenlow-")))
        << thumbnailRun[1].toStdString();
    EXPECT_TRUE(thumbnailRun[1].endsWith(QStringLiteral("/aaa.jpg")));
    EXPECT_TRUE(entries(runtime).filter(QStringLiteral("brenlow-")).isEmpty())
        << entries(runtime).join(' ').toStdString();
    EXPECT_EQ(entries(libDir), before);
}
