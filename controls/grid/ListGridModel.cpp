#include "controls/grid/ListGridModel.h"

#include "base/Rounding.h"

#include <QFontMetrics>
#include <QVariant>

#include <algorithm>
#include <stdexcept>

namespace brenlow {

namespace {

// Format indices are 16-bit.
constexpr qsizetype MaxFormatIndex = 32767;

bool sameLook(const GridFormat& a, const GridFormat& b)
{
    return a.foreColor == b.foreColor && a.backColor == b.backColor && a.handPointer == b.handPointer &&
           a.fontName == b.fontName && a.image == b.image;
}

} // namespace

qint32 ListGridModel::currentColumnIndex() const
{
    if (currentCol < 0 || currentCol >= static_cast<qint32>(colOrder.size()))
        return 0;
    return colOrder[static_cast<size_t>(currentCol)];
}

qint32 ListGridModel::positionOf(qint32 colIndex) const
{
    const auto it = std::find(colOrder.begin(), colOrder.end(), colIndex);
    return it == colOrder.end() ? -1 : static_cast<qint32>(it - colOrder.begin());
}

qint32 ListGridModel::displayRowOf(qint32 slot) const
{
    for (qint32 i = 0; i <= lastRow; ++i) {
        if (rowMap[static_cast<size_t>(i)] == slot)
            return i;
    }
    return -1;
}

bool ListGridModel::fixRef(qint32& row, qint32& col) const
{
    if (lastRow < 0)
        return false;
    if (row < 0)
        row = currentRow >= 0 ? currentRow : 0;
    if (row > lastRow)
        row = lastRow;
    if (col < 0)
        col = currentColumnIndex();
    return col < colCount();
}

void ListGridModel::checkColumn(qint32 col) const
{
    if (col < 0 || col >= colCount())
        throw std::out_of_range("Subscript out of range: column " + std::to_string(col));
}

void ListGridModel::checkRow(qint32 row) const
{
    if (row < 0 || row > lastRow)
        throw std::out_of_range("Subscript out of range: row " + std::to_string(row));
}

GridFormat ListGridModel::effectiveFormat(const GridCell& cell) const
{
    if (cell.formatIndex >= 0 && cell.formatIndex < static_cast<qint32>(formats.size()))
        return formats[static_cast<size_t>(cell.formatIndex)];
    GridFormat f;
    f.backColor = props.BackColor;
    f.foreColor = props.ForeColor;
    f.fontName = props.Font.family();
    return f;
}

void ListGridModel::applyCellFormat(GridCell& cell, int which, const QVariant& value)
{
    if (lastRow < 0)
        return;
    GridFormat wanted = effectiveFormat(cell);
    switch (which) {
    case FormatField::BackColor:
        wanted.backColor = static_cast<quint32>(value.toLongLong());
        break;
    case FormatField::ForeColor:
        wanted.foreColor = static_cast<quint32>(value.toLongLong());
        break;
    case FormatField::Image:
        wanted.image = static_cast<qint16>(value.toInt());
        break;
    case FormatField::FontName:
        wanted.fontName = value.toString();
        break;
    case FormatField::HandPointer:
        wanted.handPointer = value.toBool();
        break;
    default:
        return;
    }

    // Scan for an equal entry up to the first free slot.
    qsizetype chosen = -1;
    qsizetype freeSlot = -1;
    for (qsizetype i = 0; i < static_cast<qsizetype>(formats.size()); ++i) {
        const GridFormat& f = formats[static_cast<size_t>(i)];
        if (f.refCount == 0) {
            freeSlot = i;
            break;
        }
        if (sameLook(f, wanted)) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) {
        if (freeSlot < 0) {
            freeSlot = static_cast<qsizetype>(formats.size());
            if (freeSlot > MaxFormatIndex)
                throw std::overflow_error("Overflow: the format table is full");
            formats.resize(formats.size() + 10);
        }
        chosen = freeSlot;
        GridFormat& f = formats[static_cast<size_t>(chosen)];
        const qint32 count = f.refCount;
        f = wanted;
        f.refCount = count;
    }
    if (chosen != cell.formatIndex) {
        formats[static_cast<size_t>(chosen)].refCount += 1;
        releaseFormat(cell);
        cell.formatIndex = static_cast<qint16>(chosen);
    }
}

void ListGridModel::releaseFormat(GridCell& cell)
{
    if (cell.formatIndex >= 0 && cell.formatIndex < static_cast<qint32>(formats.size())) {
        GridFormat& f = formats[static_cast<size_t>(cell.formatIndex)];
        if (f.refCount > 0)
            f.refCount -= 1;
    }
    cell.formatIndex = -1;
}

void ListGridModel::resetFormats()
{
    formats.assign(1, GridFormat{});
}

double ListGridModel::unitsPerPixel() const
{
    switch (props.ScaleUnits) {
    case 2: // points
        return 0.75;
    case 3: // pixels
        return 1.0;
    case 4: // characters
        return 1.0 / 8.0;
    case 5: // inches
        return 1.0 / 96.0;
    case 6: // millimetres
        return 25.4 / 96.0;
    case 7: // centimetres
        return 2.54 / 96.0;
    default: // twips, and user scales, at 15 per pixel
        return 15.0;
    }
}

qint32 ListGridModel::headerTextHeight() const
{
    return QFontMetrics(props.FontHeader).height();
}

qint32 ListGridModel::computeDefaultRowHeight() const
{
    const qint32 minPixels = RoundHalfEven32(toPixels(props.MinRowHeight));
    return std::max(minPixels, headerTextHeight()) + 2 * props.MinVerticalOffset + 2;
}

QFont ListGridModel::cellFont(const GridCell& cell, qint16 columnType) const
{
    QFont font = props.Font;
    const GridFormat f = effectiveFormat(cell);
    if (!f.fontName.isEmpty())
        font.setFamily(f.fontName);
    const bool progress = columnType == ColumnType::Progress;
    font.setBold(!progress && (cell.flags & CellFlag::Bold));
    font.setItalic(!progress && (cell.flags & CellFlag::Italic));
    font.setUnderline(!progress && (cell.flags & CellFlag::Underline));
    return font;
}

qint32 ListGridModel::autoRowHeight(const GridRow& row) const
{
    qint32 tallest = 0;
    for (size_t k = 0; k < columns.size() && k < row.cells.size(); ++k) {
        const GridCell& cell = row.cells[k];
        if (cell.text.isEmpty())
            continue;
        const GridColumn& col = columns[k];
        const QFontMetrics fm(cellFont(cell, col.type));
        const bool wraps = col.type != ColumnType::Progress && (cell.flags & CellFlag::WordWrap);
        qint32 h;
        if (wraps) {
            const QRect box(0, 2, std::max(1, col.pixelWidth - 5), 1 << 20);
            h = fm.boundingRect(box, Qt::TextWordWrap, cell.text).height();
        } else {
            h = fm.boundingRect(QRect(0, 0, std::max(1, col.pixelWidth), 1 << 20), Qt::TextSingleLine,
                                cell.text)
                    .height();
        }
        tallest = std::max(tallest, h);
    }
    qint32 c = defaultRowHeight - 2 * props.MinVerticalOffset - 2;
    if (tallest >= c) {
        const qint32 limit = props.MaxLineCount > 0 ? props.MaxLineCount * c : tallest;
        c = std::min(tallest, limit);
    }
    return c + 2 * props.MinVerticalOffset;
}

void ListGridModel::growStorage(qint32 newLast)
{
    if (newLast >= storageBound) {
        // The logical bound grows by CacheIncrement; the vectors themselves grow geometrically so
        // adding rows stays amortised constant time whatever the increment.
        storageBound = newLast + std::max(1, props.CacheIncrement);
    }
    rows.resize(static_cast<size_t>(newLast) + 1);
    rowMap.resize(static_cast<size_t>(newLast) + 1);
}

void ListGridModel::shrinkStorage()
{
    if (lastRow + props.CacheIncrement < storageBound) {
        storageBound = lastRow + 1;
        if (rows.capacity() > 2 * rows.size() + 64) {
            rows.shrink_to_fit();
            rowMap.shrink_to_fit();
        }
    }
}

} // namespace brenlow
