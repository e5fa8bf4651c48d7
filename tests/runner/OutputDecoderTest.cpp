// Decoding the tool's output piece by piece gives the text of the whole output.

#include "runner/OutputDecoder.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <random>

namespace {

using brenlow::OutputDecoder;

QString decodeInPieces(const QByteArray& bytes, const std::vector<qsizetype>& cuts)
{
    OutputDecoder decoder;
    QString text;
    qsizetype at = 0;
    for (const qsizetype cut : cuts) {
        text += decoder.Decode(QByteArrayView(bytes).sliced(at, cut - at));
        at = cut;
    }
    text += decoder.Decode(QByteArrayView(bytes).sliced(at));
    return text + decoder.Flush();
}

// The text of the whole output at once, keeping every character the tool wrote, a leading
// U+FEFF included.
QString wholeText(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

TEST(OutputDecoderTest, ACutAnywhereGivesTheTextOfTheWhole)
{
    // Every cut of every two-piece split, over whole characters and broken ones alike.
    const QByteArray bytes = "a\xC3\xA9"
                             "b\xE2\x82\xAC"
                             "c\xF0\x9F\x8E\xAC"                      // é € 🎬
                             "\xE2\x82X"                              // broken off
                             "\xC3\xC3\xA9\x80\xFF\xF0\x9F\x8E"       // strays, then unfinished
                             "\xED\xA0\x80\xC0\xAF\xF4\x90\x80\x80z"; // surrogate, overlong, too large
    const QString whole = wholeText(bytes);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut)
        EXPECT_EQ(decodeInPieces(bytes, {cut}), whole) << "cut at " << cut;
}

TEST(OutputDecoderTest, AByteOrderMarkIsKeptWhereverAReadBegins)
{
    const QByteArray bytes = "\xEF\xBB\xBF"
                             "a\xEF\xBB\xBF"
                             "b";
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut)
        EXPECT_EQ(decodeInPieces(bytes, {cut}), QStringLiteral("\uFEFFa\uFEFFb")) << "cut at " << cut;
}

TEST(OutputDecoderTest, ManyRandomPiecesOfRandomBytesGiveTheTextOfTheWhole)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        const int size = 1 + static_cast<int>(random() % 200);
        for (int i = 0; i < size; ++i) {
            // Mostly the bytes that make and break sequences.
            static const char picks[] = {'a',    '\x80', '\xBF', '\xC3', '\xA9',
                                         '\xE2', '\x82', '\xF0', '\x9F', '\xFF'};
            bytes += random() % 4 == 0 ? static_cast<char>(random() % 256) : picks[random() % sizeof picks];
        }
        std::vector<qsizetype> cuts;
        for (qsizetype at = 0; at < bytes.size();) {
            at += 1 + static_cast<qsizetype>(random() % 5);
            if (at < bytes.size())
                cuts.push_back(at);
        }
        ASSERT_EQ(decodeInPieces(bytes, cuts), wholeText(bytes)) << bytes.toHex().constData();
    }
}

TEST(OutputDecoderTest, AnUnfinishedCharacterWaitsForItsRestAndFlushEndsIt)
{
    OutputDecoder decoder;
    EXPECT_EQ(decoder.Decode("Caf\xC3"), QStringLiteral("Caf"));
    EXPECT_EQ(decoder.Pending(), 1);
    EXPECT_EQ(decoder.Decode("\xA9!"), QStringLiteral("é!"));
    EXPECT_EQ(decoder.Decode("\xF0\x9F"), QString());
    const QString rest = decoder.Flush();
    EXPECT_FALSE(rest.isEmpty());
    EXPECT_EQ(rest, QString(rest.size(), QChar::ReplacementCharacter));
    EXPECT_EQ(decoder.Pending(), 0);
    // A fresh start after Flush: nothing of the old tail is left.
    EXPECT_EQ(decoder.Decode("\x8E\xAC"), QString(2, QChar::ReplacementCharacter));
    EXPECT_EQ(decoder.Flush(), QString());
}

} // namespace
