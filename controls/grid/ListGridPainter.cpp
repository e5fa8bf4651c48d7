#include "controls/grid/ListGridPainter.h"

#include "base/Numbers.h"
#include "base/Rounding.h"
#include "controls/common/Colors.h"
#include "controls/common/Gdi.h"
#include "controls/grid/ListGridFormat.h"
#include "controls/grid/ListGridLayout.h"
#include "controls/grid/ListGridModel.h"
#include "controls/grid/ListGridTheme.h"

#include <QLocale>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace brenlow {

using Gdi::Ltrb;
namespace DT = Gdi::DT;

namespace {

QColor qc(quint32 c)
{
    return OleColor::ToQColor(c);
}

// Cell and header text never treats "&" as a mnemonic: names are shown as they are stored.
constexpr quint32 TextBase = DT::NoPrefix;

/** An image as it shows in a selected row with ApplySelectionToImages: half covered by the selection
 *  colour where it is not transparent. */
QImage selectedLook(const QImage& image, const QColor& selection)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    QColor half = selection;
    half.setAlpha(128);
    p.fillRect(out.rect(), half);
    return out;
}

/** The area of a cell that pictures and images are placed in. */
QRect imageArea(const QRect& cell, int verticalOffset)
{
    return Ltrb(cell.left() + 2, cell.top() + verticalOffset, cell.right() + 1 - 2,
                cell.bottom() + 1 - verticalOffset);
}

/** The text colour wanted, or black or white when it does not stand out from the background by
 *  the contrast ratio of 4.5:1 that text needs to be read. */
QColor readableOn(const QColor& wanted, const QColor& background)
{
    const auto luminance = [](const QColor& c) {
        const auto lin = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const auto contrast = [&](const QColor& a, const QColor& b) {
        const double la = luminance(a), lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    };
    if (contrast(wanted, background) >= 4.5)
        return wanted;
    return contrast(Qt::black, background) >= contrast(Qt::white, background) ? QColor(Qt::black)
                                                                              : QColor(Qt::white);
}

} // namespace

QString ListGridPainter::DisplayText(const QString& text, const QString& format)
{
    return FormatCellText(text, format);
}

void ListGridPainter::paint(QImage& surface, const ListGridModel& m, const ListGridLayout& l,
                            const GridPaintState& s, bool focusRect, const QWidget* widget)
{
    const GridProperties& props = m.props();
    QPainter p(&surface);
    // Under the scroll bars and in the corner between them: the button face.
    const QRect all(QPoint(), surface.deviceIndependentSize().toSize()); // in the grid's own pixels
    p.fillRect(all, qc(OleColor::ButtonFace));
    paintBorder(p, surface, m);
    p.setClipRect(l.client());
    m_view = l.client();
    Gdi::FillRect(p, l.client(), qc(props.BackColorBkg));

    if (m.rowCount() > 0) {
        const QFont saved = p.font();
        for (int i = 0; i < static_cast<int>(l.rows().size()); ++i)
            paintRow(p, m, l, s, i, widget);
        p.setFont(saved);
        paintGridLines(p, m, l);
        if (focusRect)
            paintFocusRect(p, m, l);
    }
    paintHeaders(p, m, l, s, widget);
    if (m.rowCount() > 0) {
        paintRowNumbers(p, m, l);
        paintTotals(p, m, l, s, widget);
    }
    if (m_scaled.size() > 512)
        m_scaled.clear();
}

void ListGridPainter::paintBorder(QPainter& p, const QImage& surface, const ListGridModel& m) const
{
    const QRect all(QPoint(), surface.deviceIndependentSize().toSize());
    if (m.props().BorderStyle == 0)
        return;
    if (m.props().Appearance == 1)
        Gdi::DrawEdge(p, all, Gdi::Edge::Sunken);
    else
        Gdi::FrameRect(p, all, qc(OleColor::WindowFrame));
}

void ListGridPainter::paintRow(QPainter& p, const ListGridModel& m, const ListGridLayout& l,
                               const GridPaintState& s, int index, const QWidget* widget)
{
    const GridProperties& props = m.props();
    const ListGridLayout::RowSpan& rs = l.rows()[static_cast<size_t>(index)];
    const GridRow& row = m.rowAt(rs.row);
    const int top = rs.top, bottom = rs.bottom();
    const bool selected =
        (row.flags & RowFlag::Selected) && (props.MultiSelect != 0 || props.FocusRowHighlight);
    const quint32 rowBack =
        props.BackColorEvenRowsEnabled && rs.row % 2 == 0 ? props.BackColorEvenRows : props.BackColor;

    const int stripLeft = l.checkBoxColumnLeft();
    Gdi::FillRect(p, Ltrb(stripLeft, top, l.cellsLeft(), bottom), qc(rowBack));
    Gdi::FillRect(p, Ltrb(l.cellsLeft(), top, l.cellsRight(), bottom),
                  qc(selected && !props.AlphaBlendSelection ? props.BackColorSel : rowBack));
    if (props.RowCheckBoxes) {
        const QRect box = l.rowCheckBoxRect(rs.row);
        Gdi::DrawCheckBox(p, box, row.flags & RowFlag::Checked, Gdi::PartState::Normal, widget);
    }
    const bool selectImages = selected && props.ApplySelectionToImages;
    if (l.metrics().rowImageWidth > 0 && row.image != 0) {
        const QImage image = m.listImage(row.image);
        if (!image.isNull()) {
            // In its own column left of the cells; centred in the row, or at the top.
            const int x = l.cellsLeft() - l.metrics().rowImageWidth + 1;
            const int y =
                props.CenterRowImage ? top + (rs.height - image.height()) / 2 : top + props.MinVerticalOffset;
            p.save();
            p.setClipRect(Ltrb(x, top, l.cellsLeft(), bottom), Qt::IntersectClip);
            p.drawImage(x, y, selectImages ? selectedLook(image, qc(props.BackColorSel)) : image);
            p.restore();
        }
    }

    if (row.groupHeader) {
        paintGroupHeader(p, m, l, s, rs, selected, widget);
        return;
    }

    QFont current = p.font();
    const bool expandable = m.rowExpandable(row);
    for (const ListGridLayout::ColSpan& cs : l.cols()) {
        if (cs.col >= static_cast<qint32>(row.cells.size()))
            continue;
        const GridCell& cell = row.cells[static_cast<size_t>(cs.col)];
        const GridColumn& column = m.column(cs.col);
        const GridFormat format = m.effectiveFormat(cell);
        const QRect rect = Ltrb(cs.left, top, cs.right(), bottom);

        quint32 cellBack = selected && !props.AlphaBlendSelection ? props.BackColorSel : rowBack;
        if (selected && props.AlphaBlendSelection) {
            const bool plain = format.backColor == props.BackColor;
            const quint32 under = plain ? rowBack : format.backColor;
            cellBack = ColorMath::Blend(props.BackColorSel, under, plain ? 150 : 100);
            Gdi::FillRect(p, rect, qc(cellBack));
        } else if (!selected && format.backColor != props.BackColor) {
            cellBack = format.backColor;
            Gdi::FillRect(p, rect, qc(cellBack));
        }

        const qint16 type = column.type;
        if (type == ColumnType::CheckBox) {
            const int size = l.metrics().checkBoxSize;
            const QRect box(rect.left() + (rect.width() - size) / 2, top + (rs.height - size) / 2, size,
                            size);
            Gdi::DrawCheckBox(p, box, cell.flags & CellFlag::Checked, Gdi::PartState::Normal, widget);
            continue;
        }
        if (type == ColumnType::Button) {
            const bool down = s.pressedButtonRow == rs.row && s.pressedButtonCol == cs.col;
            Gdi::DrawPushButton(p, inView(rect.adjusted(0, 0, 1, 1), l.client()),
                                down ? Gdi::PartState::Pressed : Gdi::PartState::Normal, false, widget);
        }
        int fillRight = rect.left();
        if (type == ColumnType::Progress && cell.flags >= 1) {
            const int value = std::min<int>(cell.flags, 100);
            fillRight = rect.left() + static_cast<int>(RoundHalfEven((cs.width - 2) / 100.0 * value));
            Gdi::FillRect(p, Ltrb(rect.left() + 2, top + 2, fillRight, bottom - 2),
                          qc(props.CellProgressBarColor));
        }

        QRect textRect = Ltrb(rect.left() + 3, top, rect.right() + 1 - 3, bottom);
        if (!cell.picture.isNull()) {
            paintPicture(p, cell.picture, rect, column.imageAlignment, cs.width, props.MinVerticalOffset,
                         textRect);
        } else if (format.image != 0) {
            const QRect placed = CellImageRect(m, cell, column, rect);
            if (!placed.isNull()) {
                const QImage image = m.listImage(format.image);
                p.save();
                p.setClipRect(rect, Qt::IntersectClip);
                p.drawImage(placed.topLeft(),
                            selectImages ? selectedLook(image, qc(props.BackColorSel)) : image);
                p.restore();
                // Text beside the image, as beside a picture.
                const int horizontal = column.imageAlignment & 3;
                if (horizontal == 0 && column.imageAlignment != 5)
                    textRect.setLeft(std::max(textRect.left(), placed.right() + 1 + 3));
                else if (horizontal == 2)
                    textRect.setRight(std::min(textRect.right(), placed.left() - 4));
            }
        }

        QString text = DisplayText(cell.text, column.format);
        if (text.isEmpty())
            continue;
        quint32 flags = static_cast<quint16>(cell.alignment) | l.metrics().textFlagBase | TextBase;
        const QFont font = m.cellFont(cell, type);
        if (type != ColumnType::Progress && (cell.flags & CellFlag::WordWrap) && props.AllowWordWrap) {
            flags |= DT::WordBreak;
            if (!m.expandRowImage().isNull())
                textRect.setRight(textRect.right() -
                                  std::min(m.expandRowImage().width() + 2, textRect.width() / 2));
            if (props.MinRowHeight > 0 && !text.contains(QLatin1Char('\r')))
                text = ListGridLayout::FitText(text, font, textRect.width(), -1);
        } else {
            flags |= DT::SingleLine;
        }
        quint32 fore = format.foreColor;
        if (selected && !props.FocusRowHighlightKeepTextForecolor)
            fore = props.ForeColorSel;
        if (type == ColumnType::Button)
            fore = OleColor::ButtonText;
        if (!(font == current)) {
            p.setFont(font);
            current = font;
        }
        if (type == ColumnType::Progress) {
            // The figure lies across the bar and the cell around it, which may differ as much as a
            // light bar in a dark selected row: each part of the text stands out from what is under it.
            p.save();
            p.setClipRect(Ltrb(rect.left(), top, fillRight, bottom), Qt::IntersectClip);
            p.setPen(readableOn(qc(fore), qc(props.CellProgressBarColor)));
            Gdi::DrawText(p, text, textRect, flags);
            p.setClipRect(Ltrb(fillRight, top, rect.right() + 1, bottom), Qt::ReplaceClip);
            p.setPen(readableOn(qc(fore), qc(cellBack)));
            Gdi::DrawText(p, text, textRect, flags);
            p.restore();
            continue;
        }
        p.setPen(qc(fore));
        Gdi::DrawText(p, text, textRect, flags);
        if (expandable && (flags & DT::WordBreak)) {
            const QRect r = ExpandImageRect(m.expandRowImage(), rect);
            if (!r.isNull())
                p.drawImage(r, m.expandRowImage());
        }
    }
}

QRect ListGridPainter::PictureRect(const QSize& picture, const QRect& cell, int imageAlignment,
                                   int columnWidth, int verticalOffset)
{
    const QRect area = imageArea(cell, verticalOffset);
    if (area.width() <= 0 || area.height() <= 0 || picture.width() <= 0 || picture.height() <= 0)
        return {};
    // Keep the aspect ratio: a relatively taller area gives the picture its width, else its height.
    int w, h;
    if (double(area.height()) / area.width() > double(picture.height()) / picture.width()) {
        w = area.width();
        h = std::max(1, static_cast<int>(RoundHalfEven(double(picture.height()) * w / picture.width())));
    } else {
        h = area.height();
        w = std::max(1, static_cast<int>(RoundHalfEven(double(picture.width()) * h / picture.height())));
    }
    return QRect(PlaceImage(QSize(w, h), area, imageAlignment, picture.width(), columnWidth), QSize(w, h));
}

QRect ListGridPainter::CellImageRect(const ListGridModel& m, const GridCell& cell, const GridColumn& column,
                                     const QRect& rect)
{
    if (!cell.picture.isNull())
        return PictureRect(cell.picture.image().size(), rect, column.imageAlignment, rect.width(),
                           m.props().MinVerticalOffset);
    const QImage image = m.listImage(m.effectiveFormat(cell).image);
    if (image.isNull())
        return {};
    const QRect area = imageArea(rect, m.props().MinVerticalOffset);
    return QRect(PlaceImage(image.size(), area, column.imageAlignment, image.width(), rect.width()),
                 image.size());
}

QRect ListGridPainter::ExpandImageRect(const QImage& image, const QRect& cell)
{
    if (image.isNull())
        return {};
    const int w = std::min(image.width(), cell.width() - 4);
    const int h = std::min(image.height(), cell.height() - 4);
    if (w <= 0 || h <= 0)
        return {};
    return QRect(cell.left() + cell.width() - 2 - w, cell.top() + cell.height() - 2 - h, w, h);
}

QPoint ListGridPainter::PlaceImage(const QSize& drawn, const QRect& area, int imageAlignment, int ownWidth,
                                   int columnWidth)
{
    int x = area.left(), y = area.top();
    const int horizontal = imageAlignment & 3;
    if (imageAlignment == 5) {
        if (ownWidth < columnWidth)
            x = area.left() + (columnWidth - drawn.width()) / 2 - 2;
    } else if (horizontal == 1) {
        x = area.left() + (area.width() - drawn.width()) / 2;
    } else if (horizontal == 2) {
        x = area.left() + area.width() - drawn.width();
    }
    if (imageAlignment & 4)
        y = area.top() + (area.height() - drawn.height()) / 2;
    else if (imageAlignment & 8)
        y = area.top() + area.height() - drawn.height();
    return {x, y};
}

void ListGridPainter::paintPicture(QPainter& p, const QImage& picture, const QRect& cell, int imageAlignment,
                                   int columnWidth, int verticalOffset, QRect& textRect)
{
    const QRect placed = PictureRect(picture.size(), cell, imageAlignment, columnWidth, verticalOffset);
    if (placed.isNull())
        return;
    const int x = placed.x(), y = placed.y(), w = placed.width(), h = placed.height();
    const int horizontal = imageAlignment & 3;

    p.save();
    p.setClipRect(cell, Qt::IntersectClip);
    if (qint64(w) * h > qint64(1024) * 1024) {
        // Too large to keep (a huge row or column): scaled while drawing, only the part that shows.
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(x, y, w, h), picture);
    } else {
        const QString key = QStringLiteral("%1/%2x%3").arg(picture.cacheKey()).arg(w).arg(h);
        auto it = m_scaled.constFind(key);
        if (it == m_scaled.constEnd())
            it = m_scaled.insert(key, picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        p.drawImage(x, y, *it);
    }
    p.restore();

    if (horizontal == 0 && imageAlignment != 5)
        textRect.setLeft(std::max(textRect.left(), x + w + 3));
    else if (horizontal == 2)
        textRect.setRight(std::min(textRect.right(), x - 4));
}

void ListGridPainter::paintGroupHeader(QPainter& p, const ListGridModel& m, const ListGridLayout& l,
                                       const GridPaintState& s, const ListGridLayout::RowSpan& rs,
                                       bool selected, const QWidget* widget) const
{
    // One strip across the row in the look of the column headers, with the row's first text in bold.
    const GridProperties& props = m.props();
    const GridRow& row = m.rowAt(rs.row);
    const QRect strip = Ltrb(l.cellsLeft(), rs.top, l.cellsRight(), rs.bottom());
    if (strip.width() <= 0)
        return;
    if (selected)
        Gdi::FillRect(p, inView(strip, l.client()), qc(props.BackColorSel));
    else
        paintHeaderBackground(p, strip, props.ThemeStyle, 1, s, widget);
    QString text;
    const GridCell* first = nullptr;
    for (const qint32 col : m.colOrder()) {
        if (col < static_cast<qint32>(row.cells.size()) && m.column(col).visible &&
            !row.cells[static_cast<size_t>(col)].text.isEmpty()) {
            first = &row.cells[static_cast<size_t>(col)];
            text = first->text;
            break;
        }
    }
    if (!first)
        return;
    QFont font = m.cellFont(*first, ColumnType::Text);
    font.setBold(true);
    p.setFont(font);
    p.setPen(
        qc(selected && !props.FocusRowHighlightKeepTextForecolor ? props.ForeColorSel : props.ForeColorHdr));
    QRect textRect = inView(strip, l.client()).adjusted(4, 0, -4, 0);
    Gdi::DrawText(p, text, textRect, DT::VCenter | DT::SingleLine | DT::EndEllipsis | TextBase);
}

void ListGridPainter::paintGridLines(QPainter& p, const ListGridModel& m, const ListGridLayout& l) const
{
    // 0 none, 1 both, 2 horizontal only, 3 vertical only.
    const int mode = m.props().GridLines;
    if (mode <= 0 || mode > 3 || l.rows().empty())
        return;
    const QColor color = qc(m.props().GridColor);
    const int width = std::max(m.props().GridLineWidth, 1);
    const int left = l.cellsLeft(), right = l.cellsRight();
    if (mode == 1 || mode == 2)
        for (const auto& r : l.rows())
            Gdi::Line(p, left, r.bottom() - 1, right, r.bottom() - 1, color, width);
    if (mode == 1 || mode == 3) {
        // Column lines run through every row but the group headers, which span the row.
        int top = l.rowsTop();
        auto run = [&](int bottom) {
            if (bottom > top)
                for (const auto& c : l.cols())
                    Gdi::Line(p, c.right() - 1, top, c.right() - 1, bottom, color, width);
        };
        for (const auto& r : l.rows()) {
            if (m.rowAt(r.row).groupHeader) {
                run(r.top);
                top = r.bottom();
            }
        }
        run(l.rows().back().bottom());
    }
}

void ListGridPainter::paintFocusRect(QPainter& p, const ListGridModel& m, const ListGridLayout& l) const
{
    const GridProperties& props = m.props();
    if (m.currentRow() < 0 || props.FocusRectMode == 0)
        return;
    const auto* rs = l.rowSpan(m.currentRow());
    if (!rs)
        return;
    QRect r;
    if (props.FocusRectMode == 1)
        r = Ltrb(l.client().left() + 1, rs->top, l.cellsRight(), rs->bottom());
    else
        r = l.cellRect(m.currentRow(), m.currentCol());
    if (r.isNull())
        return;
    const QColor color =
        qc(props.FocusRowHighlight ? props.FocusRectColor : ColorMath::Shift(props.BackColorSel, -50));
    // Only the part in view is drawn: the dotted rectangle is drawn dot by dot, and the edges beyond
    // the view would not show anyway.
    r = inView(r, l.client());
    switch (props.FocusRectStyle) {
    case 0:
        Gdi::DrawFocusRect(p, r);
        break;
    case 1:
        for (int i = 0; i < 3; ++i)
            Gdi::FrameRect(p, r.adjusted(i, i, -i, -i), color);
        break;
    default:
        Gdi::FrameRect(p, r, color);
        break;
    }
}

QRect ListGridPainter::inView(const QRect& r, const QRect& client)
{
    // A part far larger than the view (a huge width or height) is drawn over the view only, a little
    // beyond its edges: the styles draw through caches as large as what they are given.
    const int limit = 4 * std::max({client.width(), client.height(), 64});
    if (r.width() <= limit && r.height() <= limit)
        return r;
    const QRect around = client.adjusted(-8, -8, 8, 8);
    QRect clipped = r;
    if (r.width() > limit) {
        clipped.setLeft(std::max(r.left(), around.left()));
        clipped.setRight(std::min(r.right(), around.right()));
    }
    if (r.height() > limit) {
        clipped.setTop(std::max(r.top(), around.top()));
        clipped.setBottom(std::min(r.bottom(), around.bottom()));
    }
    return clipped;
}

void ListGridPainter::paintHeaderBackground(QPainter& p, const QRect& whole, int style, int state,
                                            const GridPaintState& s, const QWidget* widget) const
{
    // Every strip in the look of a header (items, fillers, caption, group headers, totals, the dragged
    // item) is drawn over the view only, however large the stored sizes make it.
    const QRect r = inView(whole, m_view);
    const auto part = static_cast<Gdi::PartState>(std::clamp(state, 1, 3));
    if (style <= 0 || style > 7) {
        Gdi::DrawPushButton(p, r, part, false, widget);
        return;
    }
    if (style == 1) {
        Gdi::DrawPushButton(p, r, part, state == 1, widget);
        return;
    }
    if (style == 2 && GridVisualStyles()) {
        Gdi::DrawHeaderSection(p, r, part, widget);
        return;
    }
    const int lookStyle = style == 2 ? 7 : style; // themed header without visual styles: the gradient
    const HeaderLook& look = HeaderStyleLook(lookStyle, state - 1);
    const quint32 base = HeaderBaseColor(lookStyle, s.themeFrom, s.themeTo);
    const quint32 face = OleColor::Translate(OleColor::ButtonFace);
    auto resolve = [&](const HeaderColor& c) {
        return qc(ResolveHeaderColor(c, s.themeFrom, s.themeTo, base, face));
    };
    Gdi::Gradient(p, r, resolve(look.top), resolve(look.bottom), Gdi::GradientDirection::Vertical);
    const int right = r.left() + r.width(), bottom = r.top() + r.height();
    Gdi::Line(p, r.left(), bottom - 1, right, bottom - 1, resolve(look.bottomLine));
    if (r.height() > 6) {
        Gdi::Line(p, right - 2, r.top() + 3, right - 2, bottom - 3, resolve(look.separator));
        Gdi::Line(p, right - 1, r.top() + 3, right - 1, bottom - 3, resolve(look.separatorLight));
    }
}

void ListGridPainter::paintHeaders(QPainter& p, const ListGridModel& m, const ListGridLayout& l,
                                   const GridPaintState& s, const QWidget* widget) const
{
    const GridProperties& props = m.props();
    const GridMetrics& g = l.metrics();
    const int style = props.ThemeStyle;
    const int top = l.client().top();

    if (props.ColumnHeaders && g.headerHeight > g.captionHeight) {
        const int hTop = top + g.captionHeight, hBottom = top + g.headerHeight;
        // The strip left of the columns and right of the last one are empty items.
        paintHeaderBackground(p, Ltrb(l.client().left(), hTop, l.cellsLeft(), hBottom), style, 1, s, widget);
        paintHeaderBackground(p, Ltrb(l.cellsRight(), hTop, l.client().right() + 2, hBottom), style, 1, s,
                              widget);
        p.setFont(props.FontHeader);
        const QFontMetrics fm(props.FontHeader);
        for (const auto& cs : l.cols()) {
            const GridColumn& column = m.column(cs.col);
            const QRect item = l.headerItemRect(cs.pos);
            int state = 1;
            if (cs.pos == s.pressedHeaderPos)
                state = 3;
            else if (cs.pos == s.hotHeaderPos && props.AllowColumnHover)
                state = 2;
            paintHeaderBackground(p, inView(item, l.client()), style, state, s, widget);

            const int right = item.left() + item.width();
            if (column.sortState != 0 && (cs.col == m.sortPrimary() || cs.col == m.sortSecondary())) {
                // A 9 x 5 arrow: down for greater values first, up for smaller first.
                const int ax = right - 12, ay = item.top() + 6;
                const QColor arrow = qc(OleColor::ButtonShadow);
                for (int i = 0; i < 5; ++i) {
                    const int y = column.sortState == 1 ? ay + i : ay + 4 - i;
                    Gdi::Line(p, ax + i, y, ax + 9 - i, y, arrow);
                }
            }

            const int shift = state == 2 ? -1 : state == 3 ? 1 : 0;
            QRect textRect =
                Ltrb(item.left() + 3, item.top() + shift, right - 3, item.top() + item.height() + shift);
            p.setPen(qc(props.ForeColorHdr));
            const quint32 align = static_cast<quint32>(column.alignment) & 0x0F;
            if (props.ColumnHeaderLines < 2) {
                Gdi::DrawText(p, column.heading, textRect, align | DT::SingleLine | TextBase);
            } else {
                const QString fitted = ListGridLayout::FitText(column.heading, props.FontHeader,
                                                               textRect.width(), props.ColumnHeaderLines);
                const quint32 flags = (align & 3) | DT::WordBreak | DT::WordEllipsis | TextBase;
                const QRect measured = Gdi::CalcTextRect(props.FontHeader, fitted, textRect, flags);
                textRect.setTop(textRect.top() + std::max(0, (textRect.height() - measured.height()) / 2));
                Gdi::DrawText(p, fitted, textRect, flags);
            }
        }
    }

    // A header being dragged follows the pointer, drawn pressed and framed.
    if (props.ColumnHeaders && s.dragHeaderPos >= 0) {
        if (const auto* cs = l.colSpan(s.dragHeaderPos)) {
            const GridColumn& column = m.column(cs->col);
            QRect item = l.headerItemRect(cs->pos);
            item.moveLeft(s.dragHeaderX);
            paintHeaderBackground(p, item, style, 3, s, widget);
            Gdi::FrameRect(p, item, qc(OleColor::ButtonShadow));
            p.setFont(props.FontHeader);
            p.setPen(qc(props.ForeColorHdr));
            QRect textRect = Ltrb(item.left() + 3, item.top() + 1, item.left() + item.width() - 3,
                                  item.top() + item.height() + 1);
            Gdi::DrawText(p, column.heading, textRect,
                          (static_cast<quint32>(column.alignment) & 0x0F) | DT::SingleLine | TextBase);
        }
    }

    if (g.captionHeight > 0) {
        const QRect cap = l.captionRect();
        paintHeaderBackground(p, cap, style, 1, s, widget);
        QFont font = props.FontHeader;
        font.setBold(true);
        p.setFont(font);
        p.setPen(qc(props.ForeColorHdr));
        QRect textRect = cap.adjusted(4, 0, -4, 0);
        Gdi::DrawText(p, props.Caption, textRect,
                      static_cast<quint32>(props.CaptionAlignment) | DT::SingleLine | DT::EndEllipsis |
                          TextBase);
    }
}

void ListGridPainter::paintRowNumbers(QPainter& p, const ListGridModel& m, const ListGridLayout& l) const
{
    const GridProperties& props = m.props();
    if (!props.ShowRowNumbers || l.rowNumberWidth() <= 0)
        return;
    const int left = l.client().left(), right = left + l.rowNumberWidth();
    const quint32 base = OleColor::Translate(OleColor::ButtonFace);
    const QColor border = qc(ColorMath::RawShift(base, -40));
    p.setFont(props.Font);
    for (const auto& rs : l.rows()) {
        const QRect r = Ltrb(left, rs.top, right, rs.bottom());
        Gdi::FillRect(p, r, qc(base));
        Gdi::Line(p, left, rs.bottom() - 1, right, rs.bottom() - 1, border);
        Gdi::Line(p, right - 1, rs.top, right - 1, rs.bottom(), border);
        p.setPen(qc(props.ForeColorHdr));
        QRect textRect = r.adjusted(2, 0, -4, 0);
        Gdi::DrawText(p, QString::number(rs.row + 1), textRect, DT::Right | DT::VCenter | DT::SingleLine);
    }
}

void ListGridPainter::paintTotals(QPainter& p, const ListGridModel& m, const ListGridLayout& l,
                                  const GridPaintState& s, const QWidget* widget) const
{
    const GridProperties& props = m.props();
    const QRect strip = l.totalsRect();
    if (!props.TotalsLineShow || strip.isNull())
        return;
    paintHeaderBackground(p, strip, props.ThemeStyle, 1, s, widget);
    QFont font = props.Font;
    font.setBold(true);
    p.setFont(font);
    p.setPen(qc(props.ForeColorHdr));
    for (const auto& cs : l.cols()) {
        const GridColumn& column = m.column(cs.col);
        const auto& entry = m.totalsEntry(cs.col);
        QString text = entry.caption;
        // The same figure the export writes: the total, or its average over the row count less one,
        // after the caption. With one row there is no average to show.
        if (column.type == ColumnType::Numeric && !(entry.average && m.lastRow() == 0)) {
            double total = m.columnTotal(cs.col);
            if (entry.average)
                total /= m.lastRow();
            QLocale locale = NumberLocale();
            locale.setNumberOptions(QLocale::OmitGroupSeparator);
            const QString number = column.format.isEmpty()
                                       ? locale.toString(total, 'f', QLocale::FloatingPointShortest)
                                       : DisplayText(QString::number(total, 'g', 15), column.format);
            text = entry.caption.isEmpty() ? number : entry.caption + QLatin1Char(' ') + number;
        }
        QRect textRect = Ltrb(cs.left + 3, strip.top(), cs.right() - 3, strip.top() + strip.height());
        Gdi::DrawText(p, text, textRect,
                      (static_cast<quint32>(column.alignment) & 0x0F) | DT::SingleLine | DT::EndEllipsis |
                          TextBase);
    }
}

} // namespace brenlow
