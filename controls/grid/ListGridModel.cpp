#include "controls/grid/ListGridModel.h"

#include "base/Numbers.h"
#include "base/Rounding.h"

#include <QFontMetrics>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace brenlow {

namespace {

// Format indices are 16-bit.
constexpr qsizetype MaxFormatIndex = 32767;

} // namespace

ListGridModel::ListGridModel()
{
    resetFormats();
}

void ListGridModel::setProperties(const GridProperties& props)
{
    m_props = props;
    m_fontName = m_props.Font.family();
}

// ---- Columns

qint32 ListGridModel::insertColumn(GridColumn column, qint32 position)
{
    const qint32 n = colCount();
    ++m_structure;
    // Existing rows get an empty cell with the column's alignment (the word-wrap flag is for new rows).
    const qint16 alignment = static_cast<qint16>(column.alignment);
    m_columns.push_back(std::move(column));
    m_totalsLine.emplace_back();
    m_totals.push_back(0.0);
    m_totalsStale.push_back(false);
    qint32 result = n;
    if (position > 0 && position < n) {
        m_colOrder.insert(m_colOrder.begin() + position, n);
        result = position;
    } else {
        m_colOrder.push_back(n);
    }
    // The new cells share the defaults' entry, as a new row's cells do; with the table full they
    // show the defaults without one.
    qint16 shared = -1;
    if (m_lastRow >= 0) {
        try {
            GridCell probe;
            applyCellFormat(probe, FormatChange{FormatField::BackColor, m_props.BackColor, 0, false, {}});
            shared = probe.formatIndex;
            m_formats[static_cast<size_t>(shared)].refCount += m_lastRow;
        } catch (const std::overflow_error&) {
        }
    }
    for (qint32 s = 0; s <= m_lastRow; ++s) {
        GridCell cell;
        cell.alignment = alignment;
        cell.formatIndex = shared;
        m_rows[static_cast<size_t>(s)].cells.push_back(std::move(cell));
    }
    return result;
}

void ListGridModel::clearColumns()
{
    m_columns.clear();
    m_colOrder.clear();
    m_totalsLine.clear();
    m_totals.clear();
    m_totalsStale.clear();
    clearRows();
}

bool ListGridModel::setColOrder(std::vector<qint32> order)
{
    if (order.size() != m_columns.size())
        return false;
    std::vector<bool> seen(order.size(), false);
    for (const qint32 index : order) {
        if (index < 0 || index >= colCount() || seen[static_cast<size_t>(index)])
            return false;
        seen[static_cast<size_t>(index)] = true;
    }
    m_colOrder = std::move(order);
    ++m_structure;
    clampCurrentCell();
    return true;
}

void ListGridModel::swapColumns(qint32 from, qint32 to)
{
    std::swap(m_colOrder[static_cast<size_t>(from)], m_colOrder[static_cast<size_t>(to)]);
    ++m_structure;
}

void ListGridModel::moveColumn(qint32 from, qint32 to)
{
    const qint32 moving = m_colOrder[static_cast<size_t>(from)];
    m_colOrder.erase(m_colOrder.begin() + from);
    m_colOrder.insert(m_colOrder.begin() + to, moving);
    ++m_structure;
}

// ---- Rows

qint32 ListGridModel::insertRow(qint32 at)
{
    if (m_lastRow == std::numeric_limits<qint32>::max() - 1)
        throw std::overflow_error("Overflow: too many rows");
    const qint32 n = m_lastRow + 1;
    growStorage(n);
    m_lastRow = n;
    ++m_structure;
    qint32 result = n;
    if (at >= 0 && at < n) {
        std::copy_backward(m_rowMap.begin() + at, m_rowMap.begin() + n, m_rowMap.begin() + n + 1);
        m_rowMap[static_cast<size_t>(at)] = n;
        result = at;
    } else {
        m_rowMap[static_cast<size_t>(n)] = n;
    }
    GridRow& row = m_rows[static_cast<size_t>(n)];
    row = GridRow();
    row.m_id = m_nextRowId++;
    row.height = m_defaultRowHeight;
    row.cells.resize(m_columns.size());
    for (size_t k = 0; k < m_columns.size(); ++k) {
        row.cells[k].alignment = static_cast<qint16>(m_columns[k].alignment);
        row.cells[k].flags = m_columns[k].flags;
    }
    return result;
}

void ListGridModel::loadRowTexts(GridRow& row, const QString& tabSeparated)
{
    const bool dotDecimal = dotDecimalLocale();
    qsizetype from = 0;
    const qint32 cols = static_cast<qint32>(row.cells.size());
    for (qint32 k = 0; k < cols && from <= tabSeparated.size(); ++k) {
        GridCell& cell = row.cells[static_cast<size_t>(k)];
        qsizetype tab = tabSeparated.indexOf(QLatin1Char('\t'), from);
        if (tab < 0)
            tab = tabSeparated.size();
        cell.text =
            from == 0 && tab == tabSeparated.size() ? tabSeparated : tabSeparated.mid(from, tab - from);
        from = tab + 1;
        if (keepsRunningTotal(k)) {
            const double value = number(cell.text, dotDecimal);
            if (m_columns[static_cast<size_t>(k)].type == ColumnType::CheckBox)
                cell.flags =
                    value != 0 ? (cell.flags | CellFlag::Checked) : (cell.flags & ~CellFlag::Checked);
            m_totals[static_cast<size_t>(k)] += value;
        } else if (!cell.text.isEmpty()) {
            m_totalsStale[static_cast<size_t>(k)] = true;
        }
    }
}

void ListGridModel::removeRow(qint32 displayRow)
{
    const qint32 slot = m_rowMap[static_cast<size_t>(displayRow)];
    GridRow& row = m_rows[static_cast<size_t>(slot)];
    for (size_t k = 0; k < row.cells.size(); ++k) {
        GridCell& cell = row.cells[k];
        releaseFormat(cell);
        if (k < m_totals.size() && !m_totalsStale[k])
            m_totals[k] -= number(cell.text);
    }
    m_rows.erase(m_rows.begin() + slot);
    m_rowMap.erase(m_rowMap.begin() + displayRow);
    for (qint32& entry : m_rowMap) {
        if (entry > slot)
            --entry;
    }
    m_lastRow -= 1;
    ++m_structure;
    if (m_lastRow >= 0)
        shrinkStorage();
    clampCurrentCell();
}

void ListGridModel::clearRows()
{
    ++m_structure;
    m_rows.clear();
    m_rowMap.clear();
    m_storageBound = 1;
    resetFormats();
    m_totals.assign(m_colOrder.size(), 0.0);
    m_totalsStale.assign(m_colOrder.size(), false);
    m_currentRow = -1;
    m_currentCol = -1;
    m_lastRow = -1;
    m_sortPrimary = -1;
    m_sortSecondary = -1;
    m_cellsChanged = false;
}

void ListGridModel::resetRowOrder()
{
    for (qint32 i = 0; i <= m_lastRow; ++i)
        m_rowMap[static_cast<size_t>(i)] = i;
}

void ListGridModel::reorderRange(qint32 first, const std::vector<qint32>& order)
{
    std::copy(order.begin(), order.end(), m_rowMap.begin() + first);
}

// ---- Cells and the current cell

void ListGridModel::setCellText(GridRow& row, qint32 col, const QString& text, bool markRowChanged)
{
    GridCell& cell = row.cells[static_cast<size_t>(col)];
    const GridColumn& column = m_columns[static_cast<size_t>(col)];
    const bool dotDecimal = dotDecimalLocale();
    const double newValue = number(text, dotDecimal);
    if (column.type == ColumnType::CheckBox)
        cell.flags = newValue != 0 ? (cell.flags | CellFlag::Checked) : (cell.flags & ~CellFlag::Checked);
    if (!m_totalsStale[static_cast<size_t>(col)])
        m_totals[static_cast<size_t>(col)] += newValue - number(cell.text, dotDecimal);
    cell.text = text;
    updateAutoHeight(row);
    if (column.type != ColumnType::Progress)
        cell.flags |= CellFlag::Changed;
    if (markRowChanged) {
        row.flags |= RowFlag::Changed;
        m_cellsChanged = true;
    }
}

void ListGridModel::updateAutoHeight(GridRow& row)
{
    if (m_props.AllowWordWrap)
        row.height = autoRowHeight(row);
}

void ListGridModel::updateAutoHeights()
{
    for (GridRow& row : m_rows)
        row.height = autoRowHeight(row);
}

void ListGridModel::setCurrentCell(qint32 row, qint32 colPos)
{
    m_currentRow = row;
    m_currentCol = colPos;
    clampCurrentCell();
}

void ListGridModel::clampCurrentCell()
{
    m_currentRow = std::clamp(m_currentRow, -1, m_lastRow);
    m_currentCol = std::clamp(m_currentCol, -1, colCount() - 1);
}

void ListGridModel::applyBlockFormat(qint32 rowFrom, qint32 rowTo, qint32 colFrom, qint32 colTo,
                                     const FormatChange& change)
{
    FormatMemo memo;
    constexpr qint32 Ahead = 8; // rows whose cells are fetched ahead of use
    for (qint32 r = rowFrom; r <= rowTo; ++r) {
        if (r + Ahead <= rowTo)
            __builtin_prefetch(rowAt(r + Ahead).cells.data() + colFrom, 1);
        GridRow& row = rowAt(r);
        for (qint32 c = colFrom; c <= colTo; ++c) {
            try {
                applyCellFormat(row.cells[static_cast<size_t>(c)], change, memo);
            } catch (const std::exception&) {
                // One failing cell does not stop the rest.
            }
        }
    }
}

void ListGridModel::applyDefaultFormat(GridRow& row)
{
    // One entry is found once (applying the font name and fore colour after it finds the same
    // entry), then shared by every cell.
    if (row.cells.empty())
        return;
    GridCell probe;
    applyCellFormat(probe, FormatChange{FormatField::BackColor, m_props.BackColor, 0, false, {}});
    const qint16 shared = probe.formatIndex;
    m_formats[static_cast<size_t>(shared)].refCount += static_cast<qint32>(row.cells.size()) - 1;
    for (GridCell& cell : row.cells)
        cell.formatIndex = shared;
}

void ListGridModel::setFont(const QFont& font)
{
    m_props.Font = font;
    m_fontName = font.family();
}

qint32 ListGridModel::currentColumnIndex() const
{
    if (m_currentCol < 0 || m_currentCol >= static_cast<qint32>(m_colOrder.size()))
        return 0;
    return m_colOrder[static_cast<size_t>(m_currentCol)];
}

qint32 ListGridModel::positionOf(qint32 colIndex) const
{
    const auto it = std::find(m_colOrder.begin(), m_colOrder.end(), colIndex);
    return it == m_colOrder.end() ? -1 : static_cast<qint32>(it - m_colOrder.begin());
}

qint32 ListGridModel::displayRowOf(qint32 slot) const
{
    for (qint32 i = 0; i <= m_lastRow; ++i) {
        if (m_rowMap[static_cast<size_t>(i)] == slot)
            return i;
    }
    return -1;
}

qint32 ListGridModel::displayRowOfId(quint64 id) const
{
    for (qint32 i = 0; i <= m_lastRow; ++i) {
        if (m_rows[static_cast<size_t>(m_rowMap[static_cast<size_t>(i)])].m_id == id)
            return i;
    }
    return -1;
}

qint32 ListGridModel::removeMarkedRows(const std::vector<bool>& byDisplayRow)
{
    // Storage slots of the marked m_rows, then one compaction of storage and one of the row map.
    std::vector<bool> goneSlot(m_rows.size(), false);
    qint32 removed = 0;
    for (qint32 i = 0; i <= m_lastRow && static_cast<size_t>(i) < byDisplayRow.size(); ++i) {
        if (byDisplayRow[static_cast<size_t>(i)]) {
            goneSlot[static_cast<size_t>(m_rowMap[static_cast<size_t>(i)])] = true;
            ++removed;
        }
    }
    if (removed == 0)
        return 0;
    const bool dot = dotDecimalLocale();
    std::vector<qint32> newSlot(m_rows.size(), -1);
    size_t kept = 0;
    for (size_t s = 0; s < m_rows.size(); ++s) {
        if (goneSlot[s]) {
            GridRow& row = m_rows[s];
            for (size_t k = 0; k < row.cells.size(); ++k) {
                releaseFormat(row.cells[k]);
                if (k < m_totals.size() && !m_totalsStale[k])
                    m_totals[k] -= number(row.cells[k].text, dot);
            }
            continue;
        }
        newSlot[s] = static_cast<qint32>(kept);
        if (kept != s)
            m_rows[kept] = std::move(m_rows[s]);
        ++kept;
    }
    m_rows.resize(kept);
    size_t out = 0;
    for (size_t i = 0; i < m_rowMap.size() && i <= static_cast<size_t>(m_lastRow); ++i) {
        const qint32 slot = newSlot[static_cast<size_t>(m_rowMap[i])];
        if (slot >= 0)
            m_rowMap[out++] = slot;
    }
    m_rowMap.resize(out);
    m_lastRow -= removed;
    ++m_structure;
    shrinkStorage();
    clampCurrentCell();
    return removed;
}

bool ListGridModel::fixRef(qint32& row, qint32& col) const
{
    if (m_lastRow < 0)
        return false;
    if (row < 0)
        row = m_currentRow >= 0 ? m_currentRow : 0;
    if (row > m_lastRow)
        row = m_lastRow;
    if (col < 0)
        col = currentColumnIndex();
    return col < colCount();
}

double ListGridModel::columnTotal(qint32 col) const
{
    checkColumn(col);
    const auto c = static_cast<size_t>(col);
    if (m_totalsStale[c]) {
        const bool dot = dotDecimalLocale();
        double sum = 0;
        for (qint32 slot = 0; slot <= m_lastRow; ++slot)
            sum += number(m_rows[static_cast<size_t>(slot)].cells[c].text, dot);
        m_totals[c] = sum;
        m_totalsStale[c] = false;
    }
    return m_totals[c];
}

void ListGridModel::checkColumn(qint32 col) const
{
    if (col < 0 || col >= colCount())
        throw std::out_of_range("Subscript out of range: column " + std::to_string(col));
}

void ListGridModel::checkRow(qint32 row) const
{
    if (row < 0 || row > m_lastRow)
        throw std::out_of_range("Subscript out of range: row " + std::to_string(row));
}

GridFormat ListGridModel::effectiveFormat(const GridCell& cell) const
{
    if (cell.formatIndex >= 0 && cell.formatIndex < static_cast<qint32>(m_formats.size()))
        return m_formats[static_cast<size_t>(cell.formatIndex)];
    GridFormat f;
    f.backColor = m_props.BackColor;
    f.foreColor = m_props.ForeColor;
    f.fontName = m_fontName;
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
    if (m_lastRow < 0)
        return;
    const bool own = cell.formatIndex >= 0 && cell.formatIndex < static_cast<qint32>(m_formats.size());
    const GridFormat* current = own ? &m_formats[static_cast<size_t>(cell.formatIndex)] : nullptr;
    const QString& defaultName = m_fontName;

    quint32 back = current ? current->backColor : m_props.BackColor;
    quint32 fore = current ? current->foreColor : m_props.ForeColor;
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
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_formats.size()); ++i) {
        const GridFormat& f = m_formats[static_cast<size_t>(i)];
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
            freeSlot = static_cast<qsizetype>(m_formats.size());
            // Checked before growing: no index past the 16-bit range is ever made.
            if (freeSlot > MaxFormatIndex)
                throw std::overflow_error("Overflow: the format table is full");
            const QString keep = *name; // the name may live in the table being grown
            m_formats.resize(static_cast<size_t>(std::min<qsizetype>(freeSlot + 10, MaxFormatIndex + 1)));
            GridFormat& f = m_formats[static_cast<size_t>(freeSlot)];
            f.fontName = keep;
        } else {
            m_formats[static_cast<size_t>(freeSlot)].fontName = QString(*name);
        }
        chosen = freeSlot;
        GridFormat& f = m_formats[static_cast<size_t>(chosen)];
        f.backColor = back;
        f.foreColor = fore;
        f.image = image;
        f.handPointer = hand;
    }
    if (chosen != cell.formatIndex) {
        m_formats[static_cast<size_t>(chosen)].refCount += 1;
        releaseFormat(cell);
        cell.formatIndex = static_cast<qint16>(chosen);
    }
}

void ListGridModel::releaseFormat(GridCell& cell)
{
    if (cell.formatIndex >= 0 && cell.formatIndex < static_cast<qint32>(m_formats.size())) {
        GridFormat& f = m_formats[static_cast<size_t>(cell.formatIndex)];
        if (f.refCount > 0) {
            f.refCount -= 1;
            if (f.refCount == 0)
                ++m_formatsFreed;
        }
    }
    cell.formatIndex = -1;
}

void ListGridModel::applyCellFormat(GridCell& cell, const FormatChange& change, FormatMemo& memo)
{
    if (m_lastRow < 0)
        return;
    if (memo.freedAt != m_formatsFreed) {
        memo.target.clear();
        memo.freedAt = m_formatsFreed;
    }
    const auto key = static_cast<size_t>(cell.formatIndex + 1);
    if (key < memo.target.size() && memo.target[key] >= 0) {
        const qint16 target = memo.target[key];
        if (target != cell.formatIndex) {
            m_formats[static_cast<size_t>(target)].refCount += 1;
            releaseFormat(cell);
            cell.formatIndex = target;
        }
        return;
    }
    applyCellFormat(cell, change);
    if (memo.freedAt != m_formatsFreed) {
        memo.target.clear();
        memo.freedAt = m_formatsFreed;
    }
    if (memo.target.size() <= key)
        memo.target.resize(key + 1, -1);
    memo.target[key] = cell.formatIndex;
}

void ListGridModel::resetFormats()
{
    ++m_formatsFreed;
    m_formats.assign(1, GridFormat{});
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
    switch (m_props.ScaleUnits) {
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
    return QFontMetrics(m_props.FontHeader).height();
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
    QFont font = m_props.Font;
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
    return m_props.AllowWordWrap && !m_expandRowImage.isNull() && m_props.MaxLineCount > 0 &&
           autoRowHeight(row, true) > autoRowHeight(row);
}

qint32 ListGridModel::autoRowHeight(const GridRow& row, bool wholeText) const
{
    qint32 tallest = 0;
    for (size_t k = 0; k < m_columns.size() && k < row.cells.size(); ++k) {
        const GridCell& cell = row.cells[k];
        if (cell.text.isEmpty())
            continue;
        const GridColumn& col = m_columns[k];
        const QFontMetrics fm(cellFont(cell, col.type));
        const bool wraps = col.type != ColumnType::Progress && (cell.flags & CellFlag::WordWrap);
        const qint32 width = extent(col.pixelWidth);
        qint32 h;
        if (wraps) {
            // With an expand image, wrapping text keeps room for it at the right.
            const int room = m_expandRowImage.isNull() ? 0 : m_expandRowImage.width() + 2;
            const QRect box(0, 2, std::max(1, width - 5 - room), 1 << 20);
            h = fm.boundingRect(box, Qt::TextWordWrap, cell.text).height();
        } else {
            h = fm.boundingRect(QRect(0, 0, std::max(1, width), 1 << 20), Qt::TextSingleLine, cell.text)
                    .height();
        }
        tallest = std::max(tallest, h);
    }
    qint64 c = qint64(m_defaultRowHeight) - 2 * qint64(m_props.MinVerticalOffset) - 2;
    if (tallest >= c) {
        const qint64 limit =
            m_props.MaxLineCount > 0 && !wholeText ? qint64(m_props.MaxLineCount) * c : tallest;
        c = std::min<qint64>(tallest, limit);
    }
    return checked32(c + 2 * qint64(m_props.MinVerticalOffset));
}

void ListGridModel::growStorage(qint32 newLast)
{
    if (newLast >= m_storageBound) {
        // The logical bound grows by CacheIncrement; the vectors themselves grow geometrically so
        // adding m_rows stays amortised constant time whatever the increment.
        m_storageBound = checked32(qint64(newLast) + std::max(1, m_props.CacheIncrement));
    }
    m_rows.resize(static_cast<size_t>(newLast) + 1);
    m_rowMap.resize(static_cast<size_t>(newLast) + 1);
}

void ListGridModel::shrinkStorage()
{
    if (qint64(m_lastRow) + m_props.CacheIncrement < m_storageBound) {
        m_storageBound = m_lastRow + 1;
        if (m_rows.capacity() > 2 * m_rows.size() + 64) {
            m_rows.shrink_to_fit();
            m_rowMap.shrink_to_fit();
        }
    }
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

QString ListGridModel::invariantFault() const
{
    const qint32 n = m_lastRow + 1;
    if (n < 0 || m_rows.size() != static_cast<size_t>(n))
        return QStringLiteral("%1 rows stored for %2 rows").arg(m_rows.size()).arg(n);
    if (m_rowMap.size() < static_cast<size_t>(n))
        return QStringLiteral("row map of %1 entries for %2 rows").arg(m_rowMap.size()).arg(n);
    std::vector<bool> seen(static_cast<size_t>(n), false);
    for (qint32 i = 0; i < n; ++i) {
        const qint32 slot = m_rowMap[static_cast<size_t>(i)];
        if (slot < 0 || slot >= n || seen[static_cast<size_t>(slot)])
            return QStringLiteral("display row %1 maps to slot %2").arg(i).arg(slot);
        seen[static_cast<size_t>(slot)] = true;
    }
    const qint32 cols = colCount();
    if (m_colOrder.size() != static_cast<size_t>(cols))
        return QStringLiteral("column order of %1 for %2 columns").arg(m_colOrder.size()).arg(cols);
    std::vector<bool> colSeen(static_cast<size_t>(cols), false);
    for (size_t pos = 0; pos < m_colOrder.size(); ++pos) {
        const qint32 index = m_colOrder[pos];
        if (index < 0 || index >= cols || colSeen[static_cast<size_t>(index)])
            return QStringLiteral("display position %1 shows column %2").arg(pos).arg(index);
        colSeen[static_cast<size_t>(index)] = true;
    }
    std::vector<qint32> uses(m_formats.size(), 0);
    for (size_t slot = 0; slot < m_rows.size(); ++slot) {
        const GridRow& row = m_rows[slot];
        if (row.cells.size() != static_cast<size_t>(cols))
            return QStringLiteral("slot %1 has %2 cells for %3 columns").arg(slot).arg(row.cells.size()).arg(cols);
        for (size_t col = 0; col < row.cells.size(); ++col) {
            const qint32 format = row.cells[col].formatIndex;
            if (format < -1 || format >= static_cast<qint32>(m_formats.size()))
                return QStringLiteral("cell %1 of slot %2 names format %3").arg(col).arg(slot).arg(format);
            if (format >= 0)
                ++uses[static_cast<size_t>(format)];
        }
    }
    for (size_t i = 0; i < uses.size(); ++i) {
        if (uses[i] != m_formats[i].refCount)
            return QStringLiteral("format %1 counts %2 cells, %3 use it").arg(i).arg(m_formats[i].refCount).arg(uses[i]);
    }
    if (m_currentRow < -1 || m_currentRow >= std::max(n, 1) || (n == 0 && m_currentRow != -1))
        return QStringLiteral("current row %1 of %2 rows").arg(m_currentRow).arg(n);
    if (m_currentCol < -1 || m_currentCol >= std::max(cols, 1))
        return QStringLiteral("current position %1 of %2 columns").arg(m_currentCol).arg(cols);
    return {};
}

} // namespace brenlow
