#include "Picture.h"

#include "Child.h"

#include <QBuffer>
#include <QEventLoop>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace brenlow::tool {
namespace {

constexpr qint64 kMaxPictureBytes = 32 << 20;

bool isWebAddress(const QUrl& url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

/** Counts the warnings Qt's decoders print while a picture is read: libjpeg reports a file cut short
 *  or corrupt data only that way, and fills the rest with grey. */
struct WarningCounter
{
    WarningCounter()
    {
        s_count = 0;
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString&) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                ++s_count;
        });
    }
    ~WarningCounter() { qInstallMessageHandler(m_previous); }
    [[nodiscard]] int count() const { return s_count; }

    static inline int s_count = 0;
    QtMessageHandler m_previous;
};

QSize fitted(QSize size)
{
    if (size.width() <= kPictureMaxWidth && size.height() <= kPictureMaxHeight)
        return size;
    return size.scaled(kPictureMaxWidth, kPictureMaxHeight, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

/** Whether a JPEG reaches its end marker (only padding may follow): libjpeg would make up the rest
 *  of one cut short. Inside the data a 0xFF is always followed by 0x00 or a marker. */
bool endsWhole(const QByteArray& data)
{
    const qsizetype end = data.lastIndexOf("\xFF\xD9");
    if (end < 0)
        return false;
    for (qsizetype i = end + 2; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c != '\0' && c != '\n' && c != '\r' && c != ' ' && c != '\t')
            return false;
    }
    return true;
}

/** Decodes with Qt, whole and within the limits; a null image with the reason when it cannot. */
QImage decode(const QByteArray& data, bool* known, QString* error)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    *known = reader.canRead();
    if (!*known)
        return {};
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    const bool jpeg = format == "jpeg" || format == "jpg";
    if (!size.isValid()) {
        *error = QStringLiteral("not a picture");
        return {};
    }
    // A JPEG decodes at a fraction of its size; every other format decodes whole first.
    if (!jpeg && qint64(size.width()) * size.height() > kPictureMaxPixels) {
        *error = QStringLiteral("the picture is too large (%1x%2)").arg(size.width()).arg(size.height());
        return {};
    }
    if (jpeg && fitted(size) != size)
        reader.setScaledSize(fitted(size));
    if (jpeg && !endsWhole(data)) {
        *error = QStringLiteral("the picture is cut short");
        return {};
    }
    QImage image;
    {
        const WarningCounter warnings;
        image = reader.read();
        if (!image.isNull() && warnings.count() > 0) {
            *error = QStringLiteral("the picture is corrupt");
            return {};
        }
    }
    if (image.isNull()) {
        *error = reader.errorString();
        return {};
    }
    if (fitted(image.size()) != image.size())
        image = image.scaled(fitted(image.size()), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

/** A format Qt does not read, through ffmpeg: in and out through pipes, refused above the pixel
 *  limit, scaled on the way. */
QByteArray throughFfmpeg(const QByteArray& data, const QDeadlineTimer& deadline, QString* error)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        *error = QStringLiteral("not a picture Qt reads, and there is no ffmpeg");
        return {};
    }
    ChildRun run;
    run.program = ffmpeg;
    run.arguments = {
        QStringLiteral("-nostdin"),
        QStringLiteral("-loglevel"),
        QStringLiteral("error"),
        QStringLiteral("-threads"),
        QStringLiteral("1"),
        QStringLiteral("-max_pixels"),
        QString::number(kPictureMaxPixels),
        QStringLiteral("-i"),
        QStringLiteral("pipe:0"),
        QStringLiteral("-frames:v"),
        QStringLiteral("1"),
        QStringLiteral("-vf"),
        QStringLiteral("scale=w='min(%1,iw)':h='min(%2,ih)':force_original_aspect_ratio=decrease")
            .arg(kPictureMaxWidth)
            .arg(kPictureMaxHeight),
        QStringLiteral("-f"),
        QStringLiteral("image2pipe"),
        QStringLiteral("-c:v"),
        QStringLiteral("png"),
        QStringLiteral("pipe:1")};
    run.input = data;
    run.deadline = deadline;
    run.exec();
    if (run.exitCode != 0 || run.output.isEmpty()) {
        *error = run.timedOut ? QStringLiteral("the picture took too long to convert")
                              : QStringLiteral("not a picture");
        return {};
    }
    return run.output;
}

} // namespace

QByteArray FetchForPicture(const QString& address, const QJsonObject& info, const QDeadlineTimer& deadline,
                           QString* error)
{
    const QUrl url(address);
    if (!isWebAddress(url)) {
        *error = QStringLiteral("only http and https addresses are fetched: %1").arg(address);
        return {};
    }
    QNetworkAccessManager nam;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    // The page's cookies and credentials are for the page: a picture may live anywhere.
    static const QList<QByteArray> kPrivate{"cookie", "authorization", "proxy-authorization"};
    const QJsonObject headers = info.value(QLatin1String("http_headers")).toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it) {
        if (!kPrivate.contains(it.key().toLatin1().toLower()))
            request.setRawHeader(it.key().toLatin1(), it.value().toString().toUtf8());
    }
    const QString page = info.value(QLatin1String("webpage_url")).toString();
    if (!headers.contains(QStringLiteral("Referer")) && isWebAddress(QUrl(page)))
        request.setRawHeader("Referer", page.toUtf8());
    QNetworkReply* reply = nam.get(request);
    QByteArray data;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::redirected, &loop, [&](const QUrl& to) {
        if (isWebAddress(to)) {
            emit reply->redirectAllowed();
        } else {
            *error = QStringLiteral("only http and https addresses are fetched: %1").arg(to.toString());
            reply->abort();
        }
    });
    QObject::connect(reply, &QIODevice::readyRead, &loop, [&] {
        data += reply->readAll();
        if (data.size() > kMaxPictureBytes) {
            *error = QStringLiteral("the picture is larger than 32 MiB");
            reply->abort();
        }
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
        *error = QStringLiteral("the picture server did not answer in time");
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timeout.start(static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
    if (!reply->isFinished())
        loop.exec();
    data += reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!error->isEmpty()) {
        // said already: a refused redirect, a limit or the deadline
    } else if (status >= 400) {
        *error = QStringLiteral("HTTP Error %1: %2")
                     .arg(status)
                     .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        *error = reply->errorString();
    }
    delete reply;
    return error->isEmpty() ? data : QByteArray();
}

QByteArray PictureToJpeg(const QByteArray& data, const QDeadlineTimer& deadline, QString* error)
{
    if (data.isEmpty()) {
        *error = QStringLiteral("an empty answer");
        return {};
    }
    bool known = false;
    QImage image = decode(data, &known, error);
    if (!known) {
        const QByteArray png = throughFfmpeg(data, deadline, error);
        if (png.isEmpty())
            return {};
        image = decode(png, &known, error);
    }
    if (image.isNull()) {
        if (error->isEmpty())
            *error = QStringLiteral("not a picture");
        return {};
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
    if (!image.save(&buffer, "JPG", 90)) {
        *error = QStringLiteral("unable to make a JPEG of it");
        return {};
    }
    return jpeg;
}

} // namespace brenlow::tool
