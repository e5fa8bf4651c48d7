// Where the window keeps its thumbnail file: a private folder of its own, never beside the program.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "app/Settings.h"
#include "controls/grid/ListGrid.h"
#include "runner/AVC.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

namespace {

/** Sets an environment variable for the life of the object, or unsets it for a null value. */
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    Q_DISABLE_COPY_MOVE(ScopedEnv)

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

/** Every window of these tests keeps its thumbnail under a runtime folder of the test's own. */
class ThumbnailFolderTest : public FormTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        m_env = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        FormTest::SetUp();
    }
    void TearDown() override
    {
        FormTest::TearDown();
        m_env.reset();
    }

    [[nodiscard]] QStringList runtimeEntries() const
    {
        return QDir(m_runtime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir m_runtime;
    std::unique_ptr<ScopedEnv> m_env;
};

TEST_F(ThumbnailFolderTest, StartUpMakesAPrivateFolderAndPutsItIntoTheThumbnailTemplate)
{
    const QString folder = form->ThumbnailFolder();
    const QFileInfo info(folder);
    ASSERT_TRUE(info.isDir()) << folder.toStdString();
    EXPECT_EQ(info.absoluteDir().absolutePath(), QDir(m_runtime.path()).absolutePath());
    EXPECT_NE(QDir(folder).absolutePath(), QDir(m_appDir.path()).absolutePath());
    // Only its owner may look into it.
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
    EXPECT_EQ(form->ThumbnailPath(), folder + QStringLiteral("/aaa.jpg"));
    EXPECT_EQ(form->TemplateText(2), QStringLiteral(" -o \"") + folder +
                                         QStringLiteral("/aaa.jpg\" -i --write-thumbnail --no-playlist \""));
    // do.dll is still looked for in the application folder.
    EXPECT_EQ(form->ApplicationFolder(), m_appDir.path());
    EXPECT_EQ(form->TemplateText(1), QString::fromLatin1(brenlow::Templates::txt1));
    EXPECT_EQ(form->TemplateText(3), QString::fromLatin1(brenlow::Templates::txt3));
    EXPECT_EQ(form->TemplateText(4), QString::fromLatin1(brenlow::Templates::txt4));
    EXPECT_EQ(form->TemplateText(5), QString::fromLatin1(brenlow::Templates::txt5));
}

TEST_F(ThumbnailFolderTest, TheToolWritesTheThumbnailThereAndNothingBesideTheProgram)
{
    const QStringList before = QDir(m_appDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    addVideo(Links::Basic);
    ASSERT_EQ(form->ListGrid1()->Rows(), 1);
    const QList<QStringList> runs = recordedRuns();
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[1].value(1), form->ThumbnailPath());
    EXPECT_TRUE(QFileInfo::exists(form->ThumbnailPath()));
    EXPECT_FALSE(form->ListGrid1()->CellPictureGet(0, brenlow::Col::Picture).isNull());
    EXPECT_EQ(QDir(m_appDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TEST_F(ThumbnailFolderTest, TwoWindowsKeepTheirThumbnailsApart)
{
    Form1 other(m_appDir.path());
    ASSERT_NE(other.ThumbnailFolder(), form->ThumbnailFolder());
    EXPECT_EQ(runtimeEntries().size(), 2);

    addVideo(Links::Basic);
    ASSERT_TRUE(QFileInfo::exists(form->ThumbnailPath()));
    const QImage first(form->ThumbnailPath());

    // The second window's new link deletes and rewrites its own file only.
    dialogs().inputAnswers.push_back(Links::Second);
    other.Command1_Click();
    ASSERT_TRUE(
        waitFor([&] { return other.CurrentStage() == Form1::ItemAdded && !other.AVC1()->IsRunning(); }));
    ASSERT_TRUE(QFileInfo::exists(other.ThumbnailPath()));
    ASSERT_TRUE(QFileInfo::exists(form->ThumbnailPath()));
    EXPECT_EQ(QImage(form->ThumbnailPath()), first);
    EXPECT_NE(QImage(other.ThumbnailPath()), first);

    // Closing one window leaves the other's folder alone.
    const QString otherFolder = other.ThumbnailFolder();
    other.close();
    EXPECT_FALSE(QFileInfo::exists(otherFolder));
    EXPECT_TRUE(QFileInfo::exists(form->ThumbnailPath()));
}

TEST_F(ThumbnailFolderTest, ShutdownRemovesTheFolderWithWhateverTheToolLeftInIt)
{
    addVideo(Links::Basic);
    const QString folder = form->ThumbnailFolder();
    QFile leftover(folder + QStringLiteral("/aaa.jpg.part"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("partial");
    leftover.close();
    // Closing while a run is under way as well.
    startHangingRun();
    form->close();
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(runtimeEntries().isEmpty());
    // A window that never wrote a thumbnail leaves nothing behind either.
    form = std::make_unique<Form1>(m_appDir.path());
    EXPECT_EQ(runtimeEntries().size(), 1);
    form.reset();
    EXPECT_TRUE(runtimeEntries().isEmpty());
}

TEST_F(ThumbnailFolderTest, WithoutAUsableRuntimeFolderTheTemporaryFolderServes)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const ScopedEnv tmpdir("TMPDIR", temp.path().toLocal8Bit());
    for (const QByteArray& runtime : {QByteArray(), QByteArray(""), QByteArray("relative/folder"),
                                      (m_runtime.path() + "/missing").toLocal8Bit()}) {
        const ScopedEnv env("XDG_RUNTIME_DIR", runtime);
        auto window = std::make_unique<Form1>(m_appDir.path());
        const QString folder = window->ThumbnailFolder();
        EXPECT_EQ(QFileInfo(folder).absoluteDir().absolutePath(), QDir(temp.path()).absolutePath())
            << runtime.constData();
        EXPECT_TRUE(QFileInfo(folder).isDir());
        window.reset();
        EXPECT_FALSE(QFileInfo::exists(folder));
    }
}

TEST_F(ThumbnailFolderTest, ARuntimeFolderWithQuotesAndBlanksReachesTheToolWhole)
{
    const QString odd = m_runtime.path() + QStringLiteral("/run \"time\" 'x'");
    ASSERT_TRUE(QDir().mkpath(odd));
    // Only a runtime folder no one else may enter is used.
    ASSERT_TRUE(QFile::setPermissions(odd, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const ScopedEnv env("XDG_RUNTIME_DIR", odd.toLocal8Bit());
    form = std::make_unique<Form1>(m_appDir.path());
    ASSERT_TRUE(form->ThumbnailFolder().startsWith(odd + QStringLiteral("/brenlow-")));
    addVideo(Links::Basic);
    const QList<QStringList> runs = recordedRuns();
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[1], (QStringList{"-o", form->ThumbnailPath(), "-i", "--write-thumbnail", "--no-playlist",
                                    Links::Basic}));
    EXPECT_FALSE(form->ListGrid1()->CellPictureGet(0, brenlow::Col::Picture).isNull());
}
