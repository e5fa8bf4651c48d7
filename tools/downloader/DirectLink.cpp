#include "DirectLink.h"

#include "Simulator.h"
#include "YtDlp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

namespace brenlow::tool {
namespace {

// The one profile a direct link offers.
const QString kCode = QStringLiteral("1");
constexpr qint64 kReadBuffer = 1 << 20; // bytes held in memory at most, whatever the file's size
constexpr int kProgressEveryMs = 200;

int timeoutMs()
{
    bool ok = false;
    const int fromEnv = qEnvironmentVariableIntValue("BRENLOW_TOOL_TIMEOUT_MS", &ok);
    return ok && fromEnv > 0 ? fromEnv : 30000;
}

QString extensionFor(const QUrl& url, const QString& contentType)
{
    const QString suffix = QFileInfo(url.path()).suffix().toLower();
    if (!suffix.isEmpty() && suffix.size() <= 5)
        return suffix;
    const QString type = contentType.section(u';', 0, 0).trimmed().toLower();
    if (!type.isEmpty()) {
        const QMimeType mime = QMimeDatabase().mimeTypeForName(type);
        if (mime.isValid() && !mime.preferredSuffix().isEmpty())
            return mime.preferredSuffix();
    }
    return QStringLiteral("bin");
}

QString hostOf(const QUrl& url)
{
    return url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
}

QString titleOf(const QUrl& url)
{
    const QString name = QFileInfo(url.path(QUrl::FullyDecoded)).completeBaseName();
    return name.isEmpty() ? hostOf(url) : name;
}

/** One request, waited for in a local event loop. The reply is finished (or aborted) on return. */
class Fetch : public QObject
{
public:
    Fetch(QNetworkAccessManager& nam, const QUrl& url, const QByteArray& verb, qint64 from, Output& out,
          bool verbose)
    {
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setTransferTimeout(timeoutMs());
        request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Brenlow do.dll"));
        if (from > 0)
            request.setRawHeader("Range", "bytes=" + QByteArray::number(from) + '-');
        if (verbose)
            out.line(QStringLiteral("[debug] %1 %2").arg(QString::fromLatin1(verb), url.toString()));
        m_reply = verb == "HEAD" ? nam.head(request) : nam.get(request);
        m_reply->setReadBufferSize(kReadBuffer);
    }
    ~Fetch() override { delete m_reply; }

    QNetworkReply* reply() const { return m_reply; }

    /** Stops the transfer on purpose; not a failure. */
    void abort()
    {
        m_aborted = true;
        m_reply->abort();
    }

    /** The HTTP status, or 0 for a scheme without one. */
    int status() const { return m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }

    /** A message for a failed request, or empty when it succeeded so far. */
    QString failure() const
    {
        const int code = status();
        if (code >= 400) {
            const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            return QStringLiteral("HTTP Error %1: %2").arg(code).arg(reason);
        }
        if (m_reply->error() == QNetworkReply::NoError || m_aborted)
            return {};
        switch (m_reply->error()) {
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            return QStringLiteral("Timed out: no data for %1 s").arg(timeoutMs() / 1000.0);
        case QNetworkReply::SslHandshakeFailedError:
            return QStringLiteral("TLS failure: %1").arg(m_reply->errorString());
        default:
            return QStringLiteral("Unable to download: %1").arg(m_reply->errorString());
        }
    }

private:
    QNetworkReply* m_reply = nullptr;
    bool m_aborted = false;
};

void waitForHeaders(QNetworkReply* reply)
{
    // Headers of redirections do not count; the final answer's do.
    auto arrived = [reply] {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const bool final = status.isValid() && (status.toInt() < 300 || status.toInt() >= 400);
        return reply->isFinished() || final || (reply->url().isLocalFile() && reply->bytesAvailable() > 0);
    };
    if (arrived())
        return;
    QEventLoop loop;
    auto check = [&] {
        if (arrived())
            loop.quit();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, check);
    QObject::connect(reply, &QNetworkReply::finished, &loop, check);
    QObject::connect(reply, &QIODevice::readyRead, &loop, check);
    loop.exec();
}

// The byte range of a 206 or 416 answer ("bytes 100-199/200", or a star and the size); -1 where unknown.
struct ContentRange
{
    explicit ContentRange(QNetworkReply* reply)
    {
        static const QRegularExpression re(QStringLiteral("^bytes\\s+(?:(\\d+)-\\d+|\\*)/(\\d+|\\*)"));
        const QRegularExpressionMatch m =
            re.match(QString::fromLatin1(reply->rawHeader("Content-Range")).trimmed());
        if (!m.hasMatch())
            return;
        if (!m.captured(1).isEmpty())
            start = m.captured(1).toLongLong();
        if (m.captured(2) != u"*")
            total = m.captured(2).toLongLong();
    }
    qint64 start = -1;
    qint64 total = -1;
};

void waitFinished(QNetworkReply* reply)
{
    if (reply->isFinished())
        return;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Head
{
    QString ext;
    qint64 size = -1;
    QString type;
};

int formatList(QNetworkAccessManager& nam, const QUrl& url, const Options& o, Output& out)
{
    out.line(QStringLiteral("[generic] %1: Requesting header").arg(titleOf(url)));
    Fetch fetch(nam, url, "HEAD", 0, out, o.verbose);
    waitFinished(fetch.reply());
    QString failure = fetch.failure();
    Head head;
    if (failure.isEmpty() || fetch.status() == 405 || fetch.status() == 501) {
        // Servers that refuse HEAD get a GET that stops after the headers.
        std::unique_ptr<Fetch> get;
        QNetworkReply* reply = fetch.reply();
        if (!failure.isEmpty()) {
            get = std::make_unique<Fetch>(nam, url, "GET", 0, out, o.verbose);
            reply = get->reply();
            waitForHeaders(reply);
            failure = get->failure();
            get->abort();
        }
        const QUrl finalUrl = reply->url();
        head.type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        head.ext = extensionFor(finalUrl, head.type);
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            head.size = length.toLongLong();
        if (url.isLocalFile())
            head.size = QFileInfo(url.toLocalFile()).size();
    }
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile())
        failure = QStringLiteral("Unable to open %1: no such file").arg(url.toLocalFile());
    if (!failure.isEmpty()) {
        out.line(QStringLiteral("ERROR: %1").arg(failure));
        return 1;
    }
    const QString type = head.type.section(u';', 0, 0).trimmed().toLower();
    if (type == u"text/html" || type == u"application/xhtml+xml") {
        // A page, not a file: only yt-dlp can find the video in it.
        out.line(YtDlpNeededText());
        return 1;
    }
    out.line(QStringLiteral("[info] Available formats for %1:").arg(titleOf(url)));
    out.line(QStringLiteral("format code  extension  resolution note"));
    QString line =
        kCode.leftJustified(13) + head.ext.leftJustified(11) + QStringLiteral("unknown    direct link");
    if (!head.type.isEmpty())
        line += QStringLiteral(" , ") + head.type.section(u';', 0, 0).trimmed();
    if (head.size >= 0)
        line += QStringLiteral(", ") + FormatBytes(static_cast<double>(head.size));
    out.line(line + QStringLiteral(" (best)"));
    return 0;
}

int download(QNetworkAccessManager& nam, const QUrl& url, const Options& o, Output& out)
{
    if (!o.format.isEmpty() && o.format != kCode) {
        out.line(QStringLiteral("ERROR: requested format not available"));
        return 1;
    }
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s.%(ext)s") : o.output;
    auto pathFor = [&](const QString& ext) {
        return ApplyTemplate(tpl, titleOf(url), hostOf(url), titleOf(url), ext);
    };

    // Where the address itself names the extension, the target is known before any request.
    const QString urlExt = QFileInfo(url.path()).suffix();
    if (!urlExt.isEmpty() && o.noOverwrite && QFileInfo::exists(pathFor(extensionFor(url, {})))) {
        out.line(
            QStringLiteral("[download] %1 has already been downloaded").arg(pathFor(extensionFor(url, {}))));
        return 0;
    }
    auto partSize = [](const QString& p) { return QFileInfo(p + QStringLiteral(".part")).size(); };
    QString path = pathFor(extensionFor(url, {}));
    qint64 from = o.resume ? partSize(path) : 0;
    QUrl target = url;
    std::unique_ptr<Fetch> fetch;
    QNetworkReply* reply = nullptr;
    // The address may lead elsewhere, to another extension and so to another partial file; then the
    // request is made again from that file's size.
    for (int attempt = 0;; ++attempt) {
        fetch = std::make_unique<Fetch>(nam, target, "GET", from, out, o.verbose);
        reply = fetch->reply();
        waitForHeaders(reply);
        const bool retry = attempt < 3;
        if (fetch->status() == 416 && from > 0) {
            const QString there = pathFor(extensionFor(reply->url(), {}));
            const qint64 size = ContentRange(reply).total;
            fetch->abort();
            if (there != path && retry) {
                path = there;
                from = o.resume ? partSize(there) : 0;
                target = reply->url();
                continue;
            }
            if (size == from) {
                // The partial file already holds everything the server has.
                QFile::remove(path);
                if (!QFile::rename(path + QStringLiteral(".part"), path)) {
                    out.line(QStringLiteral("ERROR: unable to rename file: %1").arg(path));
                    return 1;
                }
                out.line(QStringLiteral("[download] %1 has already been downloaded").arg(path));
                return 0;
            }
            if (retry) {
                // Larger than the file, or of unknown fit: no piece of it; fetch it whole.
                out.line(QStringLiteral("[download] The partial file does not fit; downloading it anew"));
                from = 0;
                target = reply->url();
                continue;
            }
        }
        if (const QString failure = fetch->failure(); !failure.isEmpty()) {
            fetch->abort();
            out.line(QStringLiteral("ERROR: %1").arg(failure));
            return 1;
        }
        const QString there =
            pathFor(extensionFor(reply->url(), reply->header(QNetworkRequest::ContentTypeHeader).toString()));
        const qint64 thereFrom = o.resume ? partSize(there) : 0;
        if (thereFrom != from && retry) {
            fetch->abort();
            path = there;
            from = thereFrom;
            target = reply->url();
            continue;
        }
        path = there;
        break;
    }
    if (QFileInfo::exists(path)) {
        if (o.noOverwrite) {
            fetch->abort();
            out.line(QStringLiteral("[download] %1 has already been downloaded").arg(path));
            return 0;
        }
    }
    bool partial = fetch->status() == 206;
    const ContentRange range(reply);
    if (partial && range.start != from) {
        if (range.start != 0) {
            fetch->abort();
            out.line(QStringLiteral("ERROR: asked for the file from byte %1, the server sent it from byte %2")
                         .arg(from)
                         .arg(range.start));
            return 1;
        }
        partial = false; // the whole file after all
    }
    if (!partial)
        from = 0; // the server sends the whole file again
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    qint64 total = length.isValid() ? from + length.toLongLong() : -1;
    if (fetch->status() == 206 && range.total > 0)
        total = range.total;
    if (url.isLocalFile())
        total = QFileInfo(url.toLocalFile()).size();

    const QString partPath = path + QStringLiteral(".part");
    QFile part(partPath);
    if (!part.open(partial ? (QIODevice::WriteOnly | QIODevice::Append)
                           : (QIODevice::WriteOnly | QIODevice::Truncate))) {
        fetch->abort();
        out.line(QStringLiteral("ERROR: unable to open for writing: %1").arg(part.errorString()));
        return 1;
    }
    out.line(QStringLiteral("[download] Destination: %1").arg(path));
    if (partial && from > 0)
        out.line(QStringLiteral("[download] Resuming download at byte %1").arg(from));

    qint64 done = from;
    QElapsedTimer clock;
    clock.start();
    qint64 lastReport = -kProgressEveryMs;
    QString writeError;
    auto report = [&] {
        const double seconds = std::max<qint64>(clock.elapsed(), 1) / 1000.0;
        const double rate = static_cast<double>(done - from) / seconds;
        if (total > 0)
            out.raw("\r" + ProgressLine(done, total, rate).toUtf8());
        else
            out.raw("\r" + QStringLiteral("[download] %1 at %2/s")
                               .arg(FormatBytes(static_cast<double>(done)), FormatBytes(rate))
                               .toUtf8());
        lastReport = clock.elapsed();
    };
    auto drain = [&] {
        while (reply->bytesAvailable() > 0 && writeError.isEmpty()) {
            const QByteArray data = reply->read(256 * 1024);
            if (part.write(data) != data.size())
                writeError = part.errorString();
            done += data.size();
        }
        if (!writeError.isEmpty())
            fetch->abort();
        if (clock.elapsed() - lastReport >= kProgressEveryMs)
            report();
    };
    QEventLoop loop;
    QObject::connect(reply, &QIODevice::readyRead, &loop, drain);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    drain();
    if (!reply->isFinished())
        loop.exec();
    drain();
    part.close();
    report();
    auto fail = [&](const QString& message) {
        out.raw(out.lineEnd());
        out.line(QStringLiteral("ERROR: ") + message);
        return 1;
    };
    if (!writeError.isEmpty())
        return fail(QStringLiteral("unable to write data: %1").arg(writeError));
    if (const QString failure = fetch->failure(); !failure.isEmpty())
        return fail(failure);
    if (total >= 0 && done < total)
        return fail(QStringLiteral("Download incomplete: received %1 of %2 bytes").arg(done).arg(total));
    out.raw("\r" + FinishedLine(done, clock.elapsed() / 1000.0).toUtf8() + out.lineEnd());
    QFile::remove(path);
    if (!QFile::rename(partPath, path)) {
        out.line(QStringLiteral("ERROR: unable to rename file: %1").arg(path));
        return 1;
    }
    return 0;
}

} // namespace

int RunDirect(const Options& o, Output& out)
{
    const QUrl url(o.link, QUrl::StrictMode);
    switch (o.mode) {
    case Options::Mode::Name: {
        const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s.%(ext)s") : o.output;
        out.line(ApplyTemplate(tpl, titleOf(url), hostOf(url), titleOf(url), extensionFor(url, {})));
        return 0;
    }
    case Options::Mode::Thumbnail:
        out.line(QStringLiteral("WARNING: There's no thumbnail for this video"));
        return 0;
    case Options::Mode::FormatList: {
        QNetworkAccessManager nam;
        return formatList(nam, url, o, out);
    }
    case Options::Mode::Download:
        break;
    }
    QNetworkAccessManager nam;
    return download(nam, url, o, out);
}

} // namespace brenlow::tool
