#include "app/LinkIntake.h"
#include "app/NameCleaner.h"
#include "app/ProfileParser.h"
#include "app/ProgressParser.h"
#include "app/ToolReason.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace brenlow;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

const QString header = QStringLiteral("format code  extension  resolution note");

} // namespace

TEST(ColumnGaps, RunsOfSixToEightBlanksBecomeCommas)
{
    EXPECT_EQ(ReplaceColumnGaps(QStringLiteral("18") + blanks(11) + QStringLiteral("mp4")),
              QStringLiteral("18,   mp4"));
    EXPECT_EQ(ReplaceColumnGaps(QStringLiteral("a") + blanks(14) + QStringLiteral("b")),
              QStringLiteral("a,,b"));
    EXPECT_EQ(ReplaceColumnGaps(QStringLiteral("a") + blanks(15) + QStringLiteral("b")),
              QStringLiteral("a,,b"));
    EXPECT_EQ(ReplaceColumnGaps(QStringLiteral("a") + blanks(13) + QStringLiteral("b")),
              QStringLiteral("a,") + blanks(5) + QStringLiteral("b"));
    EXPECT_EQ(ReplaceColumnGaps(QStringLiteral("a") + blanks(5) + QStringLiteral("b")),
              QStringLiteral("a") + blanks(5) + QStringLiteral("b"));
    EXPECT_EQ(ReplaceColumnGaps(QStringLiteral("a") + blanks(16) + QStringLiteral("b")),
              QStringLiteral("a,,b"));
}

TEST(FormatTable, EntriesAreUpperCasedNumericLinesAndTheListKeepsEverything)
{
    const QString out = QStringLiteral("[info] Available formats for x:\r\n") + header +
                        QStringLiteral("\r\n") + QStringLiteral("18") + blanks(11) +
                        QStringLiteral("mp4        640x360    medium\r\n") + QStringLiteral("hls-1") +
                        blanks(8) + QStringLiteral("mp4\r\n") + QStringLiteral("1234") + blanks(8) +
                        QStringLiteral("webm\r\n") + QStringLiteral("22  mp4\r\n") + QStringLiteral("137") +
                        blanks(8) + QStringLiteral("mp4 (best)\r\n");
    const ParsedProfiles p = ParseFormatTable(out);
    ASSERT_EQ(p.Entries.size(), 2);
    // The non-numeric line continues the entry before it; the four-digit and the short-gap codes are skipped.
    EXPECT_EQ(p.Entries[0], QStringLiteral("18,   MP4,640X360    MEDIUMHLS-1,MP4"));
    EXPECT_EQ(p.Entries[1], QStringLiteral("137,MP4 (BEST)"));
    EXPECT_TRUE(p.ProfileList.startsWith(QStringLiteral("<<<18,   mp4")));
    EXPECT_TRUE(p.ProfileList.contains(QStringLiteral("<<<hls-1,mp4<<<1234,webm<<<22  mp4<<<")));
    EXPECT_EQ(EntriesOfProfileList(p.ProfileList), p.Entries);
}

TEST(FormatTable, NoHeaderOrOnlyNonNumericCodesGiveNoEntries)
{
    EXPECT_TRUE(ParseFormatTable(QStringLiteral("ERROR: Unsupported URL: x\r\n")).Entries.isEmpty());
    EXPECT_TRUE(ParseFormatTable(QStringLiteral("ERROR: Unsupported URL: x\r\n")).ProfileList.isEmpty());
    const QString onlyNames = header + QStringLiteral("\r\nhls-240") + blanks(8) +
                              QStringLiteral("mp4\r\ndash") + blanks(8) + QStringLiteral("webm\r\n");
    EXPECT_TRUE(ParseFormatTable(onlyNames).Entries.isEmpty());
}

TEST(FormatTable, BareLineFeedsCountAsLineBreaksAndChunkTailsAreGlued)
{
    const QString out = header + QStringLiteral("\n18") + blanks(11) +
                        QStringLiteral("mp4   640x\r\n360\n22") + blanks(11) + QStringLiteral("mp4\n");
    const ParsedProfiles p = ParseFormatTable(out);
    // "360" forms a number and has no comma in position 2 to 4: it is lost, as the table format says.
    ASSERT_EQ(p.Entries.size(), 2);
    EXPECT_EQ(p.Entries[0], QStringLiteral("18,   MP4   640X"));
    EXPECT_EQ(p.Entries[1], QStringLiteral("22,   MP4"));
    const QString tail = header + QStringLiteral("\n18") + blanks(11) + QStringLiteral("mp4   ") +
                         QStringLiteral("\r\nmedium\n");
    EXPECT_EQ(ParseFormatTable(tail).Entries, QStringList{QStringLiteral("18,   MP4   MEDIUM")});
    // Exactly eight blanks after a two-digit code leave no blank before the comma test: not an entry.
    EXPECT_TRUE(ParseFormatTable(header + QStringLiteral("\n18") + blanks(8) + QStringLiteral("mp4\n"))
                    .Entries.isEmpty());
}

TEST(FormatCode, IsTheTextBeforeTheFirstCommaOrNothing)
{
    EXPECT_EQ(FormatCodeOf(QStringLiteral("18,   MP4,  640X360")), QStringLiteral("18"));
    EXPECT_EQ(FormatCodeOf(QStringLiteral(",X")), QString());
    EXPECT_FALSE(FormatCodeOf(QStringLiteral("best")).has_value());
    EXPECT_FALSE(FormatCodeOf(QString()).has_value());
}

TEST(CleanName, RemovesForbiddenCharactersAndTurnsSlashesIntoHyphens)
{
    EXPECT_EQ(CleanName(QStringLiteral("AC/DC \\ Live: \"Best\" <of> 1999?")),
              QStringLiteral("AC-DC - Live Best of 1999"));
    EXPECT_EQ(CleanName(QStringLiteral("a!@#$%^&*()b+|:{}[]',=c")), QStringLiteral("abc"));
    EXPECT_EQ(CleanName(QStringLiteral("سلام\u060C دنیا\u061B")), QStringLiteral("سلام دنیا"));
    EXPECT_EQ(CleanName(QStringLiteral("  Ünïcödé – 日本語  ")), QStringLiteral("  Ünïcödé – 日本語  "));
    EXPECT_TRUE(CleanName(QStringLiteral("!?:<>|")).isEmpty());
}

TEST(NameFromOutput, IsTheLastLineThatIsNotTheToolsChatter)
{
    EXPECT_EQ(NameFromOutput(QStringLiteral("Uploader - Title\r\n")), QStringLiteral("Uploader - Title"));
    EXPECT_EQ(
        NameFromOutput(QStringLiteral("[youtube] x: Downloading webpage\nWARNING: slow\r\nA - B\n\n  \n")),
        QStringLiteral("A - B"));
    EXPECT_EQ(NameFromOutput(QStringLiteral("  A - B  ")), QStringLiteral("  A - B  "));
    EXPECT_TRUE(NameFromOutput(QStringLiteral("\r\n\n")).isEmpty());
    EXPECT_TRUE(NameFromOutput(QString()).isEmpty());
    // Warnings and errors after the name, and notes alone, are no name.
    EXPECT_EQ(NameFromOutput(QStringLiteral("A - B\nWARNING: [youtube] falling back\nERROR: x\n")),
              QStringLiteral("A - B"));
    EXPECT_TRUE(
        NameFromOutput(QStringLiteral("[youtube] abc: Downloading webpage\r\n[info] x\r\n")).isEmpty());
    EXPECT_TRUE(NameFromOutput(QStringLiteral("ERROR: This video is unavailable\n")).isEmpty());
    // An uploader in brackets is a name.
    EXPECT_EQ(NameFromOutput(QStringLiteral("[Official] Band - Song\n")),
              QStringLiteral("[Official] Band - Song"));
}

TEST(FileNames, AreShortenedAtACharacterBoundaryToFitTheFileSystem)
{
    const QString ascii(300, QLatin1Char('a'));
    EXPECT_EQ(ShortenToBytes(ascii, 200), QString(200, QLatin1Char('a')));
    EXPECT_EQ(ShortenToBytes(QStringLiteral("short"), 200), QStringLiteral("short"));
    // Three bytes each: 66 of them fit 200 bytes.
    const QString cjk = QString(100, QChar(0x65E5));
    EXPECT_EQ(ShortenToBytes(cjk, 200), QString(66, QChar(0x65E5)));
    // Never between the halves of a surrogate pair or a letter and its accent.
    QString emoji;
    for (int i = 0; i < 60; ++i)
        emoji += QStringLiteral("\U0001F3AC");
    const QString cut = ShortenToBytes(emoji, 201);
    EXPECT_EQ(cut.toUtf8().size(), 200);
    EXPECT_FALSE(cut.back().isHighSurrogate());
    const QString accented = QString(199, QLatin1Char('a')) + QStringLiteral("e\u0301z");
    EXPECT_EQ(ShortenToBytes(accented, 201), QString(199, QLatin1Char('a')));
}

TEST(FileNames, TakenNamesGetANumberAndEmptyNamesAFallback)
{
    QStringList taken;
    const auto isTaken = [&taken](const QString& n) { return taken.contains(n); };
    EXPECT_EQ(DownloadBaseName(QStringLiteral("A - B"), isTaken), QStringLiteral("A - B"));
    taken << QStringLiteral("A - B");
    EXPECT_EQ(DownloadBaseName(QStringLiteral("A - B"), isTaken), QStringLiteral("A - B (2)"));
    taken << QStringLiteral("A - B (2)");
    EXPECT_EQ(DownloadBaseName(QStringLiteral("A - B"), isTaken), QStringLiteral("A - B (3)"));
    EXPECT_EQ(DownloadBaseName(QStringLiteral("  \t "), isTaken), QStringLiteral("Untitled Video"));
    EXPECT_EQ(DownloadBaseName(QString(), isTaken), QStringLiteral("Untitled Video"));
    EXPECT_EQ(DownloadBaseName(QStringLiteral("a\tb\nc"), isTaken), QStringLiteral("a b c"));
    // A long name keeps room for its number.
    const QString longName(400, QChar(0x00E9));
    const QString first = DownloadBaseName(longName, isTaken);
    EXPECT_LE(first.toUtf8().size(), MaxNameBytes);
    taken << first;
    const QString second = DownloadBaseName(longName, isTaken);
    EXPECT_TRUE(second.endsWith(QStringLiteral(" (2)")));
    EXPECT_LE(second.toUtf8().size(), MaxNameBytes);
}

TEST(Links, AreTrimmedAndRefusedWhenTheToolWouldTakeThemForOptions)
{
    EXPECT_EQ(CheckLink(QStringLiteral(" \t https://a.example/v?x=1 \r\n")).Link,
              QStringLiteral("https://a.example/v?x=1"));
    EXPECT_TRUE(CheckLink(QStringLiteral("https://a.example/v \"quoted\" 'x' $(id)")).Refusal.isEmpty());
    EXPECT_TRUE(CheckLink(QStringLiteral(" \n ")).Link.isEmpty());
    for (const QString& bad :
         {QStringLiteral("--exec=touch x"), QStringLiteral("  -o/tmp/x"),
          QStringLiteral("https://a.example/v\tx"), QStringLiteral("https://a.example/\x01"),
          QStringLiteral("https://a.example/\nline"), QStringLiteral("https://a.example/\x7f")}) {
        EXPECT_FALSE(CheckLink(bad).Refusal.isEmpty()) << bad.toStdString();
    }
    EXPECT_TRUE(CheckLink(QStringLiteral("-x")).Refusal.contains(QStringLiteral("\"-\"")));
}

TEST(FailureReasons, AreTheToolsLastErrorLinesOrItsLastLines)
{
    EXPECT_EQ(
        FailureReason(QStringLiteral("[info] a\r\nERROR: first\r\nmore\r\nERROR: second\r\n[x] tail\r\n"), 1),
        QStringLiteral("ERROR: first\nERROR: second"));
    // Progress lines end in carriage returns; "ERROR:" inside a line is no error line.
    EXPECT_EQ(
        FailureReason(
            QStringLiteral("\r[download]  5.0% of 1MiB\r[download]  9.0% of 1MiB\nsaid ERROR: no\n"), 1),
        QStringLiteral("[download]  5.0% of 1MiB\n[download]  9.0% of 1MiB\nsaid ERROR: no"));
    QString many;
    for (int i = 0; i < 9; ++i)
        many += QStringLiteral("ERROR: %1\n").arg(i);
    EXPECT_EQ(FailureReason(many, 1).split(QLatin1Char('\n')).size(), 5);
    EXPECT_TRUE(FailureReason(many, 1).endsWith(QStringLiteral("ERROR: 8")));
    EXPECT_LE(FailureReason(QStringLiteral("ERROR: ") + QString(5000, QLatin1Char('x')), 1).size(), 300);
    EXPECT_TRUE(FailureReason(QString(), 3).contains(QStringLiteral("exit code 3")));
    EXPECT_TRUE(FailureReason(QStringLiteral("\r\n"), -1).contains(QStringLiteral("abnormally")));
}

TEST(Progress, ChunkTextEndsAtTheFirstNul)
{
    QString chunk = QStringLiteral("abc");
    chunk += QString(253, QChar(u'\0'));
    EXPECT_EQ(ChunkText(chunk), QStringLiteral("abc"));
    EXPECT_EQ(ChunkText(QStringLiteral("plain")), QStringLiteral("plain"));
}

TEST(Status, FourFramesPerStage)
{
    EXPECT_EQ(StatusText(1, 0), QStringLiteral("Please Wait Downloading Profile List..."));
    EXPECT_EQ(StatusText(2, 1), QStringLiteral("Please Wait Downloading Thumbnail>.."));
    EXPECT_EQ(StatusText(3, 2), QStringLiteral("Please Wait Downloading Video Name.>."));
    EXPECT_EQ(StatusText(5, 3), QStringLiteral("Please Wait Downloading..>"));
    EXPECT_TRUE(StatusText(0, 0).isEmpty());
    EXPECT_TRUE(StatusText(4, 1).isEmpty());
}

// Random outputs made of the tokens the parsers react to: no crash, and the invariants hold.
TEST(ParsersFuzz, RandomOutputsKeepTheInvariants)
{
    const QStringList tokens{header,
                             QStringLiteral("\r\n"),
                             QStringLiteral("\n"),
                             QStringLiteral("\r"),
                             blanks(6),
                             blanks(7),
                             blanks(8),
                             blanks(3),
                             QStringLiteral("18"),
                             QStringLiteral("1234"),
                             QStringLiteral(","),
                             QStringLiteral("<<<"),
                             QStringLiteral("<><>"),
                             QStringLiteral("mp4"),
                             QStringLiteral("[download]"),
                             QStringLiteral("% of"),
                             QStringLiteral("45.3"),
                             QStringLiteral("1e999"),
                             QStringLiteral("-"),
                             QStringLiteral("."),
                             QStringLiteral("é日"),
                             QStringLiteral("/\\:*?\"<>|"),
                             QString(QChar(u'\0')),
                             QStringLiteral("\u060C\u061B"),
                             QStringLiteral("\t"),
                             QStringLiteral("150")};
    quint32 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const QString forbidden = QStringLiteral("!@#$%^&*()/\\+|:\"<>?,{}[]\u060C\u061B'=");
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int n = static_cast<int>(next() % 40);
        for (int i = 0; i < n; ++i)
            text += tokens[static_cast<qsizetype>(next() % tokens.size())];

        const ParsedProfiles p = ParseFormatTable(text);
        for (const QString& e : p.Entries) {
            EXPECT_EQ(e, e.toUpper());
            const int comma = e.indexOf(QLatin1Char(','));
            EXPECT_TRUE(comma >= 1 && comma <= 3) << e.toStdString();
            EXPECT_TRUE(FormatCodeOf(e).has_value());
        }
        // The stored list re-derives the same entries, unless the tool itself printed the separator.
        if (!text.contains(QStringLiteral("<<<"))) {
            EXPECT_EQ(EntriesOfProfileList(p.ProfileList), p.Entries);
        }

        const std::optional<double> percent = ProgressFigure(ChunkText(text));
        EXPECT_TRUE(!percent || (*percent >= 0.0 && *percent <= 100.0));
        EXPECT_FALSE(p.ProfileList.contains(QLatin1Char('\t')));

        const QString clean = CleanName(text);
        for (QChar c : forbidden)
            EXPECT_FALSE(clean.contains(c)) << round;
        EXPECT_EQ(CleanName(clean), clean);

        const QString file = DownloadBaseName(clean, [](const QString&) { return false; });
        EXPECT_FALSE(file.isEmpty());
        EXPECT_LE(file.toUtf8().size(), MaxNameBytes);
        EXPECT_FALSE(std::any_of(file.cbegin(), file.cend(),
                                 [](QChar c) { return c.category() == QChar::Other_Control; }));
        EXPECT_EQ(QString::fromUtf8(file.toUtf8()), file) << round;
    }
}

TEST(FormatTable, ControlCharactersInALineBecomeBlanks)
{
    const QString output = header + QStringLiteral("\r\n18          mp4        640x360\tHLS\x01 note\r\n") +
                           QStringLiteral("22          mp4        1280x720   720p\x1b[0m\r\n");
    const ParsedProfiles p = ParseFormatTable(output);
    ASSERT_EQ(p.Entries.size(), 2);
    const QStringList texts = QStringList(p.Entries) << p.ProfileList;
    for (const QString& text : texts) {
        EXPECT_FALSE(std::any_of(text.cbegin(), text.cend(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        })) << text.toStdString();
    }
    EXPECT_EQ(FormatCodeOf(p.Entries[0]), QStringLiteral("18"));
    EXPECT_TRUE(p.Entries[0].contains(QStringLiteral("HLS")));
    EXPECT_EQ(EntriesOfProfileList(p.ProfileList), p.Entries);
}

struct FigureCase
{
    const char* chunk;
    std::optional<double> figure;
};

class ProgressFigures : public ::testing::TestWithParam<FigureCase>
{
};

TEST_P(ProgressFigures, OnlyFiguresABarCanShowCount)
{
    const std::optional<double> figure = ProgressFigure(QString::fromLatin1(GetParam().chunk));
    EXPECT_EQ(figure.has_value(), GetParam().figure.has_value()) << GetParam().chunk;
    if (figure && GetParam().figure) {
        EXPECT_DOUBLE_EQ(*figure, *GetParam().figure);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Progress, ProgressFigures,
    ::testing::Values(FigureCase{"[download]  45.3% of 10.00MiB at 1.2MiB/s ETA 00:05", 45.3},
                      FigureCase{"xx\r\n[download] 100% of 3MiB", 100.0},
                      // The figure of the last download line counts.
                      FigureCase{"[download] Destination: a.mp4\n[download]  7.0% of 1MiB", 7.0},
                      FigureCase{"\r[download]   8.0% of 1MiB\r[download]  9.5% of 1MiB\r[dow", 9.5},
                      FigureCase{"[download]  1 2.5x% of", 12.5}, FigureCase{"[download] 1e1% of", 10.0},
                      FigureCase{"[download]   0.0% of 1MiB", 0.0},
                      // No figure: nothing, not 0.
                      FigureCase{"[info] nothing here", std::nullopt},
                      FigureCase{"[download] 45.3", std::nullopt},
                      FigureCase{"MiB/s ETA 00:03\r[downl", std::nullopt},
                      FigureCase{"[download] Destination: x% of", std::nullopt}, FigureCase{"", std::nullopt},
                      FigureCase{"[download] 150% of 1MiB", std::nullopt},
                      FigureCase{"[download] -20% of 1MiB", std::nullopt},
                      FigureCase{"[download] 1e10% of 1MiB", std::nullopt},
                      FigureCase{"[download] 1e999% of 1MiB", std::nullopt},
                      FigureCase{"[download] 100.5% of 1MiB", std::nullopt},
                      // A bad figure does not hide a good one before it.
                      FigureCase{"[download]  40.0% of 1MiB\r[download] 150% of 1MiB", 40.0},
                      FigureCase{"[download] 100% of 1MiB", 100.0},
                      FigureCase{"[download] 0% of 1MiB", 0.0}));

struct SpeedCase
{
    const char* chunk;
    const char* shown; // nullptr: nothing to show
};

class ProgressSpeeds : public ::testing::TestWithParam<SpeedCase>
{
};

TEST_P(ProgressSpeeds, TellSpeedAndTimeLeftOfTheLastLine)
{
    const std::optional<QString> shown = ProgressSpeedText(QString::fromLatin1(GetParam().chunk));
    if (!GetParam().shown) {
        EXPECT_FALSE(shown.has_value()) << shown.value_or(QString()).toStdString();
    } else {
        EXPECT_EQ(shown.value_or(QStringLiteral("(nothing)")), QString::fromLatin1(GetParam().shown));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Progress, ProgressSpeeds,
    ::testing::Values(SpeedCase{"[download]  45.3% of 10.00MiB at    2.10MiB/s ETA 00:35",
                                "2.1 MiB/s, 0:35 left"},
                      SpeedCase{"[download]   1.0% of ~ 1.20GiB at  512.00KiB/s ETA 01:02:03 (frag 1/9)",
                                "512 KiB/s, 1:02:03 left"},
                      SpeedCase{"[download]  9.0% of 1MiB at 1.00MiB/s ETA 00:00:05", "1.0 MiB/s, 0:05 left"},
                      SpeedCase{"[download]  5.0% of 1MiB at Unknown speed ETA Unknown", nullptr},
                      SpeedCase{"[download]  5.0% of 1MiB at Unknown speed ETA 00:07", "0:07 left"},
                      SpeedCase{"\r[download]  5.0% of 1MiB at 1.00KiB/s ETA 10:00\r[download]  6.0% of 1MiB "
                                "at 3.50KiB/s ETA 09:00",
                                "3.5 KiB/s, 9:00 left"},
                      SpeedCase{"[download] 100% of 3.00MiB in 00:02", nullptr},
                      SpeedCase{"[download] Destination: at 5MiB/s ETA 00:01.mp4", nullptr}));

TEST(Links, AreTakenWholeUpToTheStatedLimitAndRefusedBeyondIt)
{
    const QString base = QStringLiteral("https://a.example/v?x=");
    const QString longest = base + QString(MaxLinkLength - base.size(), QLatin1Char('x'));
    EXPECT_EQ(CheckLink(longest).Link, longest);
    EXPECT_TRUE(CheckLink(longest).Refusal.isEmpty());
    const CheckedLink tooLong = CheckLink(longest + QLatin1Char('y'));
    EXPECT_TRUE(tooLong.Refusal.contains(QString::number(MaxLinkLength))) << tooLong.Refusal.toStdString();
    // Within the limit, a link of any characters fits one argument of the tool.
    EXPECT_LT(QString(MaxLinkLength, QChar(0x65E5)).toUtf8().size(), 128 * 1024);
}

TEST(FailureReasons, AShortReasonIsTheFirstErrorLineWithoutItsMarker)
{
    EXPECT_EQ(ShortReason(QStringLiteral("[youtube] x: Downloading\r\nERROR: This video is unavailable\r\n"
                                         "ERROR: second\r\n"),
                          1),
              QStringLiteral("This video is unavailable"));
    EXPECT_EQ(ShortReason(QStringLiteral("said ERROR: no\nlast words\n"), 1), QStringLiteral("last words"));
    const QString cut =
        ShortReason(QStringLiteral("ERROR: ") + QString(5000, QLatin1Char('x')) + QStringLiteral("\tend"), 1);
    EXPECT_LE(cut.size(), ShortReasonLength);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_TRUE(ShortReason(QString(), 3).contains(QStringLiteral("exit code 3")));
    EXPECT_FALSE(ShortReason(QStringLiteral("ERROR: a\tb\x01"), 1).contains(QLatin1Char('\t')));
}
