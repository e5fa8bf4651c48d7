#include "controls/progressbar/ProgressBarLayout.h"

#include "base/Rounding.h"

#include <algorithm>
#include <cmath>

namespace brenlow {

ProgressBarLayout ProgressBarLayout::Compute(QSize control, QSize picture, int direction, int barStyle,
                                             int spacing)
{
    ProgressBarLayout l;
    if (picture.isEmpty())
        return l;
    if (direction < 0 || direction > 3)
        direction = 1;
    const int w = control.width();
    const int h = control.height();
    l.valid = true;
    l.horizontal = direction <= 1;
    l.reversed = direction == 0 || direction == 2;
    l.tileLength = l.horizontal ? picture.width() : picture.height();
    l.tileThickness = std::max(0, l.horizontal ? h - 6 : w - 6);
    l.cross = 3;
    l.spacing = spacing;
    // A negative gap may overlap segments, but the fill's step must stay positive; the block keeps
    // the step as given and so runs backwards when the gap is below minus the tile length.
    l.blockStep = static_cast<qint64>(l.tileLength) + spacing;
    l.step = std::max<qint64>(1, l.blockStep);
    switch (direction) {
    case 0:
        l.trackStart = w - 4, l.trackEnd = 3, l.trackLength = w - 6;
        break;
    case 1:
        l.trackStart = 3, l.trackEnd = w - 4, l.trackLength = w - 6;
        break;
    case 2:
        l.trackStart = h - 3, l.trackEnd = 3, l.trackLength = h - 5;
        break;
    default:
        l.trackStart = 3, l.trackEnd = h - 3, l.trackLength = h - 5;
        break;
    }
    l.trackLength = std::max(0, l.trackLength);
    if (barStyle == 0)
        l.fillTotal =
            (l.trackLength / l.step) * l.tileLength + std::min<qint64>(l.trackLength % l.step, l.tileLength);
    else
        l.fillTotal = l.trackLength;
    return l;
}

// Growing towards larger coordinates the track runs from its start to its end inclusive; growing
// the other way the segments end just before the start, and are cut at the end.
int ProgressBarLayout::TrackLow() const
{
    return reversed ? trackEnd : trackStart;
}

int ProgressBarLayout::TrackHigh() const
{
    return reversed ? trackStart : trackEnd + 1;
}

qint64 ProgressBarLayout::FillReach(qint64 value, qint64 min, qint64 max) const
{
    if (!valid || tileLength <= 0 || fillTotal <= 0 || max <= min || value <= min)
        return 0;
    const qint64 c = ValuePosition(value, min, max, fillTotal);
    const qint64 last = c / tileLength;
    // Segment i is full from min + (range * tile * (i + 1)) \ fill total on; the first one that is not
    // full at the value is where the fill ends. In 128 bits: the products pass 64 bits at the extremes.
    const __int128 range = max - min;
    const __int128 above = value - min;
    const __int128 perSegment = range * tileLength;
    const __int128 firstNotFull = ((above + 1) * fillTotal + perSegment - 1) / perSegment - 1;
    if (firstNotFull <= last)
        return static_cast<qint64>(firstNotFull) * step + c % tileLength;
    return last * step + tileLength;
}

qint64 ValuePosition(qint64 value, qint64 min, qint64 max, qint64 fillTotal)
{
    if (max <= min || fillTotal <= 0)
        return 0;
    value = std::clamp(value, min, max);
    const double exact =
        static_cast<double>(value - min) * static_cast<double>(fillTotal) / static_cast<double>(max - min);
    return RoundHalfEven(exact);
}

quint32 ShadeColor(quint32 color, int amount, bool proportional)
{
    int r = static_cast<int>(color & 0xFF);
    int g = static_cast<int>((color >> 8) & 0xFF);
    int b = static_cast<int>((color >> 16) & 0xFF);
    if (proportional) {
        r += amount;
        g += amount;
        b += (b * amount) / 192;
    } else {
        r += amount / 2;
        g += amount / 2;
        b += amount / 2;
    }
    const auto clampChannel = [amount](int c) {
        if (amount > 0)
            return std::min(c, 255);
        if (amount < 0)
            return std::max(c, 0);
        return c;
    };
    r = clampChannel(r);
    g = clampChannel(g);
    b = clampChannel(b);
    // A huge amount can still leave a channel past the other end; keep the colour a colour.
    r = std::clamp(r, 0, 255);
    g = std::clamp(g, 0, 255);
    b = std::clamp(b, 0, 255);
    return static_cast<quint32>(r) | (static_cast<quint32>(g) << 8) | (static_cast<quint32>(b) << 16);
}

QRegion RoundedBarRegion(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    // Scan-line by scan-line, as a region of row spans: the corner ellipses have radius 4 and the
    // rounded rectangle reaches one row above the control, so its top corners cut a little less.
    constexpr double radius = 4.0;
    const double top = -1.0, bottom = height, left = 0.0, right = width;
    QRegion region;
    for (int y = 0; y < height; ++y) {
        const double cy = y + 0.5;
        double inset = 0.0;
        double dy = 0.0;
        if (cy < top + radius)
            dy = top + radius - cy;
        else if (cy > bottom - radius)
            dy = cy - (bottom - radius);
        if (dy > 0.0)
            inset = radius - std::sqrt(std::max(0.0, radius * radius - dy * dy));
        const int x0 = static_cast<int>(std::ceil(left + inset - 0.5));
        const int x1 = static_cast<int>(std::floor(right - inset - 0.5));
        if (x1 >= x0)
            region += QRect(x0, y, x1 - x0 + 1, 1);
    }
    return region;
}

} // namespace brenlow
