#pragma once

#include <QString>

namespace brenlow {

/** The text of an output chunk: the characters before its first NUL. */
[[nodiscard]] QString ChunkText(const QString& strData);

/** The percentage of a download chunk: the figure between the chunk's first "[download]" and the
 *  next "% of", blanks removed, read as its longest leading number in invariant notation.
 *  0 when either delimiter is missing or the text does not start with a number. */
[[nodiscard]] double ProgressPercent(const QString& chunk);

/** The status-line text of a stage (1, 2, 3 or 5) at an animation frame (0..3); empty otherwise. */
[[nodiscard]] QString StatusText(int stage, int frame);

} // namespace brenlow
