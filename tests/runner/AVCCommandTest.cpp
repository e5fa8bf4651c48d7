// The command lines the runner builds, and the argument vectors the tool receives.

#include "RunnerFixture.h"

#include <functional>

using namespace brenlow::test;

namespace {

QList<QByteArray> utf8(const QStringList& list)
{
    QList<QByteArray> out;
    for (const QString& s : list)
        out << s.toUtf8();
    return out;
}

class AVCCommandTest : public RunnerTest
{
};

TEST_F(AVCCommandTest, CommandLinesKeepTheDesignedText)
{
    useBundledTool();
    const QString tool = app.path() + QStringLiteral("/do.dll");
    host->link = QStringLiteral("https://test.brenlow.example/basic");
    run(2);
    EXPECT_EQ(avc->LastCommandLine(),
              tool + QStringLiteral(
                         " -s --skip-download -i -F --no-playlist \"https://test.brenlow.example/basic\"\""));
    ASSERT_TRUE(waitForComplete(1));
    run(3);
    EXPECT_EQ(avc->LastCommandLine(), tool + QStringLiteral(" -o \"") + app.path() +
                                          QStringLiteral("/aaa.jpg\" -i --write-thumbnail --no-playlist "
                                                         "\"https://test.brenlow.example/basic\"\""));
    ASSERT_TRUE(waitForComplete(2));
    run(4);
    EXPECT_EQ(avc->LastCommandLine(),
              tool + QStringLiteral(" -s --skip-download -i --no-playlist --get-filename -o "
                                    "\"%(uploader)s - %(title)s\" \"https://test.brenlow.example/basic\"\""));
    ASSERT_TRUE(waitForComplete(3));
    host->folder = QStringLiteral("/tmp/out/");
    host->name = QStringLiteral("Test Uploader - Basic Video");
    host->code = QStringLiteral("18");
    host->downloadLink = QStringLiteral("https://test.brenlow.example/basic");
    host->folder = app.path() + QStringLiteral("/");
    run(5);
    EXPECT_EQ(avc->LastCommandLine(),
              tool + QStringLiteral(" -o \"") + app.path() +
                  QStringLiteral("/Test Uploader - Basic Video.%(ext)s\" -i --no-playlist "
                                 "-f 18 -v -c -w https://test.brenlow.example/basic\""));
    ASSERT_TRUE(waitForComplete(4));
}

TEST_F(AVCCommandTest, TheToolReceivesEveryValueByteForByte)
{
    useBundledTool();
    // Quotes, blanks, backslashes (also before a quote), tabs, non-ASCII and template-like text.
    const QString link = QStringLiteral("https://x.example/a b\"c\\\" -o \"/etc/x\\\\\"\t日本 %(title)s");
    host->link = link;
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    run(3);
    ASSERT_TRUE(waitForComplete(2));
    run(4);
    ASSERT_TRUE(waitForComplete(3));

    host->folder = app.path() + QStringLiteral("/we \"ird\\ fold'er/");
    host->name = QStringLiteral("Name \"with\" \\quotes\\ é");
    host->code = QStringLiteral("1 8\"");
    host->downloadLink = link;
    run(5);
    ASSERT_TRUE(waitForComplete(4));

    const QString thumb = app.path() + QStringLiteral("/aaa.jpg");
    const QList<QList<QByteArray>> expected = {
        utf8({"-s", "--skip-download", "-i", "-F", "--no-playlist", link}),
        utf8({"-o", thumb, "-i", "--write-thumbnail", "--no-playlist", link}),
        utf8({"-s", "--skip-download", "-i", "--no-playlist", "--get-filename", "-o",
              "%(uploader)s - %(title)s", link}),
        utf8({"-o", host->folder + host->name + ".%(ext)s", "-i", "--no-playlist", "-f", host->code, "-v",
              "-c", "-w", link}),
    };
    const auto runs = recorded();
    ASSERT_EQ(runs.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(runs.at(i), expected.at(i)) << "run " << i;
    EXPECT_EQ(utf8(avc->LastArguments()), expected.at(3));
    // The link is unknown to the tool: it says so and fails.
    EXPECT_TRUE(output().contains(QStringLiteral("ERROR: Unsupported URL")));
    EXPECT_EQ(events.back().exitCode, 1);
}

TEST_F(AVCCommandTest, AnApplicationFolderWithQuotesReachesTheToolWhole)
{
    QTemporaryDir odd(QDir::tempPath() + QStringLiteral("/br \"odd\" \\dir-XXXXXX"));
    ASSERT_TRUE(odd.isValid());
    host = std::make_unique<FakeHost>(odd.path());
    avc = std::make_unique<AVC>(*host);
    ASSERT_TRUE(QFile::link(bundledTool(), odd.path() + QStringLiteral("/do.dll")));
    bool finished = false;
    QObject::connect(avc.get(), &AVC::Complete, [&] { finished = true; });
    host->link = QStringLiteral("https://test.brenlow.example/basic");
    bool overwrite = true;
    avc->ConvertMedia3(overwrite);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 30000));
    EXPECT_EQ(avc->LastArguments().at(1), odd.path() + QStringLiteral("/aaa.jpg"));
    EXPECT_TRUE(QFile::exists(odd.path() + QStringLiteral("/aaa.jpg")));
    EXPECT_EQ(avc->LastExitCode(), 0);
}

struct EmptyValue
{
    const char* what;
    int stage;
    std::function<void(FakeHost&)> set;
    QString commandLineTail; // after the tool's path; empty: not checked
    QStringList arguments;
};

class AVCEmptyValueTest : public RunnerTest, public ::testing::WithParamInterface<EmptyValue>
{
};

TEST_P(AVCEmptyValueTest, KeepsItsPlaceOrLeavesOutItsOption)
{
    useScript("exit 0");
    GetParam().set(*host);
    run(GetParam().stage);
    if (!GetParam().commandLineTail.isEmpty()) {
        EXPECT_EQ(avc->LastCommandLine(), toolPath() + GetParam().commandLineTail);
    }
    EXPECT_EQ(avc->LastArguments(), GetParam().arguments);
    ASSERT_TRUE(waitForComplete());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, AVCEmptyValueTest,
    ::testing::Values(
        // An empty link gives two quotes and an empty argument.
        EmptyValue{"Link", 2, [](FakeHost&) {},
                   QStringLiteral(" -s --skip-download -i -F --no-playlist \"\"\""),
                   QStringList{"-s", "--skip-download", "-i", "-F", "--no-playlist", ""}},
        EmptyValue{"FormatCode", 5,
                   [](FakeHost& h) {
                       h.folder = QStringLiteral("/d/");
                       h.name = QStringLiteral("n");
                       h.downloadLink = QStringLiteral("L");
                   },
                   QString(),
                   QStringList{"-o", "/d/n.%(ext)s", "-i", "--no-playlist", "-v", "-c", "-w", "L"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(AVCCommandTest, ValuesAreReadAtTheMomentOfEachCall)
{
    useScript("exit 0");
    host->link = QStringLiteral("first");
    run(2);
    ASSERT_TRUE(waitForComplete(1));
    host->link = QStringLiteral("second");
    host->templates[0] = QStringLiteral(" --changed \"");
    run(2);
    EXPECT_EQ(avc->LastArguments(), (QStringList{"--changed", "second"}));
    ASSERT_TRUE(waitForComplete(2));
}

} // namespace
