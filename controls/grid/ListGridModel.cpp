#include "controls/grid/ListGridModel.h"

#include "base/Numbers.h"
#include "base/Rounding.h"

#include <QFontMetrics>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace brenlow {

namespace {

// Format indices are 16-bit.
constexpr qsizetype MaxFormatIndex = 32767;

} // namespace

void ListGridModel::setFont(const QFont& font)
{
    props.Font = font;
    fontName = font.family();
}

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

qint32 ListGridModel::displayRowOfId(quint64 id) const
{
    for (qint32 i = 0; i <= lastRow; ++i) {
        if (rows[static_cast<size_t>(rowMap[static_cast<size_t>(i)])].id == id)
            return i;
    }
    return -1;
}

qint32 ListGridModel::removeMarkedRows(const std::vector<bool>& byDisplayRow)
{
    // Storage slots of the marked rows, then one compaction of storage and one of the row map.
    std::vector<bool> goneSlot(rows.size(), false);
    qint32 removed = 0;
    for (qint32 i = 0; i <= lastRow && static_cast<size_t>(i) < byDisplayRow.size(); ++i) {
        if (byDisplayRow[static_cast<size_t>(i)]) {
            goneSlot[static_cast<size_t>(rowMap[static_cast<size_t>(i)])] = true;
            ++removed;
        }
    }
    if (removed == 0)
        return 0;
    const bool dot = dotDecimalLocale();
    std::vector<qint32> newSlot(rows.size(), -1);
    size_t kept = 0;
    for (size_t s = 0; s < rows.size(); ++s) {
        if (goneSlot[s]) {
            GridRow& row = rows[s];
            for (size_t k = 0; k < row.cells.size(); ++k) {
                releaseFormat(row.cells[k]);
                if (k < totals.size() && !totalsStale[k])
                    totals[k] -= number(row.cells[k].text, dot);
            }
            continue;
        }
        newSlot[s] = static_cast<qint32>(kept);
        if (kept != s)
            rows[kept] = std::move(rows[s]);
        ++kept;
    }
    rows.resize(kept);
    size_t out = 0;
    for (size_t i = 0; i < rowMap.size() && i <= static_cast<size_t>(lastRow); ++i) {
        const qint32 slot = newSlot[static_cast<size_t>(rowMap[i])];
        if (slot >= 0)
            rowMap[out++] = slot;
    }
    rowMap.resize(out);
    lastRow -= removed;
    ++structure;
    return removed;
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

double ListGridModel::columnTotal(qint32 col) const
{
    checkColumn(col);
    const auto c = static_cast<size_t>(col);
    if (totalsStale[c]) {
        const bool dot = dotDecimalLocale();
        double sum = 0;
        for (qint32 slot = 0; slot <= lastRow; ++slot)
            sum += number(rows[static_cast<size_t>(slot)].cells[c].text, dot);
        totals[c] = sum;
        totalsStale[c] = false;
    }
    return totals[c];
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
    f.fontName = fontName;
    return f;
}

void ListGridModel::applyCellFormat(GridCell& cell, int which, const QVariant& value)
{
    FormatChange change;
    change.which = which;
    change.color = static_cast<quint32>(value.toLongLong());
    change.image = static_cast<qint16>(value.toInt());
    change.handPointer = value.toBool();
    change.fontName = value.toString();
    applyCellFormat(cell, change);
}

void ListGridModel::applyCellFormat(GridCell& cell, const FormatChange& change)
{
    if (lastRow < 0)
        return;
    const bool own = cell.formatIndex >= 0 && cell.formatIndex < static_cast<qint32>(formats.size());
    const GridFormat* current = own ? &formats[static_cast<size_t>(cell.formatIndex)] : nullptr;
    const QString& defaultName = fontName;

    quint32 back = current ? current->backColor : props.BackColor;
    quint32 fore = current ? current->foreColor : props.ForeColor;
    qint16 image = current ? current->image : 0;
    bool hand = current ? current->handPointer : false;
    const QString* name = current ? &current->fontName : &defaultName;
    switch (change.which) {
    case FormatField::BackColor:
        back = change.color;
        break;
    case FormatField::ForeColor:
        fore = change.color;
        break;
    case FormatField::Image:
        image = change.image;
        break;
    case FormatField::FontName:
        name = &change.fontName;
        break;
    case FormatField::HandPointer:
        hand = change.handPointer;
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
        if (f.foreColor == fore && f.backColor == back && f.handPointer == hand && f.image == image &&
            f.fontName == *name) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) {
        if (freeSlot < 0) {
            freeSlot = static_cast<qsizetype>(formats.size());
            // Checked before growing: no index past the 16-bit range is ever made.
            if (freeSlot > MaxFormatIndex)
                throw std::overflow_error("Overflow: the format table is full");
            const QString keep = *name; // the name may live in the table being grown
            formats.resize(static_cast<size_t>(std::min<qsizetype>(freeSlot + 10, MaxFormatIndex + 1)));
            GridFormat& f = formats[static_cast<size_t>(freeSlot)];
            f.fontName = keep;
        } else {
            formats[static_cast<size_t>(freeSlot)].fontName = QString(*name);
        }
        chosen = freeSlot;
        GridFormat& f = formats[static_cast<size_t>(chosen)];
        f.backColor = back;
        f.foreColor = fore;
        f.image = image;
        f.handPointer = hand;
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
        if (f.refCount > 0) {
            f.refCount -= 1;
            if (f.refCount == 0)
                ++formatsFreed;
        }
    }
    cell.formatIndex = -1;
}

void ListGridModel::applyCellFormat(GridCell& cell, const FormatChange& change, FormatMemo& memo)
{
    if (lastRow < 0)
        return;
    if (memo.freedAt != formatsFreed) {
        memo.target.clear();
        memo.freedAt = formatsFreed;
    }
    const auto key = static_cast<size_t>(cell.formatIndex + 1);
    if (key < memo.target.size() && memo.target[key] >= 0) {
        const qint16 target = memo.target[key];
        if (target != cell.formatIndex) {
            formats[static_cast<size_t>(target)].refCount += 1;
            releaseFormat(cell);
            cell.formatIndex = target;
        }
        return;
    }
    applyCellFormat(cell, change);
    if (memo.freedAt != formatsFreed) {
        memo.target.clear();
        memo.freedAt = formatsFreed;
    }
    if (memo.target.size() <= key)
        memo.target.resize(key + 1, -1);
    memo.target[key] = cell.formatIndex;
}

void ListGridModel::resetFormats()
{
    ++formatsFreed;
    formats.assign(1, GridFormat{});
}

bool ListGridModel::dotDecimalLocale()
{
    // Asked once per row added: the answer is kept until the default locale changes.
    static QLocale known(QLocale::C);
    static bool dot = true;
    const QLocale current;
    if (!(current == known)) {
        const QLocale locale = NumberLocale();
        dot = locale.decimalPoint() == QLatin1String(".") && locale.zeroDigit() == QLatin1String("0");
        known = current;
    }
    return dot;
}

double ListGridModel::number(const QString& text, bool dotDecimal)
{
    const qsizetype n = text.size();
    if (n == 0)
        return 0.0;
    const char16_t first = text.front().unicode();
    const bool letter = (first >= u'A' && first <= u'Z') || (first >= u'a' && first <= u'z');
    if (letter && first != u'E' && first != u'e') {
        // The reading stops at the first character; only "True" gives a value.
        if (first != u'T' && first != u't')
            return 0.0;
        return text.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? -1.0 : 0.0;
    }
    if (dotDecimal && n <= 24) {
        // Plain decimals: optional minus sign, digits, at most one point.
        char buffer[24] = {};
        bool digits = false;
        bool point = false;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (c >= u'0' && c <= u'9') {
                digits = true;
            } else if (c == u'.' && !point) {
                point = true;
            } else if (!(c == u'-' && i == 0)) {
                return rVal(text);
            }
            buffer[i] = static_cast<char>(c);
        }
        double value = 0;
        const auto result = std::from_chars(buffer, buffer + n, value);
        if (digits && result.ec == std::errc() && result.ptr == buffer + n)
            return value;
    }
    return rVal(text);
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

qint32 ListGridModel::checked32(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw std::overflow_error("Overflow");
    return static_cast<qint32>(value);
}

qint32 ListGridModel::defaultRowHeightFor(double minRowHeight, qint32 minVerticalOffset) const
{
    const qint32 minPixels = RoundHalfEven32(toPixels(minRowHeight));
    return checked32(qint64(std::max(minPixels, headerTextHeight())) + 2 * qint64(minVerticalOffset) + 2);
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

bool ListGridModel::rowExpandable(const GridRow& row) const
{
    return props.AllowWordWrap && !expandRowImage.isNull() && props.MaxLineCount > 0 &&
           autoRowHeight(row, true) > autoRowHeight(row);
}

qint32 ListGridModel::autoRowHeight(const GridRow& row, bool wholeText) const
{
    qint32 tallest = 0;
    for (size_t k = 0; k < columns.size() && k < row.cells.size(); ++k) {
        const GridCell& cell = row.cells[k];
        if (cell.text.isEmpty())
            continue;
        const GridColumn& col = columns[k];
        const QFontMetrics fm(cellFont(cell, col.type));
        const bool wraps = col.type != ColumnType::Progress && (cell.flags & CellFlag::WordWrap);
        const qint32 width = extent(col.pixelWidth);
        qint32 h;
        if (wraps) {
            // With an expand image, wrapping text keeps room for it at the right.
            const int room = expandRowImage.isNull() ? 0 : expandRowImage.width() + 2;
            const QRect box(0, 2, std::max(1, width - 5 - room), 1 << 20);
            h = fm.boundingRect(box, Qt::TextWordWrap, cell.text).height();
        } else {
            h = fm.boundingRect(QRect(0, 0, std::max(1, width), 1 << 20), Qt::TextSingleLine, cell.text)
                    .height();
        }
        tallest = std::max(tallest, h);
    }
    qint64 c = qint64(defaultRowHeight) - 2 * qint64(props.MinVerticalOffset) - 2;
    if (tallest >= c) {
        const qint64 limit = props.MaxLineCount > 0 && !wholeText ? qint64(props.MaxLineCount) * c : tallest;
        c = std::min<qint64>(tallest, limit);
    }
    return checked32(c + 2 * qint64(props.MinVerticalOffset));
}

void ListGridModel::growStorage(qint32 newLast)
{
    if (newLast >= storageBound) {
        // The logical bound grows by CacheIncrement; the vectors themselves grow geometrically so
        // adding rows stays amortised constant time whatever the increment.
        storageBound = checked32(qint64(newLast) + std::max(1, props.CacheIncrement));
    }
    rows.resize(static_cast<size_t>(newLast) + 1);
    rowMap.resize(static_cast<size_t>(newLast) + 1);
}

void ListGridModel::shrinkStorage()
{
    if (qint64(lastRow) + props.CacheIncrement < storageBound) {
        storageBound = lastRow + 1;
        if (rows.capacity() > 2 * rows.size() + 64) {
            rows.shrink_to_fit();
            rowMap.shrink_to_fit();
        }
    }
}

bool ListGridModel::selectOnlyRange(qint32 from, qint32 to)
{
    bool changed = false;
    for (qint32 i = 0; i <= lastRow; ++i) {
        GridRow& each = rowAt(i);
        const bool want = from >= 0 && i >= from && i <= to && each.visible;
        if (static_cast<bool>(each.flags & RowFlag::Selected) != want) {
            each.flags ^= RowFlag::Selected;
            changed = true;
        }
    }
    return changed;
}

qint32 ListGridModel::firstRowFittingAbove(qint32 start, qint32 stop, int room) const
{
    qint64 used = 0;
    qint32 first = start;
    for (qint32 row = start; row >= stop; --row) {
        const GridRow& gr = rowAt(row);
        if (!gr.visible)
            continue;
        const qint32 height = extent(gr.height);
        if (used + height > room && used > 0)
            break;
        used += height;
        first = row;
    }
    return first;
}

} // namespace brenlow
