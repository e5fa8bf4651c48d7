#include "controls/grid/ListGrid.h"

#include "controls/common/Colors.h"
#include "controls/common/Surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include <optional>

using namespace brenlow;

namespace {

// The grid's surface: its size at the screen's pixel density, drawn on in the grid's own pixels.
QImage gridSurface(const QWidget* grid)
{
    const qreal ratio = grid->devicePixelRatioF();
    QImage surface =
        NewSurface((QSizeF(grid->size().expandedTo(QSize(1, 1))) * ratio).toSize(), QImage::Format_RGB32);
    surface.setDevicePixelRatio(ratio);
    return surface;
}

bool surfaceFits(const QImage& surface, const QWidget* grid)
{
    return surface.devicePixelRatio() == grid->devicePixelRatioF() &&
           surface.deviceIndependentSize().toSize() == grid->size();
}

} // namespace

void ListGrid::recalcMetrics()
{
    m.updateDefaultRowHeight();
    m_layout.computeMetrics(m);
}

QRect ListGrid::borderInner() const
{
    const int border = m.props().BorderStyle == 0 ? 0 : (m.props().Appearance == 1 ? 2 : 1);
    return rect().adjusted(border, border, -border, -border);
}

int ListGrid::visibleCellsWidth() const
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const GridMetrics& g = m_layout.metrics();
    const int strip = m_layout.rowNumberWidth() + g.checkBoxLeft + g.checkBoxWidth + g.rowImageWidth;
    return std::max(borderInner().width() - extent - strip, 0);
}

void ListGrid::ensureScrollBars()
{
    if (m_hBar)
        return;
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    m_vBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_hBar, m_vBar}) {
        bar->hide();
        bar->setSingleStep(1);
        bar->setPageStep(GridScrollRanges::LargeChange);
        bar->setCursor(Qt::ArrowCursor);
        connect(bar, &QScrollBar::valueChanged, this, [this] { onScrollBar(); });
    }
}

void ListGrid::recalcLayout()
{
    ensureScrollBars();
    const QRect area = borderInner();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const GridScrollRanges r = m_layout.computeScrollRanges(m, area, extent);

    QRect client = area;
    if (r.vVisible)
        client.setRight(client.right() - extent);
    if (r.hVisible)
        client.setBottom(client.bottom() - extent);
    m_layout.setClient(client);

    m_settingBars = true;
    if (r.vVisible) {
        m_vBar->setGeometry(client.right() + 1, area.top(), extent, client.height());
        m_vBar->setRange(0, r.vMax);
        m_view.firstRowInView = std::clamp(m_view.firstRowInView, 0, r.vMax);
        m_vBar->setValue(m_view.firstRowInView);
    } else {
        m_view.firstRowInView = 0;
    }
    const int firstScrolling = std::max(m.props().FreezeAtCol + 1, 0);
    if (r.hVisible) {
        m_hBar->setGeometry(area.left(), client.bottom() + 1, client.width(), extent);
        m_hBar->setRange(r.hMin, r.hMax);
        m_view.hScroll = std::clamp(m_view.hScroll, r.hMin, r.hMax);
        m_hBar->setValue(m_view.hScroll);
    } else {
        m_view.hScroll = firstScrolling;
    }
    m_vBar->setVisible(r.vVisible);
    m_hBar->setVisible(r.hVisible);
    m_settingBars = false;
}

bool ListGrid::paintPass(bool enabled, bool noFocusRect)
{
    if (m_busy)
        return true;
    m_refreshPending = !enabled;
    if (!enabled)
        return true;
    // However the pass ends, also by an overflow from a damaged value, the next one may run.
    struct BusyFlag
    {
        bool& busy;
        explicit BusyFlag(bool& flag) : busy(flag) { busy = true; }
        ~BusyFlag() { busy = false; }
        BusyFlag(const BusyFlag&) = delete;
        BusyFlag& operator=(const BusyFlag&) = delete;
    };
    std::optional<BusyFlag> busy(std::in_place, m_busy);
    if (!surfaceFits(m_surface, this) || m_layout.client().isNull()) {
        m_surface = gridSurface(this);
        recalcLayout();
    }
    // The metrics are cheap; taking them every pass keeps header and caption in step with setters.
    m.updateDefaultRowHeight();
    m_layout.computeMetrics(m);
    m_layout.place(m, m_view);

    // The first column in view never lies among the frozen ones, nor does the bar.
    if (m_hBar && !m_hBar->isHidden() && m_hBar->value() != m_view.hScroll) {
        m_settingBars = true;
        m_hBar->setValue(m_view.hScroll);
        m_settingBars = false;
    }

    const bool focus = !noFocusRect && !(m.props().FocusRectHide && !hasFocus());
    m_painter.paint(m_surface, m, m_layout, m_paintState, focus, this);
    ++m_paintCount;
    busy.reset();
    update();

    // The handler may add rows, or delete the grid.
    const ControlGuard alive(this);
    if (m.rowCount() == 0)
        emit RequestRowData(-1);
    else if (m_layout.reachedEnd())
        emit RequestRowData(m_view.lastRowInView);
    return alive.Alive();
}

void ListGrid::ensureRowVisible(int row)
{
    if (row < 0 || row > m.lastRow())
        return;
    if (row < m_view.firstRowInView) {
        m_view.firstRowInView = row;
    } else {
        // Walk up from the row while the rows still fit under the header.
        const int room = m_layout.rowsBottom() - m_layout.rowsTop();
        const int first = m.firstRowFittingAbove(row, m_view.firstRowInView, room);
        if (first > m_view.firstRowInView)
            m_view.firstRowInView = first;
    }
    if (m_vBar && !m_vBar->isHidden()) {
        m_view.firstRowInView = std::min(m_view.firstRowInView, m_vBar->maximum());
        m_settingBars = true;
        m_vBar->setValue(m_view.firstRowInView);
        m_settingBars = false;
    }
}

void ListGrid::ensureColumnVisible(int colPos)
{
    const int count = static_cast<int>(m.colOrder().size());
    if (colPos <= m.props().FreezeAtCol || colPos < 0 || colPos >= count)
        return;
    if (colPos < m_view.hScroll) {
        m_view.hScroll = colPos;
    } else {
        qint64 frozen = 0;
        for (int pos = 0; pos <= m.props().FreezeAtCol && pos < count; ++pos) {
            const GridColumn& c = m.column(m.columnAt(pos));
            frozen += c.visible ? ListGridModel::extent(c.pixelWidth) : 0;
        }
        const qint64 room = m_layout.client().right() + 1 - m_layout.cellsLeft() - frozen;
        qint64 used = 0;
        int first = colPos;
        for (int pos = colPos; pos >= m_view.hScroll; --pos) {
            const GridColumn& c = m.column(m.columnAt(pos));
            const int w = c.visible ? ListGridModel::extent(c.pixelWidth) : 0;
            if (used + w > room && used > 0)
                break;
            used += w;
            first = pos;
        }
        if (first > m_view.hScroll)
            m_view.hScroll = first;
    }
    if (m_hBar && !m_hBar->isHidden()) {
        m_view.hScroll = std::clamp(m_view.hScroll, m_hBar->minimum(), m_hBar->maximum());
        m_settingBars = true;
        m_hBar->setValue(m_view.hScroll);
        m_settingBars = false;
    }
}

void ListGrid::onScrollBar()
{
    if (m_settingBars)
        return;
    // A move that the message handling already took into the view state is not taken twice.
    const int first = !m_vBar->isHidden() ? m_vBar->value() : 0;
    const int column = !m_hBar->isHidden() ? m_hBar->value() : m_view.hScroll;
    if (first == m_view.firstRowInView && column == m_view.hScroll)
        return;
    m_view.firstRowInView = first;
    m_view.hScroll = column;
    if (paintPass(true))
        emit Scroll();
}

int ListGrid::RowFirstVisible() const
{
    return m.rowCount() == 0 ? -1 : m_view.firstRowInView;
}

int ListGrid::RowLastVisible() const
{
    return m_view.lastRowInView;
}

void ListGrid::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    if (m_surface.isNull()) {
        p.fillRect(event->rect(), OleColor::ToQColor(m.props().BackColorBkg));
        return;
    }
    const QRect r = event->rect();
    const qreal ratio = m_surface.devicePixelRatio();
    p.drawImage(QRectF(r), m_surface,
                QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    if (m_surface.deviceIndependentSize().toSize() != size()) {
        // Grown while painting was off: the new part shows the background until the next pass.
        const QRegion outside =
            QRegion(event->rect()) - QRegion(QRect(QPoint(), m_surface.deviceIndependentSize().toSize()));
        for (const QRect& r : outside)
            p.fillRect(r, OleColor::ToQColor(m.props().BackColorBkg));
    }
}

void ListGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A hidden grid gets its resize only when first shown, after it was drawn at that very size.
    if (m_painting && surfaceFits(m_surface, this) && !m_layout.client().isNull())
        return;
    if (m_painting) {
        m_surface = gridSurface(this);
        recalcLayout();
        paintPass(true);
    } else {
        m_refreshPending = true;
        m_layoutPending = true;
    }
}
