#pragma once

#include <QString>
#include <QStringList>

namespace brenlow::tool {

/** What of the user's own yt-dlp settings the bridge keeps. Its runs start yt-dlp with
 *  --ignore-config, since options such as -f, -x, -q, --download-archive or --write-info-json change
 *  what a run prints and writes; only the options that give access to a site are read out of the
 *  configuration files yt-dlp would read (portable, user, system) and passed on: --cookies,
 *  --cookies-from-browser, --proxy, --source-address, -4/-6, --netrc, --netrc-location, --netrc-cmd,
 *  --username, --password, --video-password, --geo-verification-proxy, the client certificate
 *  options and --no-check-certificates. */
[[nodiscard]] QStringList AccessOptions(const QString& ytdlpProgram);

/** The arguments every yt-dlp run of the bridge starts with: --ignore-config and the access options. */
[[nodiscard]] QStringList BaseArguments(const QString& ytdlpProgram);

/** The words of one configuration file, split as a shell would (quotes, backslashes, # comments). */
[[nodiscard]] QStringList ConfigWords(const QString& text);

/** The access options among the words of the configuration files, oldest file first; a later value
 *  of an option replaces an earlier one, as with yt-dlp. */
[[nodiscard]] QStringList AccessOptionsOf(const QList<QStringList>& files);

} // namespace brenlow::tool
