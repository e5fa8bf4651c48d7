#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brenlow {

/** The entries of a folder listing that belong to a download name: the name followed by the
 *  extension the tool picks, with the tool's partial and format-part suffixes ("a.mp4",
 *  "a.mp4.part", "a.f137.mp4", "a.temp.mp4", "a.mp4.ytdl"). Letter case is ignored, as a file
 *  system on a memory stick would. */
[[nodiscard]] QStringList FilesOfName(const QStringList& entries, const QString& baseName);

/** The link a file was downloaded from, as the desktop records it (the extended attribute
 *  user.xdg.origin.url); nothing when it carries none, the file system keeps none, or the path is
 *  a symbolic link. */
[[nodiscard]] std::optional<QString> FileOrigin(const QString& path);

/** Records the link a file was downloaded from; false when the file system keeps no such record. */
bool SetFileOrigin(const QString& path, const QString& link);

} // namespace brenlow
