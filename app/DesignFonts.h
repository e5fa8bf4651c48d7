#pragma once

#include <QString>
#include <QStringList>

namespace brenlow {

/** Where Debian's fonts-wine keeps its free, metric-compatible versions of the design's fonts. */
inline constexpr char WineFontsFolder[] = "/usr/share/wine/fonts";

/** Makes the design's fonts (Tahoma regular and bold for the buttons, MS Sans Serif for the grid and
 *  the window) known to this program from the given folder, without touching the system's font
 *  configuration. Files that are missing or unreadable are skipped, so those names fall back through
 *  fontconfig as before. Each file is registered once per process, however often this is called.
 *
 *  MS Sans Serif is a bitmap font with strikes for 1x screens only; at a device pixel ratio other
 *  than 1 it is left out and the name stands for Tahoma, as an outline face of the same metrics.
 *  Returns the families the folder's files provided. */
QStringList RegisterDesignFonts(const QString& folder = QString::fromLatin1(WineFontsFolder),
                                qreal devicePixelRatio = 1.0);

} // namespace brenlow
