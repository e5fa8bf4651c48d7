#include "Answers.h"

#include "AnswersFormat.h"
#include "AudioProfiles.h"
#include "PageCache.h"
#include "PageInfo.h"

#include <QFile>
#include <QUrl>

#include <sys/stat.h>

namespace brenlow::tool {
namespace {

void record(QByteArray& into, const char* tag, const QByteArray& bytes)
{
    into += QByteArray(tag) + ' ' + QByteArray::number(bytes.size()) + '\n' + bytes + '\n';
}

/** A field name the name run may ask for and do.dll reads as the core does: printable ASCII. */
bool plainName(const QString& key)
{
    for (const QChar c : key) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == u')')
            return false;
    }
    return !key.isEmpty();
}

} // namespace

QStringList FormatListLines(const QJsonObject& info, const QStringList& table)
{
    return QStringList{QStringLiteral("[info] Available formats for %1:")
                           .arg(OneLine(info.value(QLatin1String("id")).toString())),
                       QStringLiteral("format code  extension  resolution note")} +
           table;
}

void KeepAnswers(const QString& link, const QJsonObject& info)
{
    const PageCache cache(link);
    struct stat page{};
    if (::stat(QFile::encodeName(cache.infoPath()).constData(), &page) != 0)
        return;
    QByteArray bytes = answers::kHeader;
    record(bytes, answers::kLink, link.toUtf8());
    record(bytes, answers::kPage,
           QByteArray::number(static_cast<qint64>(page.st_size)) + ' ' +
               QByteArray::number(static_cast<qint64>(page.st_mtim.tv_sec)) + ' ' +
               QByteArray::number(static_cast<qint64>(page.st_mtim.tv_nsec)));
    // Each field as the name run fills it; the uploader has its fallbacks even when the page lacks it.
    QStringList keys = info.keys();
    if (!keys.contains(QStringLiteral("uploader")))
        keys << QStringLiteral("uploader");
    for (const QString& key : keys) {
        if (plainName(key))
            record(bytes, answers::kField,
                   key.toLatin1() + '\0' + FillTemplate(QStringLiteral("%(") + key + QStringLiteral(")s"), info).toUtf8());
    }
    const QString address = ThumbnailUrl(info);
    const QString scheme = QUrl(address).scheme();
    if (scheme == u"http" || scheme == u"https")
        record(bytes, answers::kAddress, address.toUtf8());
    // The format list, for a video read with its list, as the format-list run prints it.
    if (info.value(QLatin1String("_brenlow_listed")).toBool() && !IsLiveNow(info) && !HlsOfUnknownStatus(info)) {
        CodeMap codes = cache.codes();
        const QStringList lines = WithAudioProfiles(FormatTable(info, codes), info, codes);
        QFile kept(cache.codesPath());
        if (!lines.isEmpty() && cache.storeCodes(codes) && kept.open(QIODevice::ReadOnly)) {
            record(bytes, answers::kCodes, kept.readAll());
            QByteArray list;
            for (const QString& line : FormatListLines(info, lines))
                list += line.toUtf8() + "\r\n";
            record(bytes, answers::kList, list);
        }
    }
    (void)ReplaceFile(cache.answersPath(), bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace brenlow::tool
