#include "PageInfo.h"

#include "Output.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace brenlow::tool {
namespace {

bool isShortNumber(const QString& id)
{
    static const QRegularExpression re(QStringLiteral("^[0-9]{1,3}$"));
    return re.match(id).hasMatch();
}

QString text(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString())
        return v.toString();
    if (v.isDouble()) {
        const double d = v.toDouble();
        return d == std::floor(d) && std::abs(d) < 1e15 ? QString::number(static_cast<qint64>(d))
                                                        : QString::number(d);
    }
    return {};
}

double number(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? v.toDouble() : 0.0;
}

bool isPicture(const QJsonObject& f)
{
    const QString ext = text(f, "ext").toLower();
    static const QStringList pictures{QStringLiteral("mhtml"), QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                      QStringLiteral("png"),   QStringLiteral("webp"), QStringLiteral("gif")};
    if (pictures.contains(ext) || text(f, "protocol") == u"mhtml")
        return true;
    if (text(f, "format_note").contains(QStringLiteral("storyboard"), Qt::CaseInsensitive))
        return true;
    return text(f, "vcodec") == u"none" && text(f, "acodec") == u"none";
}

bool isAudioOnly(const QJsonObject& f)
{
    return text(f, "vcodec") == u"none";
}

bool hasKnownSound(const QJsonObject& f)
{
    const QString a = text(f, "acodec");
    return !a.isEmpty() && a != u"none";
}

/** The formats worth offering; a page with one file and no list is that one format. */
QList<QJsonObject> formatsOf(const QJsonObject& info)
{
    QList<QJsonObject> list;
    const QJsonArray formats = info.value(QLatin1String("formats")).toArray();
    for (const QJsonValue& v : formats) {
        const QJsonObject f = v.toObject();
        if (!text(f, "format_id").isEmpty() && !isPicture(f))
            list.append(f);
    }
    if (formats.isEmpty() && !text(info, "url").isEmpty()) {
        QJsonObject single = info;
        if (text(single, "format_id").isEmpty())
            single.insert(QStringLiteral("format_id"), QStringLiteral("0"));
        list.append(single);
    }
    return list;
}

/** Expected bytes of a format: its size, else its bit rate over the page's duration; 0 if unknown. */
double expectedSize(const QJsonObject& f, double duration)
{
    if (const double size = number(f, "filesize"); size > 0)
        return size;
    if (const double size = number(f, "filesize_approx"); size > 0)
        return size;
    if (const double tbr = number(f, "tbr"); tbr > 0 && duration > 0)
        return tbr * 1000 / 8 * duration;
    return 0;
}

bool sizeIsExact(const QJsonObject& f)
{
    return number(f, "filesize") > 0;
}

QString resolutionOf(const QJsonObject& f)
{
    if (text(f, "vcodec") == u"none")
        return QStringLiteral("audio only");
    const QString res = text(f, "resolution");
    if (!res.isEmpty() && res != u"unknown")
        return res;
    const int w = static_cast<int>(number(f, "width")), h = static_cast<int>(number(f, "height"));
    if (w > 0 && h > 0)
        return QStringLiteral("%1x%2").arg(w).arg(h);
    if (h > 0)
        return QStringLiteral("%1p").arg(h);
    return QStringLiteral("unknown");
}

QString sizeText(double bytes, bool exact)
{
    return (exact ? QString() : QStringLiteral("~")) + FormatBytes(bytes);
}

QString noteOf(const QJsonObject& f, const QString& code, double duration)
{
    QStringList parts;
    QString name = text(f, "format_note");
    // An id of letters says something ("hls-720p", "dash-audio"); one the code shows does not.
    if (name.isEmpty() && text(f, "format_id") != code)
        name = text(f, "format_id");
    if (!name.isEmpty() && name != resolutionOf(f))
        parts << name;
    const QString v = text(f, "vcodec"), a = text(f, "acodec");
    if (v == u"none")
        parts << QStringLiteral("audio only");
    else if (a == u"none")
        parts << QStringLiteral("video only");
    if (!v.isEmpty() && v != u"none")
        parts << v;
    if (!a.isEmpty() && a != u"none")
        parts << a;
    if (const double fps = number(f, "fps"); fps > 0 && v != u"none")
        parts << QStringLiteral("%1fps").arg(fps);
    if (const double tbr = number(f, "tbr"); tbr > 0)
        parts << QStringLiteral("%1k").arg(std::lround(tbr));
    if (const double size = expectedSize(f, duration); size > 0)
        parts << sizeText(size, sizeIsExact(f));
    if (parts.isEmpty() && !text(f, "protocol").isEmpty())
        parts << text(f, "protocol");
    return parts.join(QStringLiteral(", "));
}

QString row(const QString& code, const QString& ext, const QString& res, const QString& note)
{
    return code.leftJustified(13) + ext.leftJustified(11) + res.leftJustified(11) + note;
}

} // namespace

namespace {

/** Drops formats until the ones left fit the free codes: first the lesser duplicates of a resolution
 *  (same picture size, container and sound), then the ones of the lowest bit rate; never an audio
 *  format or a part of the default. */
QList<QJsonObject> fitCodes(const QList<QJsonObject>& formats, const QStringList& kept, const CodeMap& codes,
                            const QSet<QString>& taken)
{
    QSet<QString> used = taken;
    for (const QString& c : codes)
        used.insert(c);
    qsizetype available = 0;
    for (int n = 1; n < 1000; ++n)
        available += used.contains(QString::number(n)) ? 0 : 1;
    auto needsCode = [&](const QString& id) { return !isShortNumber(id) && !codes.contains(id); };
    qsizetype needed = 0;
    for (const QJsonObject& f : formats)
        needed += needsCode(text(f, "format_id")) ? 1 : 0;
    if (kept.size() > 1 && needsCode(kept.join(u'+')))
        ++needed;
    if (needed <= available)
        return formats;

    auto groupOf = [](const QJsonObject& f) {
        return resolutionOf(f) + u'|' + text(f, "ext") + u'|' + (hasKnownSound(f) ? u'a' : u'-');
    };
    QHash<QString, double> bestInGroup;
    for (const QJsonObject& f : formats)
        bestInGroup[groupOf(f)] = std::max(bestInGroup.value(groupOf(f), -1.0), number(f, "tbr"));
    struct Candidate
    {
        QString id;
        bool duplicate;
        double tbr;
    };
    QList<Candidate> droppable;
    for (const QJsonObject& f : formats) {
        const QString id = text(f, "format_id");
        if (needsCode(id) && !kept.contains(id) && !isAudioOnly(f))
            droppable.append({id, number(f, "tbr") < bestInGroup.value(groupOf(f)), number(f, "tbr")});
    }
    std::stable_sort(droppable.begin(), droppable.end(), [](const Candidate& a, const Candidate& b) {
        return a.duplicate != b.duplicate ? a.duplicate : a.tbr < b.tbr;
    });
    QSet<QString> dropped;
    for (qsizetype i = 0; i < droppable.size() && i < needed - available; ++i)
        dropped.insert(droppable.at(i).id);
    QList<QJsonObject> left;
    for (const QJsonObject& f : formats) {
        if (!dropped.contains(text(f, "format_id")))
            left.append(f);
    }
    return left;
}

} // namespace

QString DefaultFormatId(const QJsonObject& info)
{
    const QString chosen = text(info, "format_id");
    if (chosen.contains(u'+'))
        return chosen;
    const QList<QJsonObject> formats = formatsOf(info);
    const auto it = std::find_if(formats.begin(), formats.end(),
                                 [&](const QJsonObject& f) { return text(f, "format_id") == chosen; });
    if (it == formats.end() || isAudioOnly(*it) || hasKnownSound(*it))
        return chosen;
    // yt-dlp may take a picture of unknown codecs for one with sound (an HLS master without
    // CODECS): when the page has sound of its own, it goes with it. yt-dlp lists the best last.
    for (auto f = formats.rbegin(); f != formats.rend(); ++f) {
        if (isAudioOnly(*f))
            return chosen + u'+' + text(*f, "format_id");
    }
    return chosen;
}

QJsonObject ForDownload(const QJsonObject& info, const QString& formatId)
{
    const QStringList parts = formatId.split(u'+');
    if (parts.size() < 2)
        return info;
    QJsonObject page = info;
    QJsonArray formats = page.value(QLatin1String("formats")).toArray();
    bool separateSound = false;
    for (const QJsonValue& v : formats) {
        const QJsonObject f = v.toObject();
        separateSound = separateSound || (parts.contains(text(f, "format_id")) && isAudioOnly(f));
    }
    if (!separateSound)
        return info;
    for (auto v = formats.begin(); v != formats.end(); ++v) {
        QJsonObject f = v->toObject();
        // Its sound comes from the other part: yt-dlp would else refuse a second sound stream.
        if (parts.contains(text(f, "format_id")) && !isAudioOnly(f) && !hasKnownSound(f)) {
            f.insert(QStringLiteral("acodec"), QStringLiteral("none"));
            *v = f;
        }
    }
    page.insert(QStringLiteral("formats"), formats);
    return page;
}

QStringList FormatTable(const QJsonObject& info, CodeMap& codes)
{
    const double duration = number(info, "duration");
    const QString selected = DefaultFormatId(info);
    QSet<QString> taken;
    for (const QJsonObject& f : formatsOf(info)) {
        if (isShortNumber(text(f, "format_id")))
            taken.insert(text(f, "format_id"));
    }
    // A code that has become a real id of the page goes back to that id.
    for (auto it = codes.begin(); it != codes.end();) {
        if (taken.contains(it.value()) && it.key() != it.value())
            it = codes.erase(it);
        else
            ++it;
    }
    const QList<QJsonObject> formats = fitCodes(formatsOf(info), selected.split(u'+'), codes, taken);
    auto codeFor = [&](const QString& id) {
        if (isShortNumber(id))
            return id;
        if (codes.contains(id))
            return codes.value(id);
        QSet<QString> used = taken;
        for (const QString& c : codes)
            used.insert(c);
        for (int n = 1; n < 1000; ++n) {
            if (!used.contains(QString::number(n))) {
                codes.insert(id, QString::number(n));
                return QString::number(n);
            }
        }
        return QString(); // cannot happen: fitCodes left as many formats as there are codes
    };

    QStringList lines;
    QString bestLine;
    QMap<QString, QJsonObject> byId;
    for (const QJsonObject& f : formats) {
        const QString id = text(f, "format_id");
        byId.insert(id, f);
        const QString code = codeFor(id);
        if (code.isEmpty())
            continue;
        const QString line = row(code, text(f, "ext"), resolutionOf(f), noteOf(f, code, duration));
        if (id == selected)
            bestLine = line;
        else
            lines << line;
    }
    const QStringList pair = selected.split(u'+');
    if (pair.size() > 1 &&
        std::all_of(pair.begin(), pair.end(), [&](const QString& id) { return byId.contains(id); })) {
        // The best picture with the best sound, merged into one file.
        QStringList partNames, codecs;
        double size = 0;
        bool exact = true;
        for (const QString& id : pair) {
            const QJsonObject f = byId.value(id);
            const bool audio = text(f, "vcodec") == u"none";
            partNames << QStringLiteral("%1 %2").arg(
                audio ? QStringLiteral("audio") : QStringLiteral("video"), codeFor(id));
            for (const char* key : {"vcodec", "acodec"}) {
                const QString c = text(f, key);
                if (!c.isEmpty() && c != u"none")
                    codecs << c;
            }
            const double s = expectedSize(f, duration);
            exact = exact && sizeIsExact(f);
            size = s > 0 && size >= 0 ? size + s : -1;
        }
        const QString code = codeFor(selected);
        QString ext = text(info, "ext");
        if (ext.isEmpty())
            ext = text(byId.value(pair.first()), "ext");
        QStringList note{QStringLiteral("best: ") + partNames.join(QStringLiteral(" + ")) +
                         QStringLiteral(" merged")};
        note << codecs;
        if (size > 0)
            note << sizeText(size, exact);
        bestLine = row(code, ext, resolutionOf(byId.value(pair.first())), note.join(QStringLiteral(", ")));
    }
    if (bestLine.isEmpty() && !lines.isEmpty())
        bestLine = lines.takeLast();
    if (!bestLine.isEmpty())
        lines << bestLine + QStringLiteral(" (best)");
    return lines;
}

QString FormatIdForCode(const QString& code, const CodeMap& codes)
{
    for (auto it = codes.begin(); it != codes.end(); ++it) {
        if (it.value() == code)
            return it.key();
    }
    return code;
}

QString UploaderOf(const QJsonObject& info)
{
    const QString host = QUrl(text(info, "webpage_url")).host();
    for (const char* key : {"uploader", "channel", "uploader_id", "creator"}) {
        const QString value = text(info, key);
        // The generic extractor names the page's domain (with its port) as uploader.
        if (!value.isEmpty() && value != text(info, "webpage_url_domain"))
            return value;
    }
    if (!host.isEmpty())
        return host;
    const QString domain = text(info, "webpage_url_domain");
    return domain.isEmpty() ? QStringLiteral("NA") : domain;
}

namespace {
const QRegularExpression& templateField()
{
    static const QRegularExpression field(
        QStringLiteral("%\\(([^)]*)\\)([-#0+ 0-9.]*[diouxXeEfFgGcrsaBjlqDSU])"));
    return field;
}
} // namespace

QString EscapeTemplate(const QString& tpl)
{
    QString out;
    qsizetype at = 0;
    for (auto it = templateField().globalMatch(tpl); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += tpl.mid(at, m.capturedStart() - at).replace(u'%', QStringLiteral("%%")) + m.captured(0);
        at = m.capturedEnd();
    }
    return out + tpl.mid(at).replace(u'%', QStringLiteral("%%"));
}

namespace {
QString fill(const QString& tpl, const QJsonObject& info, bool keepExt, QString (*clean)(const QString&))
{
    const QRegularExpression& field = templateField();
    auto escape = [keepExt](QString s) { return keepExt ? s.replace(u'%', QStringLiteral("%%")) : s; };
    QString out;
    qsizetype at = 0;
    QRegularExpressionMatchIterator it = field.globalMatch(tpl);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += escape(tpl.mid(at, m.capturedStart() - at));
        at = m.capturedEnd();
        const QString name = m.captured(1);
        if (name == u"ext" && keepExt) {
            out += m.captured(0);
            continue;
        }
        QString value;
        if (name == u"uploader")
            value = UploaderOf(info);
        else
            value = text(info, name.toLatin1().constData());
        out += escape(clean(value.isEmpty() ? QStringLiteral("NA") : value));
    }
    out += escape(tpl.mid(at));
    return out;
}

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}
} // namespace

QString OneLine(const QString& value)
{
    QString s = value;
    for (QChar& c : s) {
        if (isControl(c))
            c = u' ';
    }
    return s;
}

QString SafeFileNamePart(const QString& value)
{
    // As yt-dlp's own filling of a template: timestamps keep their digits apart with "_".
    static const QRegularExpression timestamp(QStringLiteral("[0-9]+(?::[0-9]+)+"));
    QString s = value;
    for (auto it = timestamp.globalMatch(value); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        s.replace(m.capturedStart(), m.capturedLength(), m.captured(0).replace(u':', u'_'));
    }
    QString out;
    for (const QChar c : s) {
        if (c == u'\n')
            out += u' ';
        else if (c == u'/')
            out += QChar(0x29F8);
        else if (c == u'\\')
            out += QChar(0x29F9);
        else if (QStringLiteral("\"*:<>?|").contains(c))
            out += QChar(c.unicode() + 0xFEE0);
        else if (!isControl(c))
            out += c;
    }
    out = out.trimmed();
    if (out.isEmpty())
        return QStringLiteral("_");
    // "." and ".." name folders, not files.
    static const QRegularExpression dots(QStringLiteral("^\\.+$"));
    return dots.match(out).hasMatch() ? QStringLiteral("_") : out;
}

QString FillTemplate(const QString& tpl, const QJsonObject& info, bool keepExt)
{
    return fill(tpl, info, keepExt, &OneLine);
}

QString FillFileTemplate(const QString& tpl, const QJsonObject& info, bool keepExt)
{
    return fill(tpl, info, keepExt, &SafeFileNamePart);
}

QString ThumbnailUrl(const QJsonObject& info)
{
    QString url = text(info, "thumbnail");
    if (url.isEmpty()) {
        const QJsonArray list = info.value(QLatin1String("thumbnails")).toArray();
        for (qsizetype i = list.size() - 1; i >= 0 && url.isEmpty(); --i)
            url = text(list.at(i).toObject(), "url");
    }
    if (url.isEmpty())
        return {};
    const QUrl base(text(info, "webpage_url"));
    return base.resolved(QUrl(url)).toString();
}

QString PagePictureUrl(const QByteArray& html, const QUrl& page)
{
    const QString source = QString::fromUtf8(html.left(1 << 20));
    const auto attribute = [](const QString& tag, const char* name) {
        static const QString form = QStringLiteral("\\b%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')");
        const QRegularExpressionMatch m =
            QRegularExpression(form.arg(QLatin1String(name)), QRegularExpression::CaseInsensitiveOption)
                .match(tag);
        return m.hasMatch() ? (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1)) : QString();
    };
    static const QRegularExpression meta(QStringLiteral("<meta\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString found;
    for (auto it = meta.globalMatch(source); it.hasNext() && found.isEmpty();) {
        const QString tag = it.next().captured(0);
        QString key = attribute(tag, "property");
        if (key.isEmpty())
            key = attribute(tag, "name");
        key = key.toLower();
        if (key == u"og:image" || key == u"og:image:url" || key == u"og:image:secure_url" ||
            key == u"twitter:image" || key == u"twitter:image:src")
            found = attribute(tag, "content").trimmed();
    }
    if (found.isEmpty()) {
        static const QRegularExpression video(QStringLiteral("<video\\b[^>]*>"),
                                              QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = video.match(source);
        if (m.hasMatch())
            found = attribute(m.captured(0), "poster").trimmed();
    }
    if (found.isEmpty())
        return {};
    found.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    const QUrl resolved = page.resolved(QUrl(found));
    const QString scheme = resolved.scheme();
    return scheme == u"http" || scheme == u"https" ? resolved.toString() : QString();
}

std::optional<QJsonObject> HlsOfUnknownStatus(const QJsonObject& info)
{
    if (info.contains(QLatin1String("is_live")) && !info.value(QLatin1String("is_live")).isNull())
        return std::nullopt;
    if (!text(info, "live_status").isEmpty())
        return std::nullopt;
    const QString videoId = DefaultFormatId(info).section(u'+', 0, 0);
    for (const QJsonValue& v : info.value(QLatin1String("formats")).toArray()) {
        const QJsonObject f = v.toObject();
        if (text(f, "format_id") == videoId && text(f, "protocol").startsWith(QStringLiteral("m3u8")))
            return f;
    }
    return std::nullopt;
}

bool IsLiveNow(const QJsonObject& info)
{
    return info.value(QLatin1String("is_live")).toBool() || text(info, "live_status") == u"is_live";
}

QString LiveRefusalText()
{
    return QStringLiteral("This is a live broadcast; add it again when it has ended.");
}

QJsonObject VideoEntry(const QJsonObject& answer)
{
    if (text(answer, "_type") == u"playlist") {
        const QJsonArray entries = answer.value(QLatin1String("entries")).toArray();
        for (const QJsonValue& e : entries) {
            if (e.isObject())
                return e.toObject();
        }
    }
    return answer;
}

// --- merged progress ---

QString MergedProgress::Marker()
{
    return QStringLiteral("BRENLOW-PROGRESS");
}

QString MergedProgress::Template()
{
    return QStringLiteral("download:") + Marker() +
           QStringLiteral(" %(info.format_id)s|%(progress.status)s|%(progress.downloaded_bytes)s|"
                          "%(progress.total_bytes)s|%(progress.total_bytes_estimate)s|%(progress.speed)s|"
                          "%(progress.eta)s|%(progress.fragment_index)s|%(progress.fragment_count)s");
}

MergedProgress::MergedProgress(const QString& formatId, const QJsonObject& info)
{
    m_parts = formatId.split(u'+');
    const double duration = number(info, "duration");
    QMap<QString, QJsonObject> byId;
    for (const QJsonObject& f : formatsOf(info))
        byId.insert(text(f, "format_id"), f);
    m_sizesKnown = true;
    for (const QString& id : m_parts) {
        const double size = byId.contains(id) ? expectedSize(byId.value(id), duration) : 0;
        m_sizesKnown = m_sizesKnown && size > 0;
        m_weights << size;
        m_seen << 0;
    }
    m_infoTotal = m_sizesKnown ? std::accumulate(m_weights.begin(), m_weights.end(), 0.0) : -1;
    if (!m_sizesKnown) {
        // Without sizes every part counts the same.
        for (double& w : m_weights)
            w = 1;
    }
    for (const double w : m_weights)
        m_sum += w;
}

bool MergedProgress::feed(const QString& line)
{
    const qsizetype at = line.indexOf(Marker());
    if (at < 0)
        return false;
    const QStringList f = line.mid(at + Marker().size()).trimmed().split(u'|');
    if (f.size() < 9)
        return true;
    auto num = [&](int i) {
        bool ok = false;
        const double v = f.at(i).toDouble(&ok);
        return ok ? v : -1.0;
    };
    const QString id = f.at(0);
    const bool finished = f.at(1) == u"finished";
    const double done = num(2), exact = num(3), estimate = num(4), fragIndex = num(7), fragCount = num(8);
    const double partTotal = exact > 0 ? exact : estimate;
    double fraction = 0;
    if (finished)
        fraction = 1;
    else if (partTotal > 0 && done >= 0)
        fraction = std::min(1.0, done / partTotal);
    else if (fragIndex >= 0 && fragCount > 0)
        fraction = std::min(1.0, fragIndex / fragCount);
    qsizetype part = m_parts.indexOf(id);
    if (part < 0)
        part = 0;
    double before = 0;
    for (qsizetype i = 0; i < part; ++i)
        before += m_weights.at(i);
    const double overall = m_sum > 0 ? 100.0 * (before + m_weights.value(part) * fraction) / m_sum : 0;
    m_percent = std::max(m_percent, std::min(100.0, overall));
    if (partTotal > 0)
        m_seen[part] = partTotal;
    // The whole: every part's size as reported, else as the page tells it; one part alone is not it.
    const bool allSeen = std::all_of(m_seen.begin(), m_seen.end(), [](double v) { return v > 0; });
    m_total = allSeen ? std::accumulate(m_seen.begin(), m_seen.end(), 0.0) : m_infoTotal;
    if (num(5) >= 0)
        m_speed = num(5);
    m_eta = -1;
    if (m_speed > 0 && m_total > 0)
        m_eta = std::max(0.0, m_total * (100.0 - m_percent) / 100.0 / m_speed);
    else if (num(6) >= 0)
        m_eta = num(6);
    return true;
}

QString MergedProgress::line() const
{
    QString speed =
        m_speed > 0 ? FormatBytes(m_speed) + QStringLiteral("/s") : QStringLiteral("Unknown speed");
    QString eta = QStringLiteral("Unknown");
    if (m_eta >= 0) {
        const qint64 s = std::llround(m_eta);
        eta = s >= 3600 ? QStringLiteral("%1:%2:%3")
                              .arg(s / 3600, 2, 10, QLatin1Char('0'))
                              .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(s % 60, 2, 10, QLatin1Char('0'))
                        : QStringLiteral("%1:%2")
                              .arg(s / 60, 2, 10, QLatin1Char('0'))
                              .arg(s % 60, 2, 10, QLatin1Char('0'));
    }
    const QString total = m_total > 0 ? FormatBytes(m_total) : QStringLiteral("Unknown size");
    return QStringLiteral("[download] %1% of %2 at %3 ETA %4")
        .arg(m_percent, 5, 'f', 1)
        .arg(total)
        .arg(speed, 10)
        .arg(eta);
}

} // namespace brenlow::tool
