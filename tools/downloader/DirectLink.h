#pragma once

#include "Options.h"
#include "Output.h"

#include <QString>

namespace brenlow::tool {

/** True for links the tool fetches for real: http, https and file addresses outside the simulated
 *  catalogue's own domain. */
[[nodiscard]] bool IsDirectLink(const QString& link);

/** Answers a request about a direct link to a media file: one profile for the file, the name
 *  "host - file name", no thumbnail, and a streamed download with progress, resume and no
 *  overwriting. Returns the exit code. */
[[nodiscard]] int RunDirect(const Options& options, Output& out);

} // namespace brenlow::tool
