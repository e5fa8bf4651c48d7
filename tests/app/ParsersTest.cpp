#include "app/NameCleaner.h"
#include "app/ProfileParser.h"
#include "app/ProgressParser.h"

#include <gtest/gtest.h>

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

TEST(NameFromOutput, IsTheLastNonEmptyLine)
{
    EXPECT_EQ(NameFromOutput(QStringLiteral("Uploader - Title\r\n")), QStringLiteral("Uploader - Title"));
    EXPECT_EQ(
        NameFromOutput(QStringLiteral("[youtube] x: Downloading webpage\nWARNING: slow\r\nA - B\n\n  \n")),
        QStringLiteral("A - B"));
    EXPECT_EQ(NameFromOutput(QStringLiteral("  A - B  ")), QStringLiteral("  A - B  "));
    EXPECT_TRUE(NameFromOutput(QStringLiteral("\r\n\n")).isEmpty());
    EXPECT_TRUE(NameFromOutput(QString()).isEmpty());
}

TEST(Progress, CutsTheFigureOfTheFirstDownloadLine)
{
    EXPECT_DOUBLE_EQ(ProgressPercent(QStringLiteral("[download]  45.3% of 10.00MiB at 1.2MiB/s ETA 00:05")),
                     45.3);
    EXPECT_DOUBLE_EQ(ProgressPercent(QStringLiteral("xx\r\n[download] 100% of 3MiB")), 100.0);
    EXPECT_DOUBLE_EQ(ProgressPercent(QStringLiteral("[info] nothing here")), 0.0);
    EXPECT_DOUBLE_EQ(
        ProgressPercent(QStringLiteral("[download] Destination: a.mp4\n[download]  7.0% of 1MiB")), 0.0);
    EXPECT_DOUBLE_EQ(ProgressPercent(QStringLiteral("[download]  1 2.5x% of")), 12.5);
    EXPECT_DOUBLE_EQ(ProgressPercent(QStringLiteral("[download] 1e1% of")), 10.0);
    EXPECT_DOUBLE_EQ(ProgressPercent(QStringLiteral("[download] 45.3")), 0.0);
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
                             QStringLiteral("\u060C\u061B")};
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

        const double percent = ProgressPercent(ChunkText(text));
        EXPECT_TRUE(std::isfinite(percent));

        const QString clean = CleanName(text);
        for (QChar c : forbidden)
            EXPECT_FALSE(clean.contains(c)) << round;
        EXPECT_EQ(CleanName(clean), clean);
    }
}
