// Drawing of SleekProgressBar onto its own surface: background, border, window shape, the
// segmented fill and the sliding block.
#include "controls/progressbar/SleekProgressBar.h"

#include "controls/common/Colors.h"
#include "controls/common/Gdi.h"

#include <QPainter>

#include <algorithm>

namespace OleColor = brenlow::OleColor;

void SleekProgressBar::Refresh()
{
    settle();
    update(m_unshown);
    m_unshown = QRegion();
}

void SleekProgressBar::settle()
{
    // A hidden control gets no resize event until it is shown; its surface follows its size and
    // the screen's pixel density here.
    const qreal ratio = SurfaceRatio();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    if (m_surface.size() != device || m_surface.devicePixelRatio() != ratio) {
        m_surface = QImage(device, QImage::Format_RGB32);
        m_surface.setDevicePixelRatio(ratio);
        m_redrawNeeded = true;
    }
    if (!m_redrawNeeded && m_lastPainted == m_p.Value)
        return;
    if (m_redrawNeeded) {
        chooseTilePicture();
        DrawBackground();
        ApplyWindowRegion();
        ComputeLayout();
    }
    if (m_p.BarStyle == 0)
        PaintSegments();
    else if (m_p.BarStyle == 1)
        PaintBlock();
    m_lastPainted = m_p.Value;
    m_redrawNeeded = false;
}

void SleekProgressBar::settleForReading() const
{
    // The picture is a cache of the properties: reading it brings it up to date.
    const_cast<SleekProgressBar*>(this)->settle();
}

const QImage& SleekProgressBar::Surface() const
{
    settleForReading();
    return m_surface;
}

const brenlow::ProgressBarLayout& SleekProgressBar::Layout() const
{
    settleForReading();
    return m_layout;
}

void SleekProgressBar::updateValueSpan(qint32 value)
{
    const auto& l = m_layout;
    if (m_redrawNeeded || m_p.BarStyle != 0 || !l.valid || m_p.Max <= m_p.Min) {
        update();
        return;
    }
    // From where the painted fill ends to where the new one ends; a shrink erases to the track end.
    const qint64 from = l.FillReach(m_lastPainted, m_p.Min, m_p.Max);
    const qint64 to = l.FillReach(value, m_p.Min, m_p.Max);
    if (from == to)
        return;
    const qint64 low = std::min(from, to);
    const qint64 high = to > from ? to : l.trackLength + 1;
    const qint64 a = l.reversed ? l.trackStart - high : l.trackStart + low;
    const qint64 b = l.reversed ? l.trackStart - low : l.trackStart + high;
    const int clampedA = static_cast<int>(std::clamp<qint64>(a - 1, l.TrackLow() - 1, l.TrackHigh()));
    const int clampedB = static_cast<int>(std::clamp<qint64>(b + 1, l.TrackLow() - 1, l.TrackHigh() + 1));
    update(TrackRect(clampedA, clampedB));
}

void SleekProgressBar::DrawRect(const QRect& rect, quint32 color, bool fill)
{
    if (rect.isEmpty() || m_surface.isNull())
        return;
    QPainter p(&m_surface);
    const QColor c = OleColor::ToQColor(color);
    if (fill)
        brenlow::Gdi::FillRect(p, rect, c);
    else
        brenlow::Gdi::FrameRect(p, rect, c);
    MarkDrawn(rect);
}

void SleekProgressBar::DrawBackground()
{
    DrawRect(rect(), m_p.BackColor, true);
    if (m_p.BarBorderStyle == 1)
        DrawBorder();
}

void SleekProgressBar::DrawBorder()
{
    if (m_surface.isNull())
        return;
    // The control's own state: a bar inside a disabled window keeps its border colour.
    const quint32 color =
        m_p.Enabled ? m_p.BorderColor : brenlow::ShadeColor(OleColor::Rgb(255, 255, 255), -60, true);
    const int w = width();
    const int h = height();
    DrawRect(QRect(0, 0, w, h), color, false);
    QPainter p(&m_surface);
    p.setPen(QPen(OleColor::ToQColor(color), 1));
    // Quarter arcs of 8 x 8 ellipses in the corners (angles counter-clockwise from three o'clock).
    p.drawArc(QRect(0, 0, 7, 7), 90 * 16, 90 * 16);
    p.drawArc(QRect(w - 8, 0, 7, 7), 0, 90 * 16);
    p.drawArc(QRect(0, h - 8, 7, 7), 180 * 16, 90 * 16);
    p.drawArc(QRect(w - 8, h - 8, 7, 7), 270 * 16, 90 * 16);
}

void SleekProgressBar::ApplyWindowRegion()
{
    const QRegion shape = m_p.BarBorderStyle == 1 ? brenlow::RoundedBarRegion(width(), height())
                                                  : QRegion(0, 0, width(), height());
    if (mask() != shape)
        setMask(shape);
}

QRect SleekProgressBar::TrackRect(int low, int high) const
{
    if (high <= low)
        return {};
    const auto& l = m_layout;
    return l.horizontal ? QRect(low, l.cross, high - low, l.tileThickness)
                        : QRect(l.cross, low, l.tileThickness, high - low);
}

QRectF SleekProgressBar::tileSource(int offset, int length) const
{
    // Along the track in the control's pixels, across it the whole picture; a picture of twice the
    // density gives twice the pixels for the same part.
    const qreal k = m_tile.devicePixelRatio();
    return m_layout.horizontal ? QRectF(offset * k, 0, length * k, m_tile.height())
                               : QRectF(0, offset * k, m_tile.width(), length * k);
}

void SleekProgressBar::DrawTile(int along, int length, int sourceOffset)
{
    const auto& l = m_layout;
    // Keep the segment inside the track; what is cut at the low end moves the picture part too.
    const int low = std::max(along, l.TrackLow());
    const int high = std::min(along + length, l.TrackHigh());
    if (high <= low || l.tileThickness <= 0 || m_p.Bar_Pic.isNull())
        return;
    sourceOffset += low - along;
    const QRect target = TrackRect(low, high);
    QPainter p(&m_surface);
    p.drawImage(target, m_tile, tileSource(sourceOffset, high - low));
    MarkDrawn(target);
}

void SleekProgressBar::PaintSegment(qint64 index, int length)
{
    const auto& l = m_layout;
    length = std::clamp(length, 0, l.tileLength);
    if (length == 0)
        return;
    // A segment that starts beyond the track end is not drawn (the gap may be of any size).
    const qint64 offset = index * l.step;
    if (offset > l.trackLength)
        return;
    const int along = static_cast<int>(offset);
    if (!l.reversed)
        DrawTile(l.trackStart + along, length, 0);
    else
        DrawTile(l.trackStart - along - length, length, l.tileLength - length);
}

void SleekProgressBar::PaintSegments()
{
    const auto& l = m_layout;
    if (m_redrawNeeded)
        m_lastPainted = m_p.Min;
    if (!l.valid || m_p.Bar_Pic.isNull() || l.fillTotal <= 0 || m_p.Max <= m_p.Min)
        return;
    // What the track shows is the fill up to the reach of the last painted value; the change draws
    // or erases only the difference, so the picture is the one a full repaint gives.
    const qint64 from = l.FillReach(m_lastPainted, m_p.Min, m_p.Max);
    const qint64 to = l.FillReach(m_p.Value, m_p.Min, m_p.Max);
    const int tile = l.tileLength;
    if (to > from) {
        const qint64 range = static_cast<qint64>(m_p.Max) - m_p.Min;
        const qint64 c = brenlow::ValuePosition(m_p.Value, m_p.Min, m_p.Max, l.fillTotal);
        const qint64 above = static_cast<qint64>(m_p.Value) - m_p.Min;
        // From the segment where the old fill ends (the next one when it ends on a whole segment).
        const qint64 first = from / l.step + (from % l.step >= tile ? 1 : 0);
        for (qint64 i = first; i <= c / tile; ++i) {
            const qint64 full = (range * tile * (i + 1)) / l.fillTotal;
            if (above < full) {
                PaintSegment(i, static_cast<int>(c % tile));
                return;
            }
            PaintSegment(i, tile);
        }
    } else if (to < from) {
        const int offset = static_cast<int>(std::min<qint64>(to, l.trackLength + 1));
        const QRect erase = l.reversed ? TrackRect(l.TrackLow(), l.trackStart - offset)
                                       : TrackRect(l.trackStart + offset, l.TrackHigh());
        DrawRect(erase, m_p.BackColor, true);
    }
}

void SleekProgressBar::PaintBlock()
{
    const auto& l = m_layout;
    if (m_p.Value <= m_p.Min || m_p.Value > m_p.Max)
        return;
    if (!l.valid || m_p.Bar_Pic.isNull())
        return;
    // The block's stretch of track, one pixel wider at each end.
    const int low = (l.reversed ? l.trackEnd : l.trackStart) - 1;
    const int high = low + l.trackLength + 2;
    DrawRect(TrackRect(low, high), m_p.BackColor, true);
    // In 64 bits: with an extreme gap the travel and the positions pass the 32-bit range. The block
    // uses the step as given, so a gap below minus the tile length lays its segments backwards.
    const qint64 step = l.blockStep;
    const qint64 travel = l.trackLength - 3 * step + l.spacing;
    const qint64 d = brenlow::ValuePosition(m_p.Value, m_p.Min, m_p.Max, travel > 0 ? travel : 0);
    QPainter p(&m_surface);
    for (int i = 0; i < 3; ++i) {
        const qint64 at =
            l.reversed ? l.trackStart - d - (i + 1) * step + l.spacing + 1 : l.trackStart + d + i * step - 1;
        if (at >= high || at + l.tileLength <= low)
            continue;
        const int a = static_cast<int>(std::max<qint64>(at, low));
        const int b = static_cast<int>(std::min<qint64>(at + l.tileLength, high));
        const int sourceOffset = static_cast<int>(a - at);
        const QRect target = TrackRect(a, b);
        p.drawImage(target, m_tile, tileSource(sourceOffset, b - a));
        MarkDrawn(target);
    }
}
