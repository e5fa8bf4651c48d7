#include "YtDlp.h"

#include "Answers.h"
#include "AnswersFormat.h"
#include "AudioProfiles.h"
#include "Bridge.h"
#include "Child.h"
#include "PageCache.h"
#include "PageInfo.h"
#include "Picture.h"
#include "Playlist.h"
#include "UserConfig.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>

namespace brenlow::tool {
namespace {

// The thumbnail and name runs follow the format list within seconds; a page's data is good for
// them much longer than its media addresses, which sites let expire, are good for a download.
constexpr qint64 kMetadataAgeSeconds = answers::kMetadataAgeSeconds;
constexpr qint64 kDownloadAgeSeconds = 30 * 60;
constexpr qint64 kKeepForSizesSeconds = 7 * 24 * 3600;
constexpr int kProgressEveryMs = 250;
// The whole picture run, the page read again included: the window waits for it.
constexpr qint64 kPictureRunMs = 20000;
constexpr qint64 kPlaylistCheckMs = 10000;

QString text(const QJsonObject& o, const char* key)
{
    return o.value(QLatin1String(key)).toString();
}

/** One fresh extraction of the page, kept in the cache. yt-dlp's messages are printed (quiet: only
 *  its errors); a failure gives nothing. */
std::optional<QJsonObject> extract(const Bridge& b, const QString& link, Output& out, bool quiet,
                                   QDeadlineTimer deadline = QDeadlineTimer::Forever)
{
    // Exactly the video the row stands for: a link's own video, or the item of a page.
    const std::optional<QJsonObject> answer =
        ReadJson(b, QStringList{QStringLiteral("-J")} + VideoArguments(link), out, quiet, deadline);
    if (!answer)
        return std::nullopt;
    const QJsonObject info = VideoEntry(*answer);
    if (PageCache(link).store(info))
        KeepAnswers(link, info);
    else if (!quiet)
        out.line(QStringLiteral("WARNING: Unable to keep this page in %1; later runs read it again")
                     .arg(PageCache::folder()));
    return info;
}

/** The page's data: the cached extraction while it is young enough, else a fresh one. */
std::optional<QJsonObject> pageInfo(const Bridge& b, const QString& link, qint64 maxAge, Output& out,
                                    bool quiet, bool* fromCache,
                                    QDeadlineTimer deadline = QDeadlineTimer::Forever)
{
    if (auto cached = PageCache(link).load(maxAge)) {
        *fromCache = true;
        return cached;
    }
    *fromCache = false;
    return extract(b, link, out, quiet, deadline);
}

/** Whether an HLS stream of unknown status is live now: its playlist does not end. Older yt-dlp
 *  versions do not tell, and would save the current window as if it were the video. */
bool endlessPlaylist(const QJsonObject& info)
{
    const std::optional<QJsonObject> f = HlsOfUnknownStatus(info);
    if (!f)
        return false;
    QString error;
    const QByteArray playlist = FetchForPicture(text(*f, "url"), *f, QDeadlineTimer(kPlaylistCheckMs), &error);
    return playlist.startsWith("#EXTM3U") && !playlist.contains("#EXT-X-STREAM-INF") &&
           !playlist.contains("#EXT-X-ENDLIST") && !playlist.contains("#EXT-X-PLAYLIST-TYPE:VOD");
}

int formatList(const Bridge& b, const Options& o, Output& out)
{
    // A link holding several videos is answered with their row links instead of a table.
    const ListRead read = ReadForList(b, o.link, out);
    if (read.listed)
        return *read.listed;
    const std::optional<QJsonObject> info = read.video;
    if (IsLiveNow(*info) || endlessPlaylist(*info)) {
        out.line(QStringLiteral("ERROR: ") + LiveRefusalText());
        return 1;
    }
    const PageCache cache(o.link);
    CodeMap codes = cache.codes();
    const QStringList lines = WithAudioProfiles(FormatTable(*info, codes), *info, codes);
    if (!cache.storeCodes(codes))
        out.line(QStringLiteral("WARNING: Unable to keep the format codes of this page in %1; a download "
                                "of a merged format reads the page again")
                     .arg(PageCache::folder()));
    if (lines.isEmpty()) {
        out.line(QStringLiteral("ERROR: No video formats found on this page"));
        return 1;
    }
    for (const QString& line : FormatListLines(*info, lines))
        out.line(line);
    return 0;
}

int name(const Bridge& b, const Options& o, Output& out)
{
    bool fromCache = false;
    // Only the name may be printed: the window takes the output for it. A failure prints yt-dlp's
    // error, and no name.
    const auto info = pageInfo(b, o.link, kMetadataAgeSeconds, out, true, &fromCache);
    if (!info)
        return 1;
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s [%(id)s].%(ext)s") : o.output;
    out.line(OneLine(FillTemplate(tpl, *info)));
    return 0;
}

/** Failures that a page read a while ago explains: its media addresses have expired or gone. */
bool stalePageExplains(const QString& errors)
{
    static const QRegularExpression stale(QStringLiteral("HTTP Error (403|404|410)|\\bexpired\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    return stale.match(errors).hasMatch();
}

int writePicture(const QString& path, const QByteArray& jpeg, Output& out)
{
    constexpr auto kNewFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                              QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (QString reason; !ReplaceFile(path, jpeg, kNewFile, &reason)) {
        out.line(QStringLiteral("ERROR: Unable to write thumbnail: %1").arg(reason));
        return 1;
    }
    out.line(QStringLiteral("[info] Writing thumbnail to: %1").arg(path));
    return 0;
}

int thumbnail(const Bridge& b, const Options& o, Output& out)
{
    // Qt's network and picture warnings are no output of this tool.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    qint64 budget = kPictureRunMs;
    if (const int ms = qEnvironmentVariableIntValue("BRENLOW_TOOL_TIMEOUT_MS"); ms > 0)
        budget = std::min<qint64>(budget, ms);
    const QDeadlineTimer deadline(budget);
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool fromCache = false;
        const auto info = attempt == 0
                              ? pageInfo(b, o.link, kMetadataAgeSeconds, out, false, &fromCache, deadline)
                              : extract(b, o.link, out, false, deadline);
        if (!info)
            return 1;
        QString address = ThumbnailUrl(*info);
        const QString scheme = QUrl(address).scheme();
        if (scheme != u"http" && scheme != u"https")
            address.clear(); // a file on this computer is no picture of the page
        QJsonObject picture = *info;
        picture.insert(QStringLiteral("ext"), QStringLiteral("jpg"));
        const QString path = FillFileTemplate(
            o.output.isEmpty() ? QStringLiteral("%(title)s [%(id)s].%(ext)s") : o.output, picture);
        // Made ready by the run that read the list, from the same page.
        if (const auto kept = PageCache(o.link).picture(kMetadataAgeSeconds);
            fromCache && kept && !address.isEmpty() && kept->address == address) {
            out.line(QStringLiteral("[info] Downloading thumbnail %1").arg(address));
            return writePicture(path, kept->jpeg, out);
        }
        if (address.isEmpty()) {
            // Some pages name their picture only in their own head (the generic extractor misses it).
            QString ignored;
            const QUrl page(text(*info, "webpage_url").isEmpty() ? o.link : text(*info, "webpage_url"));
            address = PagePictureUrl(FetchForPicture(page.toString(), *info, deadline, &ignored), page);
        }
        if (address.isEmpty()) {
            out.line(QStringLiteral("WARNING: There's no thumbnail for this video"));
            return 0;
        }
        out.line(QStringLiteral("[info] Downloading thumbnail %1").arg(address));
        QString error;
        const QByteArray data = FetchForPicture(address, *info, deadline, &error);
        const QByteArray jpeg = error.isEmpty() ? PictureToJpeg(data, deadline, &error) : QByteArray();
        if (jpeg.isEmpty()) {
            if (fromCache && !deadline.hasExpired() && stalePageExplains(error))
                continue; // the cached address has gone: ask the page again
            out.line(QStringLiteral("WARNING: Unable to download thumbnail: %1").arg(error));
            return 0;
        }
        // Written only now that it decoded whole: a broken picture never replaces a good one.
        return writePicture(path, jpeg, out);
    }
    return 1;
}

QString formatSeconds(qint64 s)
{
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
}

/** The file yt-dlp names as its result, read from its messages: after a sound extraction, the file
 *  it converted to (the downloaded one is gone by then). */
class WrittenFile
{
public:
    void feed(const QString& line)
    {
        static const QRegularExpression merged(
            QStringLiteral("^\\[Merger\\] Merging formats into \"(.+)\"$"));
        static const QRegularExpression destination(QStringLiteral("^\\[download\\] Destination: (.+)$"));
        static const QRegularExpression there(
            QStringLiteral("^\\[download\\] (.+) has already been downloaded( and merged)?$"));
        // "Not converting ... already in target format" and "exists, skipping" name the file that stays.
        static const QRegularExpression extracted(
            QStringLiteral("^\\[ExtractAudio\\] (?:Destination: (.+)|Not converting audio (.+); file is "
                           "already in target format \\S+|Post-processed file (.+) exists, skipping)$"));
        if (const auto m = extracted.match(line); m.hasMatch())
            m_extracted = m.captured(1) + m.captured(2) + m.captured(3);
        else if (const auto m = merged.match(line); m.hasMatch())
            m_merged = m.captured(1);
        else if (const auto m = there.match(line); m.hasMatch())
            m_there = m.captured(1);
        else if (const auto m = destination.match(line); m.hasMatch())
            m_destination = m.captured(1);
    }
    [[nodiscard]] QString path() const
    {
        if (!m_extracted.isEmpty())
            return m_extracted;
        return !m_merged.isEmpty() ? m_merged : !m_there.isEmpty() ? m_there : m_destination;
    }

private:
    QString m_extracted, m_merged, m_there, m_destination;
};

int download(const Bridge& b, const Options& o, Output& out)
{
    const PageCache cache(o.link);
    QString wanted = o.format.isEmpty() ? QString() : FormatIdForCode(o.format, cache.codes());
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s [%(id)s].%(ext)s") : o.output;
    QElapsedTimer clock;
    clock.start();
    // The page read for the list while it is fresh; else yt-dlp reads the page itself (one run
    // rather than an extraction and a download).
    std::optional<QJsonObject> page = cache.load(kDownloadAgeSeconds);
    bool pageReadNow = false;
    auto readPage = [&] {
        page = extract(b, o.link, out, false);
        pageReadNow = true;
        return page.has_value();
    };
    // A pair whose picture's sound yt-dlp cannot tell merges only from a page it is handed.
    if (!page && wanted.contains(u'+') && !readPage())
        return 1;
    const bool codesLost = !o.format.isEmpty() && !cache.hasCodes();
    bool remapped = false, readAgain = false;
    for (;;) {
        const bool fromPage = page.has_value();
        if (fromPage && IsLiveNow(*page)) {
            out.line(QStringLiteral("ERROR: ") + LiveRefusalText());
            return 1;
        }
        // An older reading still tells the parts' sizes for the overall progress.
        const QJsonObject info = fromPage ? *page : cache.load(kKeepForSizesSeconds).value_or(QJsonObject());
        const QString formatId = wanted.isEmpty() ? DefaultFormatId(info) : wanted;
        MergedProgress progress(formatId, info);
        ChildRun run;
        run.arguments =
            QStringList{QStringLiteral("-o"),
                        fromPage ? FillFileTemplate(tpl, info, true) : EscapeTemplate(tpl),
                        QStringLiteral("--newline"),
                        QStringLiteral("--progress-template"),
                        MergedProgress::Template(),
                        QStringLiteral("--match-filter"),
                        QStringLiteral("!is_live"),
                        o.resume ? QStringLiteral("--continue") : QStringLiteral("--no-continue")};
        run.arguments << DownloadArguments(wanted, info);
        const double share = DownloadShare(wanted, info);
        if (o.noOverwrite)
            run.arguments << QStringLiteral("--no-overwrites");
        if (fromPage) {
            // Through a pipe: no scratch file to outlive the run.
            run.input = QJsonDocument(ForDownload(info, formatId)).toJson(QJsonDocument::Compact);
            run.arguments << QStringLiteral("--load-info-json") << QStringLiteral("/dev/stdin");
        } else {
            // Exactly the video the list described: the link's own, or the page's item it names.
            run.arguments << VideoArguments(o.link);
        }
        qint64 lastReport = -kProgressEveryMs;
        WrittenFile written;
        bool filtered = false;
        run.onOutputLine = [&](const QByteArray& bytes) {
            const QString line = QString::fromUtf8(bytes);
            if (!progress.feed(line)) {
                written.feed(line);
                filtered = filtered || line.contains(QStringLiteral("does not pass filter"));
                out.line(line);
                return;
            }
            // The window reads a few hundred bytes per tick: a line every quarter second is plenty.
            if (clock.elapsed() - lastReport >= kProgressEveryMs) {
                out.line(ScaleProgressLine(progress.line(), share));
                lastReport = clock.elapsed();
            }
        };
        ErrorLines errors;
        if (!ExecBridge(b, run, errors, out))
            return 1;
        if (run.exitCode == 0) {
            if (filtered) {
                out.line(QStringLiteral("ERROR: ") + LiveRefusalText());
                return 1;
            }
            const QString path = written.path();
            if (path.isEmpty() || !QFileInfo(path).isFile()) {
                out.line(
                    path.isEmpty()
                        ? QStringLiteral("ERROR: yt-dlp ended without writing a file")
                        : QStringLiteral("ERROR: yt-dlp ended, but its file is not there: %1").arg(path));
                return 1;
            }
            const QString total =
                progress.total() > 0 ? QStringLiteral(" of ") + FormatBytes(progress.total()) : QString();
            out.line(QStringLiteral("[download] 100%") + total + QStringLiteral(" in ") +
                     formatSeconds(clock.elapsed() / 1000));
            return 0;
        }
        // The code map was lost: a code the bridge made is found again from the page's formats,
        // which get their codes in the same order.
        if (codesLost && !remapped && errors.all().contains(QStringLiteral("format is not available"))) {
            if (!page && !readPage())
                return 1;
            CodeMap fresh;
            (void)WithAudioProfiles(FormatTable(*page, fresh), *page, fresh);
            wanted = FormatIdForCode(o.format, fresh);
            cache.storeCodes(fresh);
            remapped = true;
            out.line(QStringLiteral("[info] Format %1 is %2 of this page").arg(o.format, wanted));
            continue;
        }
        if (fromPage && !pageReadNow && !readAgain && stalePageExplains(errors.all())) {
            out.line(QStringLiteral("[info] Reading the page again"));
            readAgain = true;
            if (wanted.contains(u'+')) {
                if (!readPage())
                    return 1;
            } else {
                page.reset();
                pageReadNow = true;
            }
            continue;
        }
        if (!errors.said())
            out.line(run.exitCode > 0
                         ? QStringLiteral("ERROR: yt-dlp ended with exit code %1").arg(run.exitCode)
                         : QStringLiteral("ERROR: yt-dlp ended unexpectedly"));
        return run.exitCode > 0 ? run.exitCode : 1;
    }
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
    const Bridge b{ytdlp, BaseArguments(ytdlp)};
    switch (o.mode) {
    case Options::Mode::FormatList:
        return formatList(b, o, out);
    case Options::Mode::Name:
        return name(b, o, out);
    case Options::Mode::Thumbnail:
        return thumbnail(b, o, out);
    case Options::Mode::Download:
        break;
    }
    return download(b, o, out);
}

} // namespace brenlow::tool
