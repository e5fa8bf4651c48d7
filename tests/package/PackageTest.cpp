// The Debian package: built once from this tree with cpack and unpacked into a scratch root. Its
// fields and files are checked as Debian's tools check them, and the installed program is started
// from that read-only tree, headless, to add a catalogue link. Also the install under a prefix and
// its removal.
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

#include <memory>

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
              int limitMs = 120000, const QString& workingDir = {})
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
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

/** The package, built and unpacked once for every test of this program. */
struct BuiltPackage
{
    BuiltPackage()
    {
        if (!scratch.isValid())
            return;
        // Everyone may pass through the scratch folder, so the program can run as nobody.
        QFile::setPermissions(scratch.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                  QFileDevice::ExeOther | QFileDevice::ReadOther);
        root = scratch.path() + QStringLiteral("/root");
        const QString out = scratch.path() + QStringLiteral("/out");
        const RunResult cpack = run(QStringLiteral(BRENLOW_CPACK),
                                    {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                     QStringLiteral(BRENLOW_CPACK_CONFIG), QStringLiteral("-B"), out});
        if (cpack.exitCode != 0) {
            failure = "cpack: " + cpack.output;
            return;
        }
        deb = out + QStringLiteral("/brenlow_7.0_amd64.deb");
        if (!QFileInfo::exists(deb)) {
            failure = "no package: " + entries(out).join(' ').toUtf8();
            return;
        }
        const RunResult unpack = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root});
        if (unpack.exitCode != 0)
            failure = "dpkg-deb -x: " + unpack.output;
    }
    ~BuiltPackage()
    {
        if (QFileInfo::exists(root))
            setTreeWritable(root, true);
    }

    QTemporaryDir scratch;
    QString root;
    QString deb;
    QByteArray failure;
};

class PackageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
            GTEST_SKIP() << "dpkg-deb is not installed";
        static const std::unique_ptr<BuiltPackage> built = std::make_unique<BuiltPackage>();
        m_package = built.get();
        ASSERT_TRUE(m_package->scratch.isValid());
        ASSERT_TRUE(m_package->failure.isEmpty()) << m_package->failure.constData();
    }
    void TearDown() override
    {
        if (m_package && QFileInfo::exists(root()))
            setTreeWritable(root(), true);
    }

    [[nodiscard]] QString root() const { return m_package->root; }
    [[nodiscard]] QString scratch() const { return m_package->scratch.path(); }
    [[nodiscard]] QString deb() const { return m_package->deb; }

    [[nodiscard]] QString field(const QString& name) const
    {
        return QString::fromUtf8(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb(), name}).output)
            .trimmed();
    }

    /** Package names of a relation field (Depends, Recommends), versions left out. */
    [[nodiscard]] QStringList names(const QString& name) const
    {
        QStringList out;
        for (const QString& d : field(name).split(QStringLiteral(", "), Qt::SkipEmptyParts))
            out << d.section(QLatin1Char(' '), 0, 0);
        return out;
    }

    /** A scratch folder of its own for one test. */
    [[nodiscard]] QString folder(const QString& name) const
    {
        const QString path = scratch() + QLatin1Char('/') + name;
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

private:
    BuiltPackage* m_package = nullptr;
};

} // namespace

TEST_F(PackageTest, TheInstalledProgramAddsALinkWithItsThumbnailFromAReadOnlyTree)
{
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
    const QString runtime = writableFolder(scratch(), QStringLiteral("runtime"), asNobody);
    const QString home = writableFolder(scratch(), QStringLiteral("home"), asNobody);
    const QString probeOut = writableFolder(scratch(), QStringLiteral("probe"), asNobody);
    const QString records = writableFolder(scratch(), QStringLiteral("records"), asNobody);
    ASSERT_FALSE(runtime.isEmpty() || home.isEmpty() || probeOut.isEmpty() || records.isEmpty());
    // The build tree may lie where the other user cannot enter: the probe goes with the package.
    const QString probe = scratch() + QStringLiteral("/libprobe.so");
    QFile::remove(probe);
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRENLOW_PROBE), probe));
    QFile::setPermissions(probe, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                     QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    const QStringList before = entries(libDir);

    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), probe);
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
    const RunResult app = run(program, args, env, 120000, home);
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

TEST_F(PackageTest, ItsFieldsIconsAndDocumentsAreThoseOfADebianPackage)
{
    EXPECT_EQ(field(QStringLiteral("Package")), QStringLiteral("brenlow"));
    EXPECT_EQ(field(QStringLiteral("Version")), QStringLiteral("7.0"));
    EXPECT_EQ(field(QStringLiteral("Architecture")), QStringLiteral("amd64"));
    // libqt6gui6 brings the X11 platform plugin; the tool's helpers and the fonts are no link
    // dependency, so they are named.
    const QStringList depends = names(QStringLiteral("Depends"));
    for (const char* needed :
         {"libqt6core6", "libqt6gui6", "libqt6widgets6", "yt-dlp", "ffmpeg", "fonts-wine"})
        EXPECT_TRUE(depends.contains(QLatin1String(needed))) << needed;
    EXPECT_FALSE(depends.contains(QStringLiteral("qt6-qpa-plugins")));
    EXPECT_EQ(names(QStringLiteral("Recommends")),
              (QStringList{QStringLiteral("xdg-utils"), QStringLiteral("qt6-wayland")}));
    for (const QString& name : {QStringLiteral("Maintainer"), QStringLiteral("Homepage")})
        EXPECT_FALSE(field(name).contains(QStringLiteral("www.example.com"))) << name.toStdString();

    // The icon in every size drawn for it, and scalable.
    const QString hicolor = root() + QStringLiteral("/usr/share/icons/hicolor/");
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon(hicolor + QStringLiteral("%1x%1/apps/brenlow.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    QFile svg(hicolor + QStringLiteral("scalable/apps/brenlow.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    EXPECT_EQ(xml.name(), QLatin1String("svg"));

    // A machine-readable copyright and the changelog, compressed.
    const QString doc = root() + QStringLiteral("/usr/share/doc/brenlow/");
    QFile copyright(doc + QStringLiteral("copyright"));
    ASSERT_TRUE(copyright.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copyright.readLine().startsWith("Format: https://www.debian.org/doc/packaging-manuals/"));
    const RunResult changelog =
        run(QStringLiteral("gzip"), {QStringLiteral("-dc"), doc + QStringLiteral("changelog.gz")});
    EXPECT_TRUE(changelog.output.startsWith("brenlow (7.0) ")) << changelog.output.constData();
}

struct Checker
{
    const char* program;
    QStringList args; // %deb, %root: the package file and the unpacked tree
    bool silent;      // success prints nothing on standard output
    friend void PrintTo(const Checker& c, std::ostream* os) { *os << c.program; }
};

class PackageCheckTest : public PackageTest, public ::testing::WithParamInterface<Checker>
{
};

TEST_P(PackageCheckTest, FindsNothingToReport)
{
    const Checker& c = GetParam();
    if (QStandardPaths::findExecutable(QLatin1String(c.program)).isEmpty())
        GTEST_SKIP() << c.program << " is not installed (scripts/deps.sh test installs it)";
    QStringList args;
    for (QString a : c.args)
        args << a.replace(QStringLiteral("%deb"), deb()).replace(QStringLiteral("%root"), root());
    // Standard error may hold notes about how the checker runs (lintian's about root).
    QProcess p;
    p.start(QLatin1String(c.program), args);
    ASSERT_TRUE(p.waitForStarted(30000));
    ASSERT_TRUE(p.waitForFinished(300000));
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << out.constData() << p.readAllStandardError().constData();
    if (c.silent) {
        EXPECT_TRUE(out.trimmed().isEmpty()) << out.constData();
    }
}

INSTANTIATE_TEST_SUITE_P(
    DebianTools, PackageCheckTest,
    ::testing::Values(
        Checker{"lintian",
                {QStringLiteral("--fail-on"), QStringLiteral("warning,error"), QStringLiteral("%deb")},
                true},
        Checker{
            "desktop-file-validate", {QStringLiteral("%root/usr/share/applications/brenlow.desktop")}, true},
        Checker{"appstreamcli",
                {QStringLiteral("validate"), QStringLiteral("--no-net"),
                 QStringLiteral("%root/usr/share/metainfo/com.example.Brenlow.metainfo.xml")},
                false}),
    [](const ::testing::TestParamInfo<Checker>& info) {
        return QString::fromLatin1(info.param.program).remove(QLatin1Char('-')).toStdString();
    });

class CommandLineTest : public PackageTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(CommandLineTest, PrintsAndEndsWithoutADisplay)
{
    // With no display at all, a window could not even start.
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const RunResult r =
        run(root() + QStringLiteral("/usr/bin/brenlow"), {QLatin1String(GetParam())}, env, 30000);
    ASSERT_EQ(r.exitCode, 0) << r.output.constData();
    if (qstrcmp(GetParam(), "--version") == 0) {
        EXPECT_EQ(r.output, QByteArray("Brenlow 7.0\n"));
    } else {
        EXPECT_TRUE(r.output.startsWith("Usage: brenlow [--help | --version]\n")) << r.output.constData();
        EXPECT_TRUE(r.output.contains("BRENLOW_YTDLP"));
    }
}

INSTANTIATE_TEST_SUITE_P(Options, CommandLineTest, ::testing::Values("--version", "--help"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param + 2);
                         });

TEST_F(PackageTest, APrefixInstallIsRemovedWholeByTheUninstallScript)
{
    const QString prefix = folder(QStringLiteral("prefix"));
    const RunResult install =
        run(QStringLiteral(BRENLOW_CMAKE), {QStringLiteral("--install"), QStringLiteral(BRENLOW_BUILD_DIR),
                                            QStringLiteral("--prefix"), prefix});
    ASSERT_EQ(install.exitCode, 0) << install.output.constData();
    EXPECT_TRUE(QFileInfo(prefix + QStringLiteral("/bin/brenlow")).isSymLink());
    EXPECT_TRUE(QFileInfo(prefix + QStringLiteral("/lib/brenlow/do.dll")).isExecutable());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRENLOW_BUILD_DIR"), QStringLiteral(BRENLOW_BUILD_DIR));
    const RunResult removal = run(QStringLiteral(BRENLOW_UNINSTALL), {prefix}, env);
    ASSERT_EQ(removal.exitCode, 0) << removal.output.constData();
    EXPECT_TRUE(QFileInfo::exists(prefix));
    EXPECT_EQ(entries(prefix), QStringList()) << removal.output.constData();
}

TEST_F(PackageTest, InstallingAndPurgingItLeavesOnlyTheRecordsOfDpkg)
{
    // A root of its own with an empty dpkg database; what the package depends on is not there.
    const QString target = folder(QStringLiteral("dpkg-root"));
    QDir().mkpath(target + QStringLiteral("/var/lib/dpkg/info"));
    QDir().mkpath(target + QStringLiteral("/var/lib/dpkg/updates"));
    QFile status(target + QStringLiteral("/var/lib/dpkg/status"));
    ASSERT_TRUE(status.open(QIODevice::WriteOnly));
    status.close();
    const QStringList options{QStringLiteral("--root=") + target, QStringLiteral("--force-depends"),
                              QStringLiteral("--force-not-root"),
                              QStringLiteral("--force-script-chrootless")};

    const RunResult install = run(QStringLiteral("dpkg"), options + QStringList{QStringLiteral("-i"), deb()});
    ASSERT_EQ(install.exitCode, 0) << install.output.constData();
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/usr/lib/brenlow/brenlow")).isExecutable());
    const RunResult purge =
        run(QStringLiteral("dpkg"), options + QStringList{QStringLiteral("-P"), QStringLiteral("brenlow")});
    ASSERT_EQ(purge.exitCode, 0) << purge.output.constData();
    // Only the database folder that was there before.
    EXPECT_EQ(entries(target), QStringList{QStringLiteral("var")});
    EXPECT_EQ(entries(target + QStringLiteral("/var")), QStringList{QStringLiteral("lib")});
    EXPECT_EQ(entries(target + QStringLiteral("/var/lib")), QStringList{QStringLiteral("dpkg")});
}
