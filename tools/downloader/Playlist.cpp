#include "Playlist.h"

#include "Answers.h"
#include "AnswersFormat.h"
#include "Child.h"
#include "PageCache.h"
#include "PageInfo.h"
#include "Picture.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUrl>

namespace brenlow::tool {
namespace {

// A video a list run has read is good for the row's own runs as long as for a download.
constexpr qint64 kListedAgeSeconds = answers::kListedAgeSeconds;
// Time a list run spends making the thumbnails of the videos it read ready; the rest are fetched
// by their own picture runs.
constexpr qint64 kPictureBudgetMs = 2000;
// Videos with pages of their own are read this many at a time, in one yt-dlp run: few processes,
// and never more than a few pages held at once.
constexpr int kBatch = 10;
const QLatin1String kListedKey("_brenlow_listed");
const QLatin1String kItemFragment("brenlow-video-");

QString text(const QJsonObject& o, const char* key)
{
    return o.value(QLatin1String(key)).toString();
}

bool isWebLink(const QString& link)
{
    const QUrl url(link);
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

/** The page a link shows, without a fragment: two links of the same page compare equal. */
QString pageOf(const QString& link)
{
    return QUrl(link).adjusted(QUrl::RemoveFragment | QUrl::StripTrailingSlash).toString();
}

/** Where a batch of row links to read together is kept: under the first link of the batch. */
QString batchPath(const QString& link)
{
    return PageCache::folder() + u'/' +
           QString::fromLatin1(QCryptographicHash::hash(link.toUtf8(), QCryptographicHash::Sha256).toHex()) +
           QStringLiteral(".batch.json");
}

/** Notes, for every kBatch-th video with a page of its own, the videos to read with it. */
void planBatches(const QList<ListedVideo>& videos)
{
    QStringList batch;
    const auto flush = [&] {
        if (batch.size() > 1) {
            (void)ReplaceFile(batchPath(batch.first()),
                              QJsonDocument(QJsonArray::fromStringList(batch)).toJson(QJsonDocument::Compact),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        batch.clear();
    };
    for (const ListedVideo& v : videos) {
        if (v.info)
            continue;
        batch << v.link;
        if (batch.size() == kBatch)
            flush();
    }
    flush();
}

/** Fetches the thumbnails of videos just read and keeps them ready as JPEGs, as far as the time
 *  allows: their picture runs then only copy them, and start without Qt Gui and Qt Network. */
void preparePictures(const QList<ListedVideo>& videos)
{
    // Qt's network and picture warnings are no output of this tool.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QDeadlineTimer deadline(kPictureBudgetMs);
    for (const ListedVideo& v : videos) {
        if (!v.info || deadline.hasExpired())
            continue;
        const QString address = ThumbnailUrl(*v.info);
        const QString scheme = QUrl(address).scheme();
        if (scheme != u"http" && scheme != u"https")
            continue; // left to the picture run, which also looks in the page's head
        QString error;
        const QByteArray data = FetchForPicture(address, *v.info, deadline, &error);
        const QByteArray jpeg = error.isEmpty() ? PictureToJpeg(data, deadline, &error) : QByteArray();
        if (!jpeg.isEmpty())
            PageCache(v.link).storePicture({address, jpeg});
    }
}

/** Reads the batch that starts at `link` in one yt-dlp run and keeps every video read. */
void readBatch(const Bridge& b, const QString& link)
{
    QFile file(batchPath(link));
    const QFileInfo info(file);
    if (!info.isFile() || info.lastModified().secsTo(QDateTime::currentDateTime()) > kListedAgeSeconds ||
        !file.open(QIODevice::ReadOnly))
        return;
    QStringList links;
    for (const QJsonValue& v : QJsonDocument::fromJson(file.readAll()).array())
        links << v.toString();
    file.close();
    file.remove();
    if (links.isEmpty() || links.first() != link)
        return;
    QList<ListedVideo> read;
    ChildRun run;
    // yt-dlp answers each link with one line of JSON; one that fails gives none and is read alone
    // when its turn comes, with its error.
    run.arguments = QStringList{QStringLiteral("-J"), QStringLiteral("-i"), QStringLiteral("--no-playlist"),
                                QStringLiteral("--")} +
                    links;
    run.onOutputLine = [&](const QByteArray& line) {
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (!doc.isObject() || IsPlaylist(doc.object()))
            return;
        QJsonObject video = doc.object();
        QString own = text(video, "original_url");
        if (!links.contains(own))
            own = text(video, "webpage_url");
        if (!links.contains(own))
            return;
        video.insert(kListedKey, true);
        if (PageCache(own).store(video))
            KeepAnswers(own, video);
        read.append({own, video});
    };
    run.onErrorLine = [](const QByteArray&) {}; // its failures show when their rows are read alone
    ErrorLines errors;
    Output silent;
    (void)ExecBridge(b, run, errors, silent, true);
    preparePictures(read);
}

} // namespace

QString ItemLink(const QString& page, int index)
{
    QUrl url(page);
    url.setFragment(kItemFragment + QString::number(index));
    return url.toString();
}

std::optional<PageItem> ParseItemLink(const QString& link)
{
    const QUrl url(link);
    const QString fragment = url.fragment();
    if (!isWebLink(link) || !fragment.startsWith(kItemFragment))
        return std::nullopt;
    static const QRegularExpression number(QStringLiteral("^[1-9][0-9]{0,8}$"));
    const QString n = fragment.mid(kItemFragment.size());
    if (!number.match(n).hasMatch())
        return std::nullopt;
    return PageItem{url.adjusted(QUrl::RemoveFragment).toString(), n.toInt()};
}

QStringList VideoArguments(const QString& link)
{
    if (const auto item = ParseItemLink(link))
        return {QStringLiteral("--yes-playlist"), QStringLiteral("--playlist-items"),
                QString::number(item->index), QStringLiteral("--"), item->page};
    return {QStringLiteral("--no-playlist"), QStringLiteral("--playlist-items"), QStringLiteral("1"),
            QStringLiteral("--"), link};
}

bool IsPlaylist(const QJsonObject& answer)
{
    const QString type = text(answer, "_type");
    return type == u"playlist" || type == u"multi_video";
}

QList<ListedVideo> ListedVideos(const QJsonObject& answer, const QString& link)
{
    QList<ListedVideo> videos;
    const QString page = pageOf(text(answer, "webpage_url").isEmpty() ? link : text(answer, "webpage_url"));
    const QJsonArray entries = answer.value(QLatin1String("entries")).toArray();
    int place = 0;
    for (const QJsonValue& value : entries) {
        ++place;
        if (!value.isObject())
            continue; // yt-dlp leaves a gap for a video it could not read
        const QJsonObject entry = value.toObject();
        const QString type = text(entry, "_type");
        if (type == u"url" || type == u"url_transparent") {
            // A video with a page of its own, read when its row's turn comes.
            QString own = text(entry, "url");
            if (!isWebLink(own))
                own = text(entry, "webpage_url");
            if (isWebLink(own))
                videos.append({own, std::nullopt});
            continue;
        }
        // A video read with the list. One whose page is the list's own (several videos on one page)
        // gets an item link; one with a page of its own keeps that.
        const QString own = text(entry, "webpage_url");
        QString row = isWebLink(own) && pageOf(own) != page && pageOf(own) != pageOf(link)
                          ? own
                          : ItemLink(link, place);
        videos.append({row, entry});
    }
    return videos;
}

QStringList PlaylistLines(const QList<ListedVideo>& videos)
{
    QStringList lines{QStringLiteral("[playlist] %1").arg(videos.size())};
    for (const ListedVideo& v : videos)
        lines << QStringLiteral("[playlist-video] ") + v.link;
    return lines;
}

ListRead ReadForList(const Bridge& b, const QString& link, Output& out)
{
    ListRead read;
    if (auto kept = PageCache(link).load(kListedAgeSeconds); kept && kept->value(kListedKey).toBool()) {
        read.video = *kept;
        return read;
    }
    // The first video of a batch of a list brings the others with it, in one yt-dlp.
    readBatch(b, link);
    if (auto kept = PageCache(link).load(kListedAgeSeconds); kept && kept->value(kListedKey).toBool()) {
        read.video = *kept;
        return read;
    }
    const std::optional<QJsonObject> answered = ReadJson(
        b,
        QStringList{QStringLiteral("-J"), QStringLiteral("--flat-playlist")} +
            // The whole list, its entries unread; an item of a page is that item alone.
            (ParseItemLink(link) ? VideoArguments(link)
                                 : QStringList{QStringLiteral("--no-playlist"), QStringLiteral("--"), link}),
        out);
    if (!answered) {
        read.listed = 1;
        return read;
    }
    const QJsonObject answer = *answered;
    if (IsPlaylist(answer) && !ParseItemLink(link)) {
        const QList<ListedVideo> videos = ListedVideos(answer, link);
        if (videos.isEmpty()) {
            out.line(
                QStringLiteral("ERROR: This playlist holds no videos (it is empty, private or removed)"));
            read.listed = 1;
            return read;
        }
        planBatches(videos);
        for (const ListedVideo& v : videos) {
            if (!v.info)
                continue;
            QJsonObject kept = *v.info;
            kept.insert(kListedKey, true);
            if (PageCache(v.link).store(kept))
                KeepAnswers(v.link, kept);
        }
        const QString title = text(answer, "title");
        out.line(
            QStringLiteral("[info] %1 videos in %2").arg(videos.size()).arg(title.isEmpty() ? link : title));
        for (const QString& line : PlaylistLines(videos))
            out.line(line);
        preparePictures(videos);
        read.listed = 0;
        return read;
    }
    if (IsPlaylist(answer) && answer.value(QLatin1String("entries")).toArray().isEmpty()) {
        out.line(QStringLiteral("ERROR: This video is no longer on its page"));
        read.listed = 1;
        return read;
    }
    read.video = VideoEntry(answer);
    if (PageCache(link).store(read.video))
        KeepAnswers(link, read.video);
    else
        out.line(QStringLiteral("WARNING: Unable to keep this page in %1; later runs read it again")
                     .arg(PageCache::folder()));
    return read;
}

} // namespace brenlow::tool
