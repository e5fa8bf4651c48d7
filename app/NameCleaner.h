#pragma once

#include <QString>

namespace brenlow {

/** Cleans a video name for use as a file name: removes the characters a file name or the tool's
 *  output template cannot carry, turns "/" and "\" into "-", and keeps everything else, blanks
 *  and letters of every script included. */
[[nodiscard]] QString CleanName(QString name);

/** The video name in the output of a name run: its last non-empty line. Lines the tool prints
 *  before the name (progress chatter, warnings on the merged error channel) are not part of it. */
[[nodiscard]] QString NameFromOutput(const QString& output);

} // namespace brenlow
