// The window's reading of a list of videos and the bookkeeping of adding them one by one.

#include "app/PlaylistIntake.h"

#include <gtest/gtest.h>

using brenlow::ParsePlaylist;
using brenlow::PlaylistIntake;

namespace {

struct ListCase
{
    const char* name;
    const char* output;
    int count; // -1: no list
};

class ParsePlaylistTest : public ::testing::TestWithParam<ListCase>
{
};

TEST_P(ParsePlaylistTest, OnlyTheListFormGivesLinks)
{
    const ListCase c = GetParam();
    const auto links = ParsePlaylist(QString::fromUtf8(c.output));
    if (c.count < 0) {
        EXPECT_FALSE(links.has_value());
        return;
    }
    ASSERT_TRUE(links.has_value());
    ASSERT_EQ(links->size(), c.count);
    for (qsizetype i = 0; i < links->size(); ++i)
        EXPECT_EQ(links->at(i), QStringLiteral("https://s.example/v%1").arg(i + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ParsePlaylistTest,
    ::testing::Values(
        ListCase{"CrLf",
                 "[info] 2 videos in X\r\n[playlist] 2\r\n[playlist-video] https://s.example/v1\r\n"
                 "[playlist-video] https://s.example/v2\r\n",
                 2},
        ListCase{"BareLineFeedsAndChatter",
                 "WARNING: slow\n[playlist] 3\n[playlist-video] https://s.example/v1\nWARNING: again\n"
                 "[playlist-video] https://s.example/v2\n[playlist-video] https://s.example/v3",
                 3},
        ListCase{"AFormatTable",
                 "format code  extension  resolution note\r\n18           mp4        360p\r\n", -1},
        ListCase{"LinesWithoutTheCount", "[playlist-video] https://s.example/v1\r\n", -1},
        ListCase{"ACountInAnotherLine", "[playlist] 2 videos\r\n[playlist-video] https://s.example/v1\r\n",
                 -1},
        ListCase{"AnEmptyList", "[playlist] 0\r\n", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaylistIntakeTest, CountsTheVideosAndNamesOnlyAFewFailures)
{
    QStringList links;
    for (int i = 1; i <= 30; ++i)
        links << QStringLiteral("https://s.example/v%1").arg(i);
    PlaylistIntake intake(links);
    EXPECT_EQ(brenlow::PlaylistQuestion(intake.Count()),
              QStringLiteral("This link holds 30 videos. Add all 30?"));
    QStringList seen;
    while (const auto link = intake.Next()) {
        seen << *link;
        if (intake.Position() == 3) {
            EXPECT_EQ(intake.StatusText(), QStringLiteral("Adding video 3 of 30..."));
        }
        if (intake.Position() % 2 == 0)
            intake.Failed(QStringLiteral("reason %1").arg(intake.Position()));
    }
    EXPECT_EQ(seen, links);
    EXPECT_EQ(intake.FailureCount(), 15);
    EXPECT_EQ(intake.FailureMessage(), QStringLiteral("15 of 30 videos could not be added."));
    EXPECT_TRUE(intake.FailureDetails().startsWith(QStringLiteral("https://s.example/v2\nreason 2\n\n")));
    EXPECT_TRUE(intake.FailureDetails().contains(QStringLiteral("reason 30")));
    EXPECT_TRUE(PlaylistIntake({QStringLiteral("x")}).FailureMessage().isEmpty());
}

} // namespace
