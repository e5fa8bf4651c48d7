// The command lines built from the templates, and the argument vectors the tool receives: each
// value arrives whole as its own argument, whatever it holds.

#include "runner/CommandBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace brenlow;

const QString tool = QStringLiteral("/opt/b l/do.dll");
const QString txt1 = QStringLiteral(" -s --skip-download -i -F --no-playlist \"");
const QString txt3 =
    QStringLiteral(" -s --skip-download -i --no-playlist --get-filename -o \"%(uploader)s - %(title)s\" \"");
const QString txt4 = QStringLiteral(" -o \"");
const QString txt5 = QStringLiteral(".%(ext)s\" -i --no-playlist -f ");

QString txt2(const QString& folder)
{
    return QStringLiteral(" -o \"") + folder +
           QStringLiteral("/aaa.jpg\" -i --write-thumbnail --no-playlist \"");
}

struct Case
{
    const char* name;
    std::function<ToolCommand()> build;
    QString line; // after the tool path
    QStringList arguments;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class CommandBuilderTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(CommandBuilderTest, BuildsTheDesignedLineAndOneArgumentPerValue)
{
    const Case& c = GetParam();
    const ToolCommand command = c.build();
    EXPECT_EQ(command.CommandLine, tool + c.line);
    EXPECT_EQ(command.Arguments, c.arguments);
}

const QStringList formatOptions{"-s", "--skip-download", "-i", "-F", "--no-playlist"};

INSTANTIATE_TEST_SUITE_P(
    Runs, CommandBuilderTest,
    ::testing::Values(
        Case{"FormatList", [] { return CommandBuilder::FormatList(tool, txt1, "https://t.example/v"); },
             txt1 + "https://t.example/v\"\"", formatOptions + QStringList{"https://t.example/v"}},
        Case{"EmptyLinkGivesTwoQuotesAndAnEmptyArgument",
             [] { return CommandBuilder::FormatList(tool, txt1, {}); }, txt1 + "\"\"",
             formatOptions + QStringList{""}},
        Case{"ALinkWithQuotesAndBlanksStaysOneArgument",
             [] { return CommandBuilder::FormatList(tool, txt1, "a\" -x \"b c\\\""); },
             txt1 + "a\" -x \"b c\\\"\"\"", formatOptions + QStringList{"a\" -x \"b c\\\""}},
        Case{"ThumbnailFolderIsData",
             [] {
                 return CommandBuilder::Thumbnail(tool, txt2("/r/a \"q"), "/r/a \"q", "https://t.example/v");
             },
             txt2("/r/a \"q") + "https://t.example/v\"\"",
             {"-o", "/r/a \"q/aaa.jpg", "-i", "--write-thumbnail", "--no-playlist", "https://t.example/v"}},
        Case{"VideoName",
             [] { return CommandBuilder::VideoName(tool, txt3, "l"); },
             txt3 + "l\"\"",
             {"-s", "--skip-download", "-i", "--no-playlist", "--get-filename", "-o",
              "%(uploader)s - %(title)s", "l"}},
        Case{"Download",
             [] {
                 return CommandBuilder::Download(tool, txt4, txt5, "/d/", "Up - Title", "18",
                                                 "https://t.example/v");
             },
             txt4 + "/d/Up - Title" + txt5 + "18 -v -c -w https://t.example/v\"",
             {"-o", "/d/Up - Title.%(ext)s", "-i", "--no-playlist", "-f", "18", "-v", "-c", "-w",
              "https://t.example/v"}},
        Case{"AnEmptyFormatCodeLeavesOutTheFormatOption",
             [] { return CommandBuilder::Download(tool, txt4, txt5, "/d/", "n", {}, "l"); },
             txt4 + "/d/n" + txt5 + " -v -c -w l\"",
             {"-o", "/d/n.%(ext)s", "-i", "--no-playlist", "-v", "-c", "-w", "l"}},
        Case{"DownloadValuesThatLookLikeOptionsStayData",
             [] {
                 return CommandBuilder::Download(tool, txt4, txt5, "/d \"x\"/", "a\" -f \"b", "1 2", "-x y");
             },
             txt4 + "/d \"x\"/a\" -f \"b" + txt5 + "1 2 -v -c -w -x y\"",
             {"-o", "/d \"x\"/a\" -f \"b.%(ext)s", "-i", "--no-playlist", "-f", "1 2", "-v", "-c", "-w",
              "-x y"}},
        Case{"TemplatesHoldingPlaceholderCharactersStillSplice",
             [] { return CommandBuilder::FormatList(tool, QStringLiteral(" -F \uE000\uE001 \""), "l"); },
             QStringLiteral(" -F \uE000\uE001 \"l\"\""),
             {"-F", QStringLiteral("\uE000\uE001"), "l"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
