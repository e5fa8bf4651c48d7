#pragma once

// Profiles the bridge makes itself: the sound alone, as it comes or converted to MP3; and how a
// download of any profile is asked of yt-dlp (its format, the conversion, pieces fetched at once).

#include "PageInfo.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace brenlow::tool {

/** The ids the code map keeps for the two sound profiles. */
inline constexpr char AudioBestId[] = "brenlow:audio";
inline constexpr char AudioMp3Id[] = "brenlow:mp3";

/** The table with "audio only, best" and "audio only, MP3" put before its last (default) line, each
 *  with a free code kept in the map. A page whose every format is known to lack sound gets none. */
[[nodiscard]] QStringList WithAudioProfiles(QStringList table, const QJsonObject& info, CodeMap& codes);

/** yt-dlp's arguments for downloading the format (or pair, or sound profile) `wanted` of the page:
 *  "-f" and its choice, the sound extraction for a sound profile, and up to four pieces at once for
 *  a video that arrives in pieces (HLS, DASH). Empty `wanted`: yt-dlp's own choice. */
[[nodiscard]] QStringList DownloadArguments(const QString& wanted, const QJsonObject& info);

/** The share of the whole a download's own progress stands for: below 1 when a conversion follows
 *  it, so the percentage reaches 100 only when the file is done. */
[[nodiscard]] double DownloadShare(const QString& wanted, const QJsonObject& info);

/** A "[download]  45.3% of ..." line with its figure scaled by share. */
[[nodiscard]] QString ScaleProgressLine(const QString& line, double share);

} // namespace brenlow::tool
