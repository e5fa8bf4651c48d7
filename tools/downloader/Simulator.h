#pragma once

#include "Catalogue.h"
#include "Options.h"
#include "Output.h"

namespace brenlow::tool {

/** Answers a request about a simulated video from the catalogue; returns the exit code. */
[[nodiscard]] int RunSimulated(const Video& video, const Options& options, Output& out);

/** Fills %(title)s, %(uploader)s, %(id)s and %(ext)s of an output template. */
[[nodiscard]] QString ApplyTemplate(QString tpl, const QString& title, const QString& uploader,
                                    const QString& id, const QString& ext);

/** Writes the thumbnail of a catalogue video, drawn in its colour, as a JPEG at path. It needs Qt Gui:
 *  do.dll loads it with the media part (MediaPart.h); error says why that failed. */
[[nodiscard]] bool WriteDemoPicture(const QString& colour, const QString& path, QString* error = nullptr);

/** Never returns: a tool that hangs until it is killed. */
[[noreturn]] void HangForever();

} // namespace brenlow::tool
