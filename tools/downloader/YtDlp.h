#pragma once

#include "Options.h"
#include "Output.h"

#include <QString>

namespace brenlow::tool {

/** The yt-dlp program to use: BRENLOW_YTDLP when set (set but empty: none), else the first yt-dlp
 *  on PATH. Empty when there is none. */
[[nodiscard]] QString FindYtDlp();

/** The text shown when a page link needs yt-dlp and there is none. */
[[nodiscard]] QString YtDlpNeededText();

/** Answers a request about a video page through yt-dlp, in the forms the window reads: the format
 *  table with short numeric codes and a merged best entry last, the thumbnail as a JPEG at the -o
 *  path, the name line, and the download with one overall progress. Returns the exit code. */
[[nodiscard]] int RunYtDlp(const QString& ytdlp, const Options& options, Output& out);

} // namespace brenlow::tool
