#pragma once

// Links that hold several videos: playlists, channels and pages with several video elements. The
// format-list run reports them to the window as a list of row links, one per video, and keeps the
// videos it has already read in the page cache under those links, so that each row's runs are
// answered without reading the page again.

#include "Bridge.h"
#include "Output.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace brenlow::tool {

/** A video of a page that has several and no link of its own: the page and its place (from 1). */
struct PageItem
{
    QString page;
    int index = 0;
};

/** The row link of such a video: the page's link with the fragment "brenlow-video-N". A browser
 *  opens the page; the tool maps the link back to the page and the item. */
[[nodiscard]] QString ItemLink(const QString& page, int index);

/** The page and place an item link stands for; nothing for any other link. */
[[nodiscard]] std::optional<PageItem> ParseItemLink(const QString& link);

/** The yt-dlp arguments, from the playlist choice to the link, that read exactly the one video a
 *  row link stands for: the page's item for an item link, else the link without its playlist. */
[[nodiscard]] QStringList VideoArguments(const QString& link);

/** Whether yt-dlp's answer is a list of videos rather than one. */
[[nodiscard]] bool IsPlaylist(const QJsonObject& answer);

/** One video of a list as the window gets it: its row link, and its data when yt-dlp read it
 *  already (a page with several videos), to be kept under that link. */
struct ListedVideo
{
    QString link;
    std::optional<QJsonObject> info;
};

/** The videos of a list answer, in order. `link` is the link the list was read from. */
[[nodiscard]] QList<ListedVideo> ListedVideos(const QJsonObject& answer, const QString& link);

/** The list form the window reads: "[playlist] N", then one "[playlist-video] LINK" per video. */
[[nodiscard]] QStringList PlaylistLines(const QList<ListedVideo>& videos);

/** What the format-list run read: a list already answered (its exit code), or one video. */
struct ListRead
{
    std::optional<int> listed; // set when the link held a list (or the read failed): the exit code
    QJsonObject video;
};

/** The format-list run's reading of a link: a video a list run has kept while it is fresh, else one
 *  yt-dlp run that reports a list without reading its videos (--flat-playlist). A list is printed
 *  in the list form and its read videos are kept; a single video is kept and returned. */
[[nodiscard]] ListRead ReadForList(const Bridge& b, const QString& link, Output& out);

} // namespace brenlow::tool
