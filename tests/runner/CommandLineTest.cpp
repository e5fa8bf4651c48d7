#include "runner/CommandLine.h"

#include <gtest/gtest.h>

using brenlow::SplitCommandLine;

namespace {

struct SplitCase
{
    const char* line;
    QStringList expected;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitCommandLineTest, FollowsTheWindowsRules)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitCommandLine(QString::fromUtf8(c.line)), c.expected) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"   \t ", {}}, SplitCase{"a b\tc", {"a", "b", "c"}},
                      SplitCase{"  lead  trail  ", {"lead", "trail"}}, SplitCase{"\"a b\" c", {"a b", "c"}},
                      SplitCase{"x\"a b\"y", {"xa by"}}, SplitCase{"\"\"", {""}},
                      SplitCase{"a \"\" b", {"a", "", "b"}},
                      // Two quotes inside a quoted part stand for one.
                      SplitCase{"\"say \"\"hi\"\"\"", {"say \"hi\""}},
                      // The stray quote the templates of the first stages leave behind.
                      SplitCase{"-F \"link\"\"", {"-F", "link\""}},
                      // Backslashes are literal unless a quote follows.
                      SplitCase{"a\\b c\\\\d", {"a\\b", "c\\\\d"}}, SplitCase{"\\\"a", {"\"a"}},
                      SplitCase{"\\\\\"a b\"", {"\\a b"}}, SplitCase{"\\\\\\\"a", {"\\\"a"}},
                      SplitCase{"\"C:\\dir\\\\\" next", {"C:\\dir\\", "next"}},
                      // An open quoted part ends with the text.
                      SplitCase{"a \"b c", {"a", "b c"}}, SplitCase{"a \"", {"a", ""}},
                      SplitCase{"\"%(uploader)s - %(title)s\" \"x\"", {"%(uploader)s - %(title)s", "x"}},
                      SplitCase{"日本 \"é ü\"", {"日本", "é ü"}}));

} // namespace
