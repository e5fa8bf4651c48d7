#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridFormat.h"

#include "base/Numbers.h"
#include "base/Rounding.h"
#include "controls/common/ControlGuard.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <optional>
#include <stdexcept>

using namespace brenlow;

namespace {

std::optional<qint64> dateValue(const QString& text)
{
    const std::optional<QDateTime> date = ReadDate(text);
    return date ? std::optional<qint64>(date->toMSecsSinceEpoch()) : std::nullopt;
}

// Sorts map entries [first, last] by keys computed once per row of the range (never per row of the
// grid: the secondary pass sorts many small groups). "before(a, b)" says a goes before b; it is a
// strict weak order, so a stable sort gives the one order distinct values allow and keeps rows with
// equal values in their display order.
template <typename Key, typename MakeKey, typename Before>
void sortByKeys(ListGridModel& model, int first, int last, MakeKey makeKey, Before before)
{
    const std::vector<qint32>& rowMap = model.rowMap();
    std::vector<std::pair<Key, qint32>> keyed;
    keyed.reserve(static_cast<size_t>(last - first + 1));
    for (int i = first; i <= last; ++i) {
        const qint32 slot = rowMap[static_cast<size_t>(i)];
        keyed.emplace_back(makeKey(static_cast<size_t>(slot)), slot);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&](const auto& a, const auto& b) { return before(a.first, b.first); });
    std::vector<qint32> order(keyed.size());
    for (size_t k = 0; k < keyed.size(); ++k)
        order[k] = keyed[k].second;
    model.reorderRange(first, order);
}

} // namespace

void ListGrid::sortRange(int first, int last, int col, int sortType)
{
    if (first >= last)
        return;
    const qint16 type = m.column(col).type;
    if (type == ColumnType::Custom) {
        customSortRange(first, last, col, sortType);
        return;
    }
    const bool greaterFirst = sortType == 1;
    const auto cellOf = [&](size_t slot) -> const GridCell& {
        return m.rows()[slot].cells[static_cast<size_t>(col)];
    };
    if (type == ColumnType::Numeric || type == ColumnType::CheckBox) {
        const bool dotDecimal = ListGridModel::dotDecimalLocale();
        const auto key = [&](size_t slot) {
            return type == ColumnType::Numeric ? ListGridModel::number(cellOf(slot).text, dotDecimal)
                                               : ((cellOf(slot).flags & CellFlag::Checked) ? -1.0 : 0.0);
        };
        if (greaterFirst)
            sortByKeys<double>(m, first, last, key, [](double a, double b) { return a > b; });
        else
            sortByKeys<double>(m, first, last, key, [](double a, double b) { return a < b; });
    } else if (type == ColumnType::Date) {
        const auto key = [&](size_t slot) { return dateValue(cellOf(slot).text); };
        using DateKey = std::optional<qint64>;
        if (greaterFirst) {
            // Later dates first; texts that are not dates after every date.
            sortByKeys<DateKey>(m, first, last, key,
                                [](const auto& a, const auto& b) { return a && (!b || *a > *b); });
        } else {
            // Texts that are not dates first, then earlier dates first.
            sortByKeys<DateKey>(m, first, last, key,
                                [](const auto& a, const auto& b) { return b && (!a || *a < *b); });
        }
    } else {
        const auto key = [&](size_t slot) { return cellOf(slot).text.toCaseFolded(); };
        if (greaterFirst)
            sortByKeys<QString>(m, first, last, key,
                                [](const QString& a, const QString& b) { return a > b; });
        else
            sortByKeys<QString>(m, first, last, key,
                                [](const QString& a, const QString& b) { return a < b; });
    }
}

// Custom columns ask the CustomSort handler for every comparison, in the order of this quicksort, so
// a handler sees the same questions whatever else changes. The smaller part is sorted recursively
// and the larger one in the loop, which bounds the depth of recursion.
void ListGrid::customSortRange(int first, int last, int col, int sortType)
{
    const auto textAt = [&](int displayRow) {
        return m.rowAt(displayRow).cells[static_cast<size_t>(col)].text;
    };
    // A handler that changes the grid, or deletes it, ends the sort: the range it was given is no
    // longer the grid.
    const ControlGuard alive(this);
    const quint64 structure = m.structure();
    const auto changed = [&] {
        return !alive || m.structure() != structure || last > m.lastRow() || col >= m.colCount();
    };
    while (first < last && !changed()) {
        const int middle = static_cast<int>(RoundHalfEven((static_cast<double>(first) + last) / 2.0));
        m.swapDisplayRows(middle, first);
        const QString pivot = textAt(first);
        int i = first;
        for (int j = first + 1; j <= last; ++j) {
            bool ascending = sortType == 1;
            int column = col;
            QString value1 = textAt(j);
            QString value2 = pivot;
            bool swap = false;
            emit CustomSort(ascending, column, value1, value2, swap);
            if (changed())
                return;
            if (swap) {
                ++i;
                m.swapDisplayRows(i, j);
            }
        }
        m.swapDisplayRows(i, first);
        if (i - first < last - i) {
            customSortRange(first, i - 1, col, sortType);
            first = i + 1;
        } else {
            customSortRange(i + 1, last, col, sortType);
            last = i - 1;
        }
    }
}

void ListGrid::Sort(int vCol1, int vCol1SortType, int vCol2, int vCol2SortType)
{
    if (m.lastRow() < 0)
        return;
    // The edit's and the sort's handlers, and the pass of pending events that ends the sort, may
    // delete the grid; the sort then ends where it is.
    const ControlGuard alive(this);
    const bool closed = UpdateCell(false);
    if (!alive)
        return;
    if (closed) {
        qint32 primary = vCol1 != -1 ? vCol1 : m.sortPrimary();
        qint32 secondary = vCol2 != -1 ? vCol2 : m.sortSecondary();
        if (primary == -1 && secondary != -1) {
            primary = secondary;
            secondary = -1;
        } else if (primary == secondary) {
            secondary = -1;
        }
        // Remembered columns come from header clicks as display positions.
        const auto columnAt = [&](qint32 position) {
            if (position < 0 || position >= static_cast<qint32>(m.colOrder().size()))
                throw std::out_of_range("Subscript out of range: no column to sort by");
            return m.columnAt(position);
        };
        if (vCol1 == -1)
            primary = columnAt(primary);
        if (vCol2 == -1 && secondary != -1)
            secondary = columnAt(secondary);
        m.checkColumn(primary);
        if (secondary != -1)
            m.checkColumn(secondary);
        m.setSortColumns(primary, secondary);

        GridColumn& primaryCol = m.column(primary);
        if (vCol1SortType == -1)
            primaryCol.sortState = primaryCol.sortState == 0 ? 2 : (primaryCol.sortState == 2 ? 1 : 0);
        else
            primaryCol.sortState = vCol1SortType;
        if (secondary != -1) {
            m.column(secondary).sortState = vCol2SortType == -1 ? primaryCol.sortState : vCol2SortType;
        }

        const qint32 currentSlot = m.currentRow() >= 0 ? m.rowMap()[static_cast<size_t>(m.currentRow())] : 0;
        const quint64 structure = m.beginReorder();
        if (primaryCol.sortState != 0) {
            sortRange(0, m.lastRow(), primary, primaryCol.sortState);
            if (!alive)
                return;
            if (secondary != -1 && m.structure() == structure) {
                const int secondaryState = m.column(secondary).sortState;
                int start = 0;
                while (start <= m.lastRow()) {
                    const QString& key = m.rowAt(start).cells[static_cast<size_t>(primary)].text;
                    int end = start;
                    while (end + 1 <= m.lastRow() &&
                           m.rowAt(end + 1).cells[static_cast<size_t>(primary)].text == key)
                        ++end;
                    if (end > start)
                        sortRange(start, end, secondary, secondaryState);
                    if (!alive)
                        return;
                    if (m.structure() != structure)
                        break; // a custom sort's handler changed the grid
                    start = end + 1;
                }
            }
        } else {
            m.resetRowOrder();
            m.setSortColumns(-1, -1);
        }
        if (m.structure() == structure && m.lastRow() >= 0)
            RowColSet(m.displayRowOf(currentSlot), -1);
        if (!alive || !requestRefresh())
            return;
        emit SortComplete();
        if (!alive)
            return;
    }
    (void)PumpEvents(this);
}

namespace {

char16_t upperAscii(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}
char16_t same(char16_t c)
{
    return c;
}

bool isAscii(QStringView s)
{
    for (QChar c : s) {
        if (c.unicode() >= 128)
            return false;
    }
    return true;
}

// The search modes over a cell whose characters pass through "map" (upper-casing or nothing), so
// ASCII texts are compared without making upper-cased copies.
template <typename Map> bool matchMode(QStringView cell, QStringView search, int mode, Map map)
{
    const qsizetype n = cell.size();
    const qsizetype k = search.size();
    const auto equalAt = [&](qsizetype at) {
        for (qsizetype i = 0; i < k; ++i) {
            if (map(cell[at + i].unicode()) != search[i].unicode())
                return false;
        }
        return true;
    };
    const auto compare = [&] {
        const qsizetype common = std::min(n, k);
        for (qsizetype i = 0; i < common; ++i) {
            const char16_t a = map(cell[i].unicode());
            const char16_t b = search[i].unicode();
            if (a != b)
                return a < b ? -1 : 1;
        }
        return n == k ? 0 : (n < k ? -1 : 1);
    };
    switch (mode) {
    case 0:
        return n == k && equalAt(0);
    case 1:
        return compare() >= 0;
    case 2:
        for (qsizetype at = 0; at + k <= n; ++at) {
            if (equalAt(at))
                return true;
        }
        return false;
    case 4:
        return n > 0 && k > 0 && map(cell[0].unicode()) == search[0].unicode() && compare() >= 0;
    case 5:
        return n >= k && equalAt(0);
    case 6:
        return n >= k && equalAt(n - k);
    default:
        return false;
    }
}

} // namespace

bool ListGrid::matches(const QString& cell, const QString& search, int mode, bool matchCase) const
{
    // Length tells most cells apart without reading them (upper-casing never shortens a text).
    const qsizetype n = cell.size();
    const qsizetype k = search.size();
    if (mode == 0 && (matchCase ? n != k : n > k))
        return false;
    if (matchCase && (mode == 5 || mode == 6) && n < k)
        return false;
    if (matchCase)
        return matchMode(cell, search, mode, same);
    if (isAscii(cell))
        return matchMode(cell, search, mode, upperAscii);
    return matchMode(cell.toUpper(), search, mode, same);
}

int ListGrid::FindItem(const QString& SearchText, int SearchColumn, int SearchMode, bool MatchCase,
                       int StartingRow)
{
    if (m.lastRow() < 0 || SearchText.isEmpty())
        return -1;
    if (StartingRow < 0 || StartingRow > m.lastRow())
        StartingRow = 0;
    if (SearchColumn == -1)
        SearchColumn = m.props().SearchColumn;
    if (SearchColumn < 0)
        return -1;
    m.checkColumn(SearchColumn);
    const QString search = MatchCase ? SearchText : SearchText.toUpper();
    const auto col = static_cast<size_t>(SearchColumn);
    for (int r = StartingRow; r <= m.lastRow(); ++r) {
        const QString& text = m.rowAt(r).cells[col].text;
        if (matches(text, search, SearchMode, MatchCase))
            return r;
    }
    return -1;
}

void ListGrid::FilterOn(const QString& FilterText, int SearchColumn, int SearchMode, bool MatchCase,
                        int StartingRow)
{
    if (m.lastRow() < 0 || StartingRow < 0 || StartingRow > m.lastRow())
        return;
    m.checkColumn(SearchColumn);
    {
        PaintSuspender suspend(*this);
        const QString search = MatchCase ? FilterText : FilterText.toUpper();
        const auto col = static_cast<size_t>(SearchColumn);
        for (int r = StartingRow; r <= m.lastRow(); ++r) {
            GridRow& row = m.rowAt(r);
            const QString& text = row.cells[col].text;
            if (!matches(text, search, SearchMode, MatchCase))
                row.visible = false;
        }
    }
    followEdit();
    requestLayout();
    requestRefresh();
}

void ListGrid::FilterOff(int StartingRow)
{
    if (m.lastRow() < 0)
        return;
    StartingRow = std::clamp(StartingRow, 0, m.lastRow());
    {
        PaintSuspender suspend(*this);
        for (int r = StartingRow; r <= m.lastRow(); ++r)
            m.rowAt(r).visible = true;
    }
    if (m.currentRow() >= 0)
        m_view.firstRowInView = m.currentRow();
    followEdit();
    requestLayout();
    requestRefresh();
}
