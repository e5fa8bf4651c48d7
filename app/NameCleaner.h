#pragma once

#include <QString>

#include <functional>

namespace brenlow {

/** Cleans a video name for use as a file name: removes the characters a file name or the tool's
 *  output template cannot carry, turns "/" and "\" into "-", and keeps everything else, blanks
 *  and letters of every script included. */
[[nodiscard]] QString CleanName(QString name);

/** The video name in the output of a name run: its last line that is neither empty nor the tool's
 *  own chatter. Lines the tool prints around the name (progress, "[youtube] ..." notes, "WARNING:"
 *  and "ERROR:" lines on the merged error channel) are not part of it. */
[[nodiscard]] QString NameFromOutput(const QString& output);

/** Control characters (a tab or line break in a title) become blanks: the row's cells are joined
 *  with tabs, and a file name must not hold them. */
[[nodiscard]] QString WithoutControls(QString text);

/** The longest start of text whose file-system form (the locale's 8-bit encoding) has at most
 *  maxBytes bytes, cut between two characters as the user sees them: never inside a surrogate pair
 *  or between a letter and its accents. */
[[nodiscard]] QString ShortenToBytes(const QString& text, qsizetype maxBytes);

/** Bytes a download's file name may take before its extension: the file-name limit of 255 bytes
 *  less room for the extension the tool picks and the suffixes it adds while it works
 *  (".f137", ".part", ".ytdl"). */
inline constexpr qsizetype MaxNameBytes = 200;

/** The name a row is downloaded under, extension aside: its cleaned video name without control
 *  characters and surrounding blanks, "Untitled Video" when nothing is left, shortened to
 *  MaxNameBytes; when taken(name) says another row of the same run has it, " (2)", " (3)" ... is
 *  added until the name is free. */
[[nodiscard]] QString DownloadBaseName(const QString& cleanedName,
                                       const std::function<bool(const QString&)>& taken);

} // namespace brenlow
