#pragma once

// The part of the tool that needs Qt Gui (pictures) and Qt Network (direct links, thumbnails): a
// module next to do.dll, loaded only by the runs that use it. The tool's core links Qt Core alone, so
// the runs answered from the catalogue or the page cache, and yt-dlp's downloads, start without loading
// the two libraries and everything they bring along.

#include "Options.h"
#include "Output.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonObject>
#include <QString>

namespace brenlow::tool {

/** The module's file name (in do-parts, PartLoader.h) and the function it exports that gives its
 *  table. */
inline constexpr char kMediaPartFile[] = "do-media.so";
inline constexpr char kMediaPartEntry[] = "brenlow_tool_media_part";
/** Raised whenever the table changes: do.dll refuses a module built for another table. */
inline constexpr int kMediaPartVersion = 1;

/** What the module offers: the functions of Picture.h, DirectLink.h and WriteDemoPicture. */
struct MediaPart
{
    int version = kMediaPartVersion;
    QByteArray (*fetchForPicture)(const QString&, const QJsonObject&, const QDeadlineTimer&,
                                  QString*) = nullptr;
    QByteArray (*pictureToJpeg)(const QByteArray&, const QDeadlineTimer&, QString*) = nullptr;
    bool (*writeDemoPicture)(const QString&, const QString&, QString*) = nullptr;
    int (*runDirect)(const Options&, Output&) = nullptr;
};

} // namespace brenlow::tool
