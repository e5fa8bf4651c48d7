#include "YtDlp.h"

#include "AudioProfiles.h"
#include "Child.h"
#include "PageCache.h"
#include "PageInfo.h"
#include "Playlist.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace brenlow::tool {
namespace {

// The thumbnail and name runs follow the format list within seconds; a page's data is good for
// them much longer than its media addresses, which sites let expire, are good for a download.
constexpr qint64 kMetadataAgeSeconds = 6 * 3600;
constexpr qint64 kDownloadAgeSeconds = 30 * 60;
constexpr qint64 kKeepForSizesSeconds = 7 * 24 * 3600;
constexpr int kProgressEveryMs = 250;
constexpr qint64 kMaxThumbnailBytes = 32 << 20;

QString text(const QJsonObject& o, const char* key)
{
    return o.value(QLatin1String(key)).toString();
}

/** One fresh extraction of the page, kept in the cache. yt-dlp's messages are printed (quiet: only
 *  its errors); a failure gives nothing. */
std::optional<QJsonObject> extract(const QString& ytdlp, const QString& link, Output& out, bool quiet)
{
    ChildRun run;
    run.program = ytdlp;
    run.arguments = QStringList{QStringLiteral("-J")} + VideoArguments(link);
    QByteArrayList errors;
    run.onErrorLine = [&](const QByteArray& line) {
        if (!quiet || line.startsWith("ERROR:"))
            out.line(QString::fromUtf8(line));
        errors << line;
    };
    run.exec();
    if (!run.started) {
        if (!quiet)
            out.line(QStringLiteral("ERROR: unable to start %1: %2").arg(ytdlp, run.startError));
        return std::nullopt;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(run.output);
    if (run.exitCode != 0 || !doc.isObject()) {
        bool said = false;
        for (const QByteArray& e : errors)
            said = said || e.startsWith("ERROR:");
        if (!quiet && !said)
            out.line(
                QStringLiteral("ERROR: yt-dlp found no video on this page (exit code %1)").arg(run.exitCode));
        return std::nullopt;
    }
    const QJsonObject info = VideoEntry(doc.object());
    PageCache(link).store(info);
    return info;
}

/** The page's data: the cached extraction while it is young enough, else a fresh one. */
std::optional<QJsonObject> pageInfo(const QString& ytdlp, const QString& link, qint64 maxAge, Output& out,
                                    bool quiet, bool* fromCache)
{
    if (auto cached = PageCache(link).load(maxAge)) {
        *fromCache = true;
        return cached;
    }
    *fromCache = false;
    return extract(ytdlp, link, out, quiet);
}

int formatList(const QString& ytdlp, const Options& o, Output& out)
{
    // A link holding several videos is answered with their row links instead of a table.
    const ListRead read = ReadForList(ytdlp, o.link, out);
    if (read.listed)
        return *read.listed;
    const std::optional<QJsonObject> info = read.video;
    const PageCache cache(o.link);
    CodeMap codes = cache.codes();
    const QStringList lines = WithAudioProfiles(FormatTable(*info, codes), *info, codes);
    cache.storeCodes(codes);
    if (lines.isEmpty()) {
        out.line(QStringLiteral("ERROR: No video formats found on this page"));
        return 1;
    }
    out.line(QStringLiteral("[info] Available formats for %1:").arg(text(*info, "id")));
    out.line(QStringLiteral("format code  extension  resolution note"));
    for (const QString& line : lines)
        out.line(line);
    return 0;
}

int name(const QString& ytdlp, const Options& o, Output& out)
{
    bool fromCache = false;
    // Only the name may be printed: the window takes the output for it. A failure prints yt-dlp's
    // error, and no name.
    const auto info = pageInfo(ytdlp, o.link, kMetadataAgeSeconds, out, true, &fromCache);
    if (!info)
        return 1;
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s [%(id)s].%(ext)s") : o.output;
    out.line(FillTemplate(tpl, *info));
    return 0;
}

QByteArray fetch(const QString& address, const QJsonObject& info, QString* error)
{
    QNetworkAccessManager nam;
    QNetworkRequest request{QUrl(address)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(30000);
    const QJsonObject headers = info.value(QLatin1String("http_headers")).toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it)
        request.setRawHeader(it.key().toLatin1(), it.value().toString().toUtf8());
    if (!headers.contains(QStringLiteral("Referer")) && !text(info, "webpage_url").isEmpty())
        request.setRawHeader("Referer", text(info, "webpage_url").toUtf8());
    QNetworkReply* reply = nam.get(request);
    QByteArray data;
    QEventLoop loop;
    QObject::connect(reply, &QIODevice::readyRead, &loop, [&] {
        data += reply->readAll();
        if (data.size() > kMaxThumbnailBytes)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    data += reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        *error = QStringLiteral("HTTP Error %1: %2")
                     .arg(status)
                     .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    else if (reply->error() != QNetworkReply::NoError)
        *error = reply->errorString();
    delete reply;
    return error->isEmpty() ? data : QByteArray();
}

/** The picture as JPEG bytes: JPEG as it is, what Qt reads re-encoded, the rest (WebP, AVIF) through
 *  ffmpeg in a private folder. Empty when it is no picture. */
QByteArray toJpeg(const QByteArray& data)
{
    if (data.startsWith("\xFF\xD8\xFF"))
        return data;
    QImage image = QImage::fromData(data);
    if (image.isNull()) {
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        QTemporaryDir dir;
        if (ffmpeg.isEmpty() || !dir.isValid())
            return {};
        QFile in(dir.filePath(QStringLiteral("in")));
        if (!in.open(QIODevice::WriteOnly) || in.write(data) != data.size())
            return {};
        in.close();
        ChildRun run;
        run.program = ffmpeg;
        run.arguments = {QStringLiteral("-nostdin"),
                         QStringLiteral("-loglevel"),
                         QStringLiteral("error"),
                         QStringLiteral("-y"),
                         QStringLiteral("-i"),
                         in.fileName(),
                         QStringLiteral("-frames:v"),
                         QStringLiteral("1"),
                         QStringLiteral("-f"),
                         QStringLiteral("image2"),
                         QStringLiteral("-c:v"),
                         QStringLiteral("mjpeg"),
                         QStringLiteral("-q:v"),
                         QStringLiteral("3"),
                         dir.filePath(QStringLiteral("out.jpg"))};
        run.exec();
        QFile result(dir.filePath(QStringLiteral("out.jpg")));
        if (run.exitCode != 0 || !result.open(QIODevice::ReadOnly))
            return {};
        return result.readAll();
    }
    if (image.hasAlphaChannel()) {
        // JPEG has no transparency: put the picture on white.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        image = flat;
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "JPG", 90) ? jpeg : QByteArray();
}

int thumbnail(const QString& ytdlp, const Options& o, Output& out)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool fromCache = false;
        const auto info = attempt == 0 ? pageInfo(ytdlp, o.link, kMetadataAgeSeconds, out, false, &fromCache)
                                       : extract(ytdlp, o.link, out, false);
        if (!info)
            return 1;
        QString address = ThumbnailUrl(*info);
        if (address.isEmpty()) {
            // Some pages name their picture only in their own head (the generic extractor misses it).
            QString ignored;
            const QUrl page(text(*info, "webpage_url").isEmpty() ? o.link : text(*info, "webpage_url"));
            address = PagePictureUrl(fetch(page.toString(), *info, &ignored), page);
        }
        if (address.isEmpty()) {
            out.line(QStringLiteral("WARNING: There's no thumbnail for this video"));
            return 0;
        }
        QJsonObject picture = *info;
        picture.insert(QStringLiteral("ext"), QStringLiteral("jpg"));
        const QString path = FillTemplate(
            o.output.isEmpty() ? QStringLiteral("%(title)s [%(id)s].%(ext)s") : o.output, picture);
        out.line(QStringLiteral("[info] Downloading thumbnail %1").arg(address));
        QString error;
        const QByteArray jpeg = toJpeg(fetch(address, *info, &error));
        if (jpeg.isEmpty()) {
            if (fromCache)
                continue; // the cached address may have gone: ask the page again
            out.line(QStringLiteral("WARNING: Unable to download thumbnail: %1")
                         .arg(error.isEmpty() ? QStringLiteral("not a picture") : error));
            return 0;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size() || !file.commit()) {
            out.line(QStringLiteral("ERROR: Unable to write thumbnail: %1").arg(file.errorString()));
            return 1;
        }
        out.line(QStringLiteral("[info] Writing thumbnail to: %1").arg(path));
        return 0;
    }
    return 1;
}

QString formatSeconds(qint64 s)
{
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
}

int download(const QString& ytdlp, const Options& o, Output& out)
{
    const PageCache cache(o.link);
    const QString wanted = o.format.isEmpty() ? QString() : FormatIdForCode(o.format, cache.codes());
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s [%(id)s].%(ext)s") : o.output;
    QElapsedTimer clock;
    clock.start();
    // The page read for the list while it is fresh; else, or when that fails, yt-dlp reads the page
    // itself (one run rather than an extraction and a download).
    const std::optional<QJsonObject> fresh = cache.load(kDownloadAgeSeconds);
    for (int attempt = fresh ? 0 : 1; attempt < 2; ++attempt) {
        const bool fromCache = attempt == 0;
        // An older reading still tells the parts' sizes for the overall progress.
        const QJsonObject info =
            fromCache ? *fresh : cache.load(kKeepForSizesSeconds).value_or(QJsonObject());
        MergedProgress progress(wanted.isEmpty() ? text(info, "format_id") : wanted, info);
        ChildRun run;
        run.program = ytdlp;
        run.arguments = {QStringLiteral("-o"),
                         fromCache ? FillTemplate(tpl, info, true) : EscapeTemplate(tpl),
                         QStringLiteral("--newline"),
                         QStringLiteral("--progress-template"),
                         MergedProgress::Template(),
                         o.resume ? QStringLiteral("--continue") : QStringLiteral("--no-continue")};
        run.arguments << DownloadArguments(wanted, info);
        const double share = DownloadShare(wanted, info);
        if (o.noOverwrite)
            run.arguments << QStringLiteral("--no-overwrites");
        // A private copy: another run may renew the cached one meanwhile.
        QTemporaryDir scratch;
        if (fromCache) {
            const QString infoFile = scratch.filePath(QStringLiteral("page.json"));
            QFile copy(infoFile);
            const QByteArray json = QJsonDocument(info).toJson(QJsonDocument::Compact);
            if (!scratch.isValid() || !copy.open(QIODevice::WriteOnly) || copy.write(json) != json.size()) {
                out.line(
                    QStringLiteral("ERROR: unable to write a temporary file: %1").arg(copy.errorString()));
                return 1;
            }
            run.arguments << QStringLiteral("--load-info-json") << infoFile;
        } else {
            run.arguments << VideoArguments(o.link);
        }
        qint64 lastReport = -kProgressEveryMs;
        run.onOutputLine = [&](const QByteArray& bytes) {
            const QString line = QString::fromUtf8(bytes);
            if (!progress.feed(line)) {
                out.line(line);
                return;
            }
            // The window reads a few hundred bytes per tick: a line every quarter second is plenty.
            if (clock.elapsed() - lastReport >= kProgressEveryMs) {
                out.line(ScaleProgressLine(progress.line(), share));
                lastReport = clock.elapsed();
            }
        };
        QByteArrayList errors;
        run.onErrorLine = [&](const QByteArray& line) {
            out.line(QString::fromUtf8(line));
            errors << line;
        };
        run.exec();
        if (!run.started) {
            out.line(QStringLiteral("ERROR: unable to start %1: %2").arg(ytdlp, run.startError));
            return 1;
        }
        if (run.exitCode == 0) {
            const QString total =
                progress.total() > 0 ? QStringLiteral(" of ") + FormatBytes(progress.total()) : QString();
            out.line(QStringLiteral("[download] 100%") + total + QStringLiteral(" in ") +
                     formatSeconds(clock.elapsed() / 1000));
            return 0;
        }
        if (fromCache) {
            out.line(QStringLiteral("[info] Reading the page again"));
            continue;
        }
        bool said = false;
        for (const QByteArray& e : errors)
            said = said || e.startsWith("ERROR:");
        if (!said)
            out.line(QStringLiteral("ERROR: yt-dlp ended with exit code %1").arg(run.exitCode));
        return run.exitCode > 0 ? run.exitCode : 1;
    }
    return 1;
}

} // namespace

QString FindYtDlp()
{
    if (qEnvironmentVariableIsSet("BRENLOW_YTDLP")) {
        const QString chosen = qEnvironmentVariable("BRENLOW_YTDLP");
        if (chosen.isEmpty())
            return {};
        if (!chosen.contains(u'/'))
            return QStandardPaths::findExecutable(chosen);
        const QFileInfo info(chosen);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(QStringLiteral("yt-dlp"));
}

QString YtDlpNeededText()
{
    return QStringLiteral(
        "ERROR: This link is a web page, not a media file. Reading video pages needs yt-dlp, which was not "
        "found. Install it with \"sudo apt-get install yt-dlp ffmpeg\" (or the newest version with "
        "\"python3 -m pip install --user -U yt-dlp\"), or set BRENLOW_YTDLP to its path.");
}

int RunYtDlp(const QString& ytdlp, const Options& o, Output& out)
{
    switch (o.mode) {
    case Options::Mode::FormatList:
        return formatList(ytdlp, o, out);
    case Options::Mode::Name:
        return name(ytdlp, o, out);
    case Options::Mode::Thumbnail:
        return thumbnail(ytdlp, o, out);
    case Options::Mode::Download:
        break;
    }
    return download(ytdlp, o, out);
}

} // namespace brenlow::tool
