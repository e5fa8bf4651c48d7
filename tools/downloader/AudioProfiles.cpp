#include "AudioProfiles.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>

namespace brenlow::tool {
namespace {

// The conversion after an MP3 download takes its last share of the percentage.
constexpr double kConvertedShare = 0.95;
constexpr int kPiecesAtOnce = 4;

QString text(const QJsonObject& o, const char* key)
{
    return o.value(QLatin1String(key)).toString();
}

QList<QJsonObject> formatsOf(const QJsonObject& info)
{
    QList<QJsonObject> list;
    for (const QJsonValue& v : info.value(QLatin1String("formats")).toArray())
        list.append(v.toObject());
    if (list.isEmpty())
        list.append(info);
    return list;
}

bool audioOnly(const QJsonObject& f)
{
    return text(f, "vcodec") == u"none" && !text(f, "acodec").isEmpty() && text(f, "acodec") != u"none";
}

/** The best format of sound alone, by bit rate; an empty object when the page has none. */
QJsonObject bestAudio(const QJsonObject& info)
{
    QJsonObject best;
    for (const QJsonObject& f : formatsOf(info)) {
        if (audioOnly(f) && (best.isEmpty() || f.value(QLatin1String("abr")).toDouble() >=
                                                   best.value(QLatin1String("abr")).toDouble()))
            best = f;
    }
    return best;
}

bool hasSound(const QJsonObject& info)
{
    for (const QJsonObject& f : formatsOf(info)) {
        if (text(f, "acodec") != u"none")
            return true;
    }
    return false;
}

bool inPieces(const QJsonObject& f)
{
    const QString p = text(f, "protocol");
    return p.startsWith(QLatin1String("m3u8")) || p.contains(QLatin1String("dash")) || p == u"ism" ||
           p == u"f4m";
}

QString freeCode(const QJsonObject& info, CodeMap& codes, const QString& id)
{
    if (codes.contains(id))
        return codes.value(id);
    static const QRegularExpression shortNumber(QStringLiteral("^[0-9]{1,3}$"));
    QSet<QString> used;
    for (const QJsonObject& f : formatsOf(info)) {
        if (shortNumber.match(text(f, "format_id")).hasMatch())
            used.insert(text(f, "format_id"));
    }
    for (const QString& c : codes)
        used.insert(c);
    for (int n = 1; n < 1000; ++n) {
        if (!used.contains(QString::number(n))) {
            codes.insert(id, QString::number(n));
            return QString::number(n);
        }
    }
    return {};
}

QString row(const QString& code, const QString& ext, const QString& note)
{
    return code.leftJustified(13) + ext.leftJustified(11) + QStringLiteral("audio only").leftJustified(11) +
           note;
}

} // namespace

QStringList WithAudioProfiles(QStringList table, const QJsonObject& info, CodeMap& codes)
{
    if (table.isEmpty() || !hasSound(info))
        return table;
    const QJsonObject best = bestAudio(info);
    // Sound alone as the page serves it; from a file of picture and sound it is taken out unchanged.
    const QString bestExt = best.isEmpty() ? QStringLiteral("m4a") : text(best, "ext");
    QStringList bestNote{QStringLiteral("audio only, best")};
    if (!text(best, "acodec").isEmpty())
        bestNote << text(best, "acodec");
    const QString bestCode = freeCode(info, codes, QLatin1String(AudioBestId));
    const QString mp3Code = freeCode(info, codes, QLatin1String(AudioMp3Id));
    QStringList lines;
    if (!bestCode.isEmpty())
        lines << row(bestCode, bestExt, bestNote.join(QStringLiteral(", ")));
    if (!mp3Code.isEmpty())
        lines << row(mp3Code, QStringLiteral("mp3"), QStringLiteral("audio only, MP3, converted"));
    for (const QString& line : lines)
        table.insert(table.size() - 1, line);
    return table;
}

QStringList DownloadArguments(const QString& wanted, const QJsonObject& info)
{
    QStringList args;
    const QString pieces = QString::number(kPiecesAtOnce);
    if (wanted == QLatin1String(AudioMp3Id)) {
        args << QStringLiteral("-f") << QStringLiteral("ba/b") << QStringLiteral("-x")
             << QStringLiteral("--audio-format") << QStringLiteral("mp3");
    } else if (wanted == QLatin1String(AudioBestId)) {
        // A page with sound of its own is fetched as it comes; else the sound is taken out of the
        // best file, unconverted.
        if (!bestAudio(info).isEmpty() || info.isEmpty())
            args << QStringLiteral("-f") << QStringLiteral("ba");
        else
            args << QStringLiteral("-f") << QStringLiteral("b") << QStringLiteral("-x");
    } else if (!wanted.isEmpty()) {
        args << QStringLiteral("-f") << wanted;
    }
    // Pieces of HLS and DASH come four at once; a single file stays one connection.
    bool single = !info.isEmpty();
    const QStringList ids = wanted.split(u'+');
    for (const QJsonObject& f : formatsOf(info)) {
        const bool chosen = wanted.isEmpty()
                                ? text(f, "format_id") == text(info, "format_id")
                                : ids.contains(text(f, "format_id")) || wanted.startsWith(u"brenlow:");
        if (chosen && inPieces(f))
            single = false;
    }
    if (!single)
        args << QStringLiteral("--concurrent-fragments") << pieces;
    return args;
}

double DownloadShare(const QString& wanted, const QJsonObject& info)
{
    if (wanted == QLatin1String(AudioMp3Id))
        return kConvertedShare;
    if (wanted == QLatin1String(AudioBestId) && bestAudio(info).isEmpty() && !info.isEmpty())
        return kConvertedShare;
    return 1.0;
}

QString ScaleProgressLine(const QString& line, double share)
{
    static const QRegularExpression figure(QStringLiteral("^(\\[download\\]\\s*)([0-9.]+)%"));
    const QRegularExpressionMatch m = figure.match(line);
    if (share >= 1.0 || !m.hasMatch())
        return line;
    const double scaled = m.captured(2).toDouble() * share;
    return m.captured(1) + QStringLiteral("%1").arg(scaled, 5, 'f', 1) + line.mid(m.capturedEnd(2));
}

} // namespace brenlow::tool
