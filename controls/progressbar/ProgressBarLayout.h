#pragma once

#include <QRegion>
#include <QSize>
#include <QtGlobal>

namespace brenlow {

/** Where the segments of a SleekProgressBar go, in pixels of its client area. Computed from the
 *  control's size, the segment picture's size, the fill direction, the style and the gap. */
struct ProgressBarLayout
{
    bool valid = false;     ///< false while there is no picture
    bool horizontal = true; ///< directions 0 and 1
    bool reversed = false;  ///< directions 0 and 2: the bar grows towards smaller coordinates
    int tileLength = 0;     ///< segment length along the track
    int tileThickness = 0;  ///< segment size across the track
    int cross = 3;          ///< cross position of every segment (y for horizontal, x for vertical)
    qint64 step = 0;        ///< tile length + gap, at least 1: the pitch of the segmented fill
    qint64 blockStep = 0;   ///< tile length + gap as given: the pitch of the sliding block's segments
    int spacing = 0;        ///< the gap between segments
    int trackStart = 0;     ///< where the first segment starts
    int trackEnd = 0;       ///< where the last one is cut
    int trackLength = 0;    ///< usable length of the track
    qint64 fillTotal = 0;   ///< picture pixels along the track when full

    /** The layout for a control of the given size; an empty picture gives an invalid layout.
     *  Directions outside 0 to 3 lay out as 1; for the segmented fill a gap that would make the step
     *  smaller than one pixel is taken as that one pixel, so the track never folds back on itself.
     *  Sums of the gap are 64-bit, so any 32-bit gap is exact. */
    [[nodiscard]] static ProgressBarLayout Compute(QSize control, QSize picture, int direction, int barStyle,
                                                   int spacing);

    /** How far the segmented fill reaches at a value, as an offset from the track start: whole
     *  segments up to the first one that is not full at the value, that one as far as the value's
     *  position reaches into it. 0 at or below min. A full repaint and any sequence of incremental
     *  ones paint the track up to this reach, so the two pictures are the same. */
    [[nodiscard]] qint64 FillReach(qint64 value, qint64 min, qint64 max) const;

    /** The pixel span [low, high) that the track occupies along its axis. */
    [[nodiscard]] int TrackLow() const;
    [[nodiscard]] int TrackHigh() const;
};

/** Position of a value along the fill total: (value - min) * fillTotal / (max - min), rounded halves
 *  to even. Values outside the range are clamped to the ends; an empty range gives 0. */
[[nodiscard]] qint64 ValuePosition(qint64 value, qint64 min, qint64 max, qint64 fillTotal);

/** Lightens or darkens an 0x00BBGGRR colour. Proportional: red and green move by amount and blue by
 *  blue * amount / 192; otherwise each channel moves by amount / 2 (whole-number division). Each
 *  channel is clamped to 255 for a positive amount and to 0 for a negative one. */
[[nodiscard]] quint32 ShadeColor(quint32 color, int amount, bool proportional);

/** The window shape of a bordered bar: the rectangle (0, 0, W, H) with its corners rounded as by a
 *  rounded rectangle (0, -1)-(W, H) with 8 x 8 corner ellipses. */
[[nodiscard]] QRegion RoundedBarRegion(int width, int height);

} // namespace brenlow
