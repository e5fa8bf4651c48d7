#pragma once

#include <QString>

#include <optional>

namespace brenlow {

/** The text of an output chunk: the characters before its first NUL. */
[[nodiscard]] QString ChunkText(const QString& strData);

/** The percentage of a download chunk: the figure of its last progress line, that is the text
 *  between a "[download]" and the next "% of", blanks removed, read as its longest leading number
 *  in invariant notation. Nothing when the chunk holds no such figure (a chunk boundary may cut a
 *  line, and the tool prints other lines between its progress lines); a figure outside 0..100 is
 *  no figure either. */
[[nodiscard]] std::optional<double> ProgressFigure(const QString& chunk);

/** The same figure, 0 when the chunk holds none. */
[[nodiscard]] double ProgressPercent(const QString& chunk);

/** The speed and time left of the last progress line of a chunk that tells them, as the running
 *  row's status cell shows them: "2.1 MiB/s, 0:35 left", or one of the two alone. Nothing when no
 *  line tells either (the tool prints "Unknown" before it knows). */
[[nodiscard]] std::optional<QString> ProgressSpeedText(const QString& chunk);

/** The status-line text of a stage (1, 2, 3 or 5) at an animation frame (0..3); empty otherwise. */
[[nodiscard]] QString StatusText(int stage, int frame);

} // namespace brenlow
