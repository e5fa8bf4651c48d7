#include "Simulator.h"

#include "tools/ToolSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace brenlow::tool {
namespace {

QString stageName(Options::Mode mode)
{
    switch (mode) {
    case Options::Mode::FormatList:
        return QStringLiteral("formats");
    case Options::Mode::Thumbnail:
        return QStringLiteral("thumbnail");
    case Options::Mode::Name:
        return QStringLiteral("name");
    case Options::Mode::Download:
        break;
    }
    return QStringLiteral("download");
}

void flood(const Video& v, const Output& out)
{
    // Verbose chatter in the 4 KiB blocks a block-buffered program writes to a pipe.
    QByteArray block;
    for (int i = 0; block.size() < 4096; ++i)
        block += "[debug] flood line " + QByteArray::number(i).rightJustified(4, '0') +
                 ": Lorem ipsum dolor sit amet, consectetur adipiscing elit." + v.lineEnd;
    block.truncate(4096);
    QElapsedTimer clock;
    clock.start();
    qint64 written = 0;
    while (written < v.floodBytes) {
        const qsizetype n = static_cast<qsizetype>(std::min<qint64>(v.floodBytes - written, block.size()));
        out.raw(n == block.size() ? block : block.left(n));
        written += n;
        if (v.floodRate > 0 && written % (256 * 1024) < n)
            SleepMs(static_cast<int>(written * 1000 / v.floodRate - clock.elapsed()));
    }
}

void chatter(const Video& v, const Output& out)
{
    if (v.floodBytes > 0)
        flood(v, out);
    if (v.interleave) {
        for (int i = 1; i <= 6; ++i) {
            out.line(QStringLiteral("[stdout] line %1").arg(i));
            out.errorLine(QStringLiteral("[stderr] line %1").arg(i));
        }
    }
    for (const QString& line : v.preamble) {
        out.line(line);
        SleepMs(v.lineDelayMs);
    }
    for (int i = 1; i <= v.preambleRepeat; ++i)
        out.line(
            QStringLiteral("[debug] Loading extractor data, part %1 of %2").arg(i).arg(v.preambleRepeat));
}

QString tableLine(const Format& f)
{
    QString line =
        f.code.leftJustified(13) + f.ext.leftJustified(11) + f.resolution.leftJustified(11) + f.note;
    if (f.size > 0)
        line += QStringLiteral(", ") + FormatBytes(static_cast<double>(f.size));
    return line;
}

int formatList(const Video& v, const Output& out)
{
    out.line(QStringLiteral("[info] Available formats for %1:").arg(v.id));
    out.line(QStringLiteral("format code  extension  resolution note"));
    SleepMs(v.lineDelayMs);
    for (qsizetype i = 0; i < v.formats.size(); ++i) {
        QString line = tableLine(v.formats.at(i));
        if (i + 1 == v.formats.size())
            line += QStringLiteral(" (best)");
        out.line(line);
        SleepMs(v.lineDelayMs);
    }
    return 0;
}

int thumbnail(const Video& v, const Options& o, const Output& out)
{
    out.line(QStringLiteral("[info] %1: Downloading thumbnail ...").arg(v.id));
    if (v.thumbnail == u"missing") {
        out.line(QStringLiteral("WARNING: There's no thumbnail for this video"));
        return 0;
    }
    if (o.output.isEmpty()) {
        out.line(QStringLiteral("ERROR: no output file given"));
        return 1;
    }
    out.line(QStringLiteral("[info] Writing video thumbnail to: %1").arg(o.output));
    if (v.thumbnail == u"corrupt") {
        QFile file(o.output);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write("\xFF\xD8\xFF\xE0 this is not really a picture");
        return 0;
    }
    if (QString error; !WriteDemoPicture(v.colour, o.output, &error)) {
        out.line(QStringLiteral("ERROR: Unable to write thumbnail file: %1%2")
                     .arg(o.output, error.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(error)));
        return 1;
    }
    return 0;
}

int name(const Video& v, const Options& o, const Output& out)
{
    if (v.noName)
        return 1;
    const QString ext = v.formats.isEmpty() ? QStringLiteral("mp4") : v.formats.constLast().ext;
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s-%(id)s.%(ext)s") : o.output;
    const QByteArray line = ApplyTemplate(tpl, v.title, v.uploader, v.id, ext).toUtf8() + v.lineEnd;
    if (!v.splitName) {
        out.raw(line);
        return 0;
    }
    // Cut inside the first character of more than one byte, then pause well past a polling tick.
    qsizetype cut = line.size() / 2;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if ((static_cast<quint8>(line.at(i)) & 0xC0) == 0xC0) {
            cut = i + 1;
            break;
        }
    }
    out.raw(line.left(cut));
    SleepMs(800);
    out.raw(line.mid(cut));
    return 0;
}

int download(const Video& v, const Options& o, const Output& out)
{
    const Format* chosen = nullptr;
    for (const Format& f : v.formats) {
        if (o.format.isEmpty() || f.code == o.format)
            chosen = &f; // without -f the last (best) one
    }
    if (!chosen) {
        out.line(QStringLiteral("ERROR: requested format not available"));
        return 1;
    }
    const Format& f = *chosen;
    const QString tpl = o.output.isEmpty() ? QStringLiteral("%(title)s-%(id)s.%(ext)s") : o.output;
    const QString path = ApplyTemplate(tpl, v.title, v.uploader, v.id, f.ext);
    if (o.verbose)
        out.line(QStringLiteral("[debug] Invoking downloader on %1, format %2").arg(v.link, f.code));
    if (QFileInfo::exists(path)) {
        if (o.noOverwrite) {
            out.line(QStringLiteral("[download] %1 has already been downloaded").arg(path));
            return 0;
        }
        QFile::remove(path);
    }

    const QString partPath = path + QStringLiteral(".part");
    QFile part(partPath);
    qint64 done = 0;
    if (o.resume && part.exists())
        done = std::min(part.size(), f.size);
    if (!part.open(done > 0 ? QIODevice::ReadWrite : (QIODevice::WriteOnly | QIODevice::Truncate))) {
        out.line(QStringLiteral("ERROR: unable to open for writing: %1").arg(part.errorString()));
        return 1;
    }
    part.resize(done);
    part.seek(done);
    out.line(QStringLiteral("[download] Destination: %1").arg(path));
    if (done > 0)
        out.line(QStringLiteral("[download] Resuming download at byte %1").arg(done));

    const qint64 first = done;
    const bool fresh = first == 0;
    const qint64 block = std::clamp<qint64>(v.rate / 20, 4096, 1 << 20);
    const QByteArray seed = v.id.toUtf8();
    QElapsedTimer clock;
    clock.start();
    QByteArray progress;
    while (done < f.size) {
        const qint64 n = std::min(block, f.size - done);
        if (part.write(Content(seed, done, n)) != n) {
            out.raw(out.lineEnd());
            out.line(QStringLiteral("ERROR: unable to write data: %1").arg(part.errorString()));
            return 1;
        }
        part.flush();
        done += n;
        // Keep to the catalogue's rate.
        const qint64 due = (done - first) * 1000 / std::max<qint64>(v.rate, 1);
        SleepMs(static_cast<int>(due - clock.elapsed()));
        const double seconds = std::max<qint64>(clock.elapsed(), 1) / 1000.0;
        out.raw("\r" + ProgressLine(done, f.size, static_cast<double>(done - first) / seconds).toUtf8());
        if (fresh && v.interruptAt > 0 &&
            done >= static_cast<qint64>(v.interruptAt * static_cast<double>(f.size))) {
            out.raw(out.lineEnd());
            out.line(QStringLiteral("ERROR: unable to download video data: Connection reset by peer"));
            return 1;
        }
        if (v.hangs(QStringLiteral("download")) && done * 10 >= f.size * 3)
            HangForever();
    }
    part.close();
    out.raw("\r" + FinishedLine(f.size, clock.elapsed() / 1000.0).toUtf8() + out.lineEnd());
    if (!QFile::rename(partPath, path)) {
        out.line(QStringLiteral("ERROR: unable to rename file: %1").arg(path));
        return 1;
    }
    return 0;
}

} // namespace

QString ApplyTemplate(QString tpl, const QString& title, const QString& uploader, const QString& id,
                      const QString& ext)
{
    // One pass, so a value that itself looks like a field is left alone.
    QString out;
    for (qsizetype i = 0; i < tpl.size();) {
        // "%%" is a "%" of the name, as yt-dlp reads it.
        if (tpl.at(i) == u'%' && tpl.mid(i, 2) == u"%%") {
            out += u'%';
            i += 2;
            continue;
        }
        if (tpl.at(i) == u'%' && tpl.mid(i, 2) == u"%(") {
            const qsizetype close = tpl.indexOf(QStringLiteral(")s"), i);
            if (close > 0) {
                const QString field = tpl.mid(i + 2, close - i - 2);
                if (field == u"title")
                    out += title;
                else if (field == u"uploader")
                    out += uploader;
                else if (field == u"id")
                    out += id;
                else if (field == u"ext")
                    out += ext;
                else
                    out += QStringLiteral("NA");
                i = close + 2;
                continue;
            }
        }
        out += tpl.at(i++);
    }
    return out;
}

void HangForever()
{
    for (;;)
        SleepMs(1000);
}

int RunSimulated(const Video& v, const Options& o, Output& out)
{
    out.setLineEnd(v.lineEnd);
    const QString stage = stageName(o.mode);
    if (v.crashes(stage))
        std::raise(SIGSEGV);
    if (!v.rawChatter.isEmpty())
        out.raw(v.rawChatter);
    chatter(v, out);
    if (v.hangs(stage) && stage != u"download")
        HangForever();
    if (v.fails(stage)) {
        out.line(v.errorText);
        return v.exitCode;
    }
    switch (o.mode) {
    case Options::Mode::FormatList:
        return formatList(v, out);
    case Options::Mode::Thumbnail:
        return thumbnail(v, o, out);
    case Options::Mode::Name:
        return name(v, o, out);
    case Options::Mode::Download:
        break;
    }
    return download(v, o, out);
}

} // namespace brenlow::tool
