#pragma once

// What the bridge to yt-dlp reads out of one page extraction (yt-dlp's JSON): the designed format
// table with short numeric codes, the name, the thumbnail address, and the overall progress of a
// download made of several parts.

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace brenlow::tool {

/** Codes handed out for format ids that are no number of one to three digits, per link:
 *  real id (or "video+audio" pair) -> code. */
using CodeMap = QMap<QString, QString>;

/** The format table of one page: lines after the header, the default (best) entry last. The map is
 *  updated with every code handed out; codes already in it are kept. */
[[nodiscard]] QStringList FormatTable(const QJsonObject& info, CodeMap& codes);

/** The HLS format the default picture comes from, when the page does not say whether it is live:
 *  only its playlist tells. */
[[nodiscard]] std::optional<QJsonObject> HlsOfUnknownStatus(const QJsonObject& info);

/** The default of the table: yt-dlp's own choice, but with the page's best sound added when that
 *  choice is a picture without known sound and the page has sound apart ("bv*+ba/b"). */
[[nodiscard]] QString DefaultFormatId(const QJsonObject& info);

/** The page as handed to yt-dlp for downloading formatId: the picture of a pair whose sound comes
 *  apart is marked soundless, so that yt-dlp merges the two. */
[[nodiscard]] QJsonObject ForDownload(const QJsonObject& info, const QString& formatId);

/** The real format id (or "a+b" pair) a code of the table stands for. */
[[nodiscard]] QString FormatIdForCode(const QString& code, const CodeMap& codes);

/** Fills the %(field)s fields of an output template from the page's data, each value on one line
 *  (see OneLine); a field the page lacks reads "NA", and the uploader falls back to the channel and
 *  then to the page's host. With keepExt, %(ext)s stays for yt-dlp to fill and every other '%' is
 *  escaped for it. */
[[nodiscard]] QString FillTemplate(const QString& tpl, const QJsonObject& info, bool keepExt = false);

/** FillTemplate for a file path: every value made safe as a file name part (SafeFileNamePart), so no
 *  value leaves the template's folder. */
[[nodiscard]] QString FillFileTemplate(const QString& tpl, const QJsonObject& info, bool keepExt = false);

/** The text on one line: line breaks and other control characters become blanks. */
[[nodiscard]] QString OneLine(const QString& text);

/** A value as yt-dlp puts it into a file name: "/" becomes "⧸", "\" "⧹", the characters
 *  " * : < > ? | their full-width forms, line breaks blanks, other control characters go; a value of
 *  dots alone (".", "..") becomes "_". */
[[nodiscard]] QString SafeFileNamePart(const QString& value);

/** The template with every '%' outside its fields escaped, for yt-dlp to fill all fields itself. */
[[nodiscard]] QString EscapeTemplate(const QString& tpl);

/** The uploader as the name shows it: uploader, else channel, else the page's host. */
[[nodiscard]] QString UploaderOf(const QJsonObject& info);

/** The address of the best thumbnail, made absolute against the page; empty when there is none. */
[[nodiscard]] QString ThumbnailUrl(const QJsonObject& info);

/** The picture a page names for itself where yt-dlp gives none: its Open Graph or Twitter image,
 *  else the poster of its first video element, made absolute against `page`; empty when none. */
[[nodiscard]] QString PagePictureUrl(const QByteArray& html, const QUrl& page);

/** Whether the page is a broadcast that is live now. */
[[nodiscard]] bool IsLiveNow(const QJsonObject& info);

/** The text shown for a link that is live now. */
[[nodiscard]] QString LiveRefusalText();

/** The page's own entry: a playlist answer gives its first entry. */
[[nodiscard]] QJsonObject VideoEntry(const QJsonObject& answer);

/** Turns yt-dlp's per-part progress into one overall percentage that never goes backwards. */
class MergedProgress
{
public:
    /** formatId: the id being downloaded ("137+140" for two parts); info: the page. */
    MergedProgress(const QString& formatId, const QJsonObject& info);

    /** The template handed to yt-dlp's --progress-template, one machine-readable line per update. */
    [[nodiscard]] static QString Template();
    /** The marker that starts such a line. */
    [[nodiscard]] static QString Marker();

    /** Reads one such line; returns false for any other line. */
    bool feed(const QString& line);

    [[nodiscard]] double percent() const { return m_percent; }
    /** Bytes of the whole download when known, else -1 (never the size of one part of several). */
    [[nodiscard]] double total() const { return m_total; }
    [[nodiscard]] double speed() const { return m_speed; }
    /** Seconds left, or -1 when not known. */
    [[nodiscard]] double eta() const { return m_eta; }
    /** "[download]  45.3% of 10.00MiB at  1.00MiB/s ETA 00:05". */
    [[nodiscard]] QString line() const;

private:
    QStringList m_parts;
    QList<double> m_weights; // relative share of each part
    QList<double> m_seen;    // each part's size as yt-dlp reported it, 0 until it did
    double m_infoTotal = -1; // the sum of the parts' sizes the page tells, -1 when one is unknown
    bool m_sizesKnown = false;
    double m_sum = 0;
    double m_percent = 0;
    double m_total = -1;
    double m_speed = 0;
    double m_eta = -1;
};

} // namespace brenlow::tool
