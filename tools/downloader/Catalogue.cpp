#include "Catalogue.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace brenlow::tool {
namespace {

QStringList stringList(const QJsonValue& v)
{
    QStringList out;
    if (v.isString())
        out << v.toString();
    for (const QJsonValue& item : v.toArray())
        out << item.toString();
    return out;
}

Video readVideo(const QJsonObject& o)
{
    Video v;
    v.link = o.value(u"link").toString();
    v.id = o.value(u"id").toString();
    v.uploader = o.value(u"uploader").toString();
    v.title = o.value(u"title").toString();
    for (const QJsonValue& f : o.value(u"formats").toArray()) {
        const QJsonObject fo = f.toObject();
        v.formats.append({fo.value(u"code").toString(), fo.value(u"ext").toString(),
                          fo.value(u"resolution").toString(), fo.value(u"note").toString(),
                          static_cast<qint64>(fo.value(u"size").toDouble())});
    }
    v.preamble = stringList(o.value(u"preamble"));
    v.preambleRepeat = o.value(u"preambleRepeat").toInt();
    if (o.value(u"lineEnd").toString() == u"lf")
        v.lineEnd = "\n";
    v.thumbnail = o.value(u"thumbnail").toString(v.thumbnail);
    v.colour = o.value(u"colour").toString(v.colour);
    v.rate = static_cast<qint64>(o.value(u"rate").toDouble(static_cast<double>(v.rate)));
    v.lineDelayMs = o.value(u"lineDelayMs").toInt();
    v.hangIn = stringList(o.value(u"hangIn"));
    v.failIn = stringList(o.value(u"failIn"));
    v.exitCode = o.value(u"exitCode").toInt(v.exitCode);
    v.errorText = o.value(u"errorText").toString(v.errorText);
    v.floodBytes = static_cast<qint64>(o.value(u"floodBytes").toDouble());
    v.floodRate = static_cast<qint64>(o.value(u"floodRate").toDouble());
    v.interleave = o.value(u"interleave").toBool();
    v.splitName = o.value(u"splitName").toBool();
    v.noName = o.value(u"noName").toBool();
    v.interruptAt = o.value(u"interruptAt").toDouble();
    v.crashIn = stringList(o.value(u"crashIn"));
    v.rawChatter = QByteArray::fromHex(o.value(u"rawChatterHex").toString().toLatin1());
    if (v.id.isEmpty())
        v.id = v.link;
    return v;
}

} // namespace

Catalogue Catalogue::load(QString* error)
{
    QString path = qEnvironmentVariable("BRENLOW_TOOL_CATALOGUE");
    if (path.isEmpty())
        path = QStringLiteral(":/brenlow_tool/catalogue.json");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read the catalogue %1").arg(path);
        return {};
    }
    return fromJson(file.readAll(), error);
}

Catalogue Catalogue::fromJson(const QByteArray& json, QString* error)
{
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    Catalogue c;
    if (doc.isNull()) {
        if (error)
            *error = parseError.errorString();
        return c;
    }
    for (const QJsonValue& v : doc.object().value(u"videos").toArray())
        c.m_videos.append(readVideo(v.toObject()));
    return c;
}

std::optional<Video> Catalogue::find(const QString& link) const
{
    for (const Video& v : m_videos) {
        if (v.link == link)
            return v;
    }
    return std::nullopt;
}

} // namespace brenlow::tool
