#include "controls/grid/ListGridLayout.h"

#include "base/Rounding.h"
#include "controls/common/Gdi.h"
#include "controls/grid/ListGridModel.h"

#include <QFontMetrics>

#include <algorithm>

namespace brenlow {

void ListGridLayout::computeMetrics(const ListGridModel& m)
{
    const GridProperties& p = m.props();
    GridMetrics& g = m_metrics;
    g.checkBoxSize = m.defaultRowHeight() < 17 ? m.defaultRowHeight() - 4 : 16;
    if (p.RowCheckBoxes) {
        g.checkBoxLeft = 0;
        g.checkBoxWidth = g.checkBoxSize + 2;
    } else {
        g.checkBoxLeft = 0;
        g.checkBoxWidth = 3;
    }
    // A column for row images, as wide as an image and 2 pixels, once any row has one.
    g.imageList = m.imageList() != nullptr;
    g.imageWidth = g.imageList ? m.imageList()->ImageWidth() : 0;
    g.imageHeight = g.imageList ? m.imageList()->ImageHeight() : 0;
    g.rowImageWidth = 0;
    if (g.imageList) {
        for (const GridRow& row : m.rows())
            if (row.image != 0) {
                g.rowImageWidth = g.imageWidth + 2;
                break;
            }
    }
    g.headerTextHeight = m.headerTextHeight();
    g.captionHeight = p.Caption.isEmpty() ? 0 : static_cast<int>(RoundHalfEven(g.headerTextHeight * 1.5));
    g.headerHeight = HeaderHeight(p.ColumnHeaders, p.ColumnHeaderSmall, p.ColumnHeaderLines,
                                  g.headerTextHeight, g.captionHeight);
    g.textFlagBase = p.DisplayEllipsis ? quint32(Gdi::DT::WordEllipsis) : 0u;
    m_totalsHeight = p.TotalsLineShow ? m.defaultRowHeight() : 0;
}

int ListGridLayout::HeaderHeight(bool columnHeaders, bool small, int lines, int t, int captionHeight)
{
    // A negative line count (a setter takes any number) would put the rows above the client area.
    lines = std::max(lines, 0);
    if (!columnHeaders)
        return captionHeight;
    if (small)
        return static_cast<int>(RoundHalfEven(t * lines / 3.0 + t + captionHeight));
    return t + t * lines + captionHeight;
}

GridScrollRanges ListGridLayout::computeScrollRanges(const ListGridModel& m, const QRect& area,
                                                     int barExtent) const
{
    GridScrollRanges r;
    if (m.rowCount() == 0)
        return r;
    const GridProperties& p = m.props();
    const int freeze = p.FreezeAtCol;
    const int left =
        m_rowNumberWidth + m_metrics.checkBoxLeft + m_metrics.checkBoxWidth + m_metrics.rowImageWidth;
    const int totals = p.TotalsLineShow ? m.defaultRowHeight() : 0;

    qint64 columnsWidth = 0, frozenWidth = 0;
    for (qint32 pos = 0; pos < static_cast<qint32>(m.colOrder().size()); ++pos) {
        const GridColumn& c = m.column(m.columnAt(pos));
        if (!c.visible)
            continue;
        columnsWidth += ListGridModel::extent(c.pixelWidth);
        if (pos <= freeze)
            frozenWidth += ListGridModel::extent(c.pixelWidth);
    }
    // Do the rows (hidden ones skipped) and the header fit in a height? Stops as soon as they do not.
    auto rowsFit = [&](int height) {
        qint64 y = m_metrics.headerHeight + totals;
        for (qint32 row = 0; row <= m.lastRow(); ++row) {
            const GridRow& gr = m.rowAt(row);
            if (!gr.visible)
                continue;
            y += ListGridModel::extent(gr.height);
            if (y > height)
                return false;
        }
        return true;
    };

    int width = area.width(), height = area.height();
    r.vVisible = !rowsFit(height);
    if (r.vVisible)
        width -= barExtent;
    r.hVisible = left + columnsWidth > width;
    if (r.hVisible) {
        height -= barExtent;
        if (!r.vVisible && !rowsFit(height)) {
            r.vVisible = true;
            width -= barExtent;
        }
    }
    if (r.hVisible) {
        // The highest first position: walk back from the last column while the columns still fit.
        const qint64 room = width - left - frozenWidth;
        r.hMin = std::max(freeze + 1, 0);
        qint64 used = 0;
        int first = static_cast<int>(m.colOrder().size());
        for (int pos = static_cast<int>(m.colOrder().size()) - 1; pos >= r.hMin; --pos) {
            const GridColumn& c = m.column(m.columnAt(pos));
            const int w = c.visible ? ListGridModel::extent(c.pixelWidth) : 0;
            if (used + w > room && used > 0)
                break;
            used += w;
            first = pos;
        }
        r.hMax = std::max(first, r.hMin);
    }
    if (r.vVisible) {
        // The first row of the last page: walk up from the last row while the rows fit under the header.
        const int room = height - m_metrics.headerHeight - totals;
        r.vMax = std::max(m.firstRowFittingAbove(m.lastRow(), 0, room), 0);
    }
    return r;
}

int ListGridLayout::cellsLeft() const
{
    return m_client.left() + m_rowNumberWidth + m_metrics.checkBoxLeft + m_metrics.checkBoxWidth +
           m_metrics.rowImageWidth;
}

void ListGridLayout::place(const ListGridModel& m, GridViewState& view)
{
    const GridProperties& p = m.props();
    m_totalsHeight = p.TotalsLineShow ? m.defaultRowHeight() : 0;
    m_rows.clear();
    m_cols.clear();

    // Rows: from the first row in view while they start inside the row area.
    if (m.rowCount() == 0) {
        view.firstRowInView = 0;
        view.lastRowInView = -1;
        m_reachedEnd = true;
    } else {
        qint32 first = std::clamp(view.firstRowInView, 0, m.lastRow());
        while (first < m.lastRow() && !m.rowAt(first).visible)
            ++first;
        view.firstRowInView = first;
        const int bottom = rowsBottom();
        int y = rowsTop();
        qint32 row = first;
        for (; row <= m.lastRow() && y < bottom; ++row) {
            const GridRow& gr = m.rowAt(row);
            if (!gr.visible)
                continue;
            const qint32 height = ListGridModel::extent(gr.height);
            m_rows.push_back({row, y, height});
            y += height;
        }
        view.lastRowInView = m_rows.empty() ? -1 : m_rows.back().row;
        m_reachedEnd = row > m.lastRow() || y < bottom;
    }

    // Row numbers: wide enough for the largest number in view, or of the grid.
    m_rowNumberWidth = 0;
    if (p.ShowRowNumbers) {
        const qint32 largest =
            p.ShowRowNumbersVary ? std::max(view.lastRowInView + 1, 1) : std::max(m.rowCount(), 1);
        const QFontMetrics fm(p.Font);
        // At least two digits wide, so the cells do not shift while a short list grows.
        m_rowNumberWidth = fm.horizontalAdvance(QString::number(std::max(largest, 99))) + 10;
    }

    // Columns: the frozen ones at the left, then the scrolling ones from the first in view.
    const qint32 count = static_cast<qint32>(m.colOrder().size());
    const qint32 freeze = p.FreezeAtCol;
    view.hScroll = std::clamp(std::max(view.hScroll, freeze + 1), 0, std::max(count - 1, 0));
    int x = cellsLeft();
    const int right = m_client.right() + 1;
    auto add = [&](qint32 pos, bool frozen) {
        const qint32 index = m.columnAt(pos);
        const GridColumn& c = m.column(index);
        if (!c.visible)
            return;
        const qint32 width = ListGridModel::extent(c.pixelWidth);
        m_cols.push_back({pos, index, x, width, frozen});
        x += width;
    };
    // Columns past the right edge are not placed, frozen ones neither.
    for (qint32 pos = 0; pos <= freeze && pos < count && x < right; ++pos)
        add(pos, true);
    for (qint32 pos = view.hScroll; pos < count && x < right; ++pos)
        add(pos, false);
}

int ListGridLayout::rowAt(int y) const
{
    if (y < rowsTop() || y >= rowsBottom())
        return -1;
    for (const RowSpan& r : m_rows)
        if (y >= r.top && y < r.bottom())
            return r.row;
    return -1;
}

int ListGridLayout::colPosAt(int x) const
{
    for (const ColSpan& c : m_cols)
        if (x >= c.left && x < c.right())
            return c.pos;
    return -1;
}

const ListGridLayout::RowSpan* ListGridLayout::rowSpan(int row) const
{
    for (const RowSpan& r : m_rows)
        if (r.row == row)
            return &r;
    return nullptr;
}

const ListGridLayout::ColSpan* ListGridLayout::colSpan(int pos) const
{
    for (const ColSpan& c : m_cols)
        if (c.pos == pos)
            return &c;
    return nullptr;
}

QRect ListGridLayout::cellRect(int row, int pos) const
{
    const RowSpan* r = rowSpan(row);
    const ColSpan* c = colSpan(pos);
    if (!r || !c)
        return {};
    return Gdi::Ltrb(c->left, r->top, c->right(), r->bottom());
}

QRect ListGridLayout::headerItemRect(int pos) const
{
    const ColSpan* c = colSpan(pos);
    if (!c || m_metrics.headerHeight <= m_metrics.captionHeight)
        return {};
    return Gdi::Ltrb(c->left - 1, m_client.top() + m_metrics.captionHeight, c->right(),
                     m_client.top() + m_metrics.headerHeight);
}

QRect ListGridLayout::captionRect() const
{
    if (m_metrics.captionHeight <= 0)
        return {};
    return QRect(m_client.left(), m_client.top(), m_client.width(), m_metrics.captionHeight);
}

bool ListGridLayout::inHeader(int y) const
{
    return y >= m_client.top() + m_metrics.captionHeight && y < m_client.top() + m_metrics.headerHeight;
}

bool ListGridLayout::inCaption(int y) const
{
    return y >= m_client.top() && y < m_client.top() + m_metrics.captionHeight;
}

QRect ListGridLayout::rowCheckBoxRect(int row) const
{
    const RowSpan* r = rowSpan(row);
    if (!r || m_metrics.checkBoxWidth <= 3)
        return {};
    const int size = m_metrics.checkBoxSize;
    return QRect(checkBoxColumnLeft() + 1, r->top + (r->height - size) / 2, size, size);
}

QRect ListGridLayout::totalsRect() const
{
    if (m_totalsHeight <= 0)
        return {};
    return QRect(m_client.left(), rowsBottom(), m_client.width(), m_totalsHeight);
}

QString ListGridLayout::FitText(const QString& text, const QFont& font, int width, int lineLimit)
{
    const QFontMetrics fm(font);
    QString source = text.trimmed();
    source.replace(QLatin1String("\r\n"), QLatin1String(" "));
    static const QString crlf = QStringLiteral("\r\n");

    QString out, buffer;
    int breakAt = -1, lines = 0;
    bool stopped = false;
    for (const QChar ch : source) {
        buffer += ch;
        const bool letter = (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) ||
                            (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) || ch == QLatin1Char('_');
        if (!letter)
            breakAt = static_cast<int>(buffer.size());
        if (breakAt >= 0 && fm.horizontalAdvance(buffer) >= width) {
            const QString line = buffer.left(breakAt).trimmed();
            out += out.isEmpty() ? line : crlf + line;
            buffer = buffer.mid(breakAt).trimmed();
            breakAt = -1;
            if (lineLimit > 0 && ++lines == lineLimit) {
                stopped = true;
                break;
            }
        }
    }
    if (lineLimit <= 0) {
        out += out.isEmpty() ? buffer : crlf + buffer;
        return out;
    }
    if (!stopped) {
        const QString last = buffer.trimmed();
        out += out.isEmpty() ? last : crlf + last;
        return out;
    }
    // The limit was reached: what is left runs on into the last line, which ends in "...".
    buffer.chop(1);
    out += buffer + QLatin1Char(' ');
    out.chop(3);
    return out.trimmed() + QStringLiteral("...");
}

} // namespace brenlow
