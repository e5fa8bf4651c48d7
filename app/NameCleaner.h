#pragma once

#include <QString>

namespace brenlow {

/** Cleans a video name for use as a file name: removes the characters a file name or the tool's
 *  output template cannot carry, turns "/" and "\" into "-", and keeps everything else, blanks
 *  and letters of every script included. */
[[nodiscard]] QString CleanName(QString name);

} // namespace brenlow
