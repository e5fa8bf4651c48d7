#pragma once

#include "controls/grid/GridImageList.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace brenlow {

/** Flag bits of a row (GridRow::flags). */
namespace RowFlag {
constexpr quint16 Checked = 2;
constexpr quint16 Selected = 4;
constexpr quint16 Changed = 8;
constexpr quint16 Added = 256;
constexpr quint16 Locked = 512;
} // namespace RowFlag

/** Flag bits of a cell (GridCell::flags). In a progress column the same word holds the value 0-100. */
namespace CellFlag {
constexpr quint16 Checked = 2;
constexpr quint16 Changed = 8;
constexpr quint16 Bold = 16;
constexpr quint16 Italic = 32;
constexpr quint16 Underline = 64;
constexpr quint16 WordWrap = 128;
} // namespace CellFlag

/** Column types (GridColumn::type). Other values behave as text. */
namespace ColumnType {
constexpr qint16 Text = 0;
constexpr qint16 Numeric = 1;
constexpr qint16 Date = 2;
constexpr qint16 CheckBox = 3;
constexpr qint16 Progress = 4;
constexpr qint16 Custom = 5;
constexpr qint16 Button = 6;
} // namespace ColumnType

/** What ApplyCellFormat changes in a format entry. */
namespace FormatField {
constexpr int BackColor = 1;
constexpr int ForeColor = 4;
constexpr int Image = 8;
constexpr int FontName = 16;
constexpr int HandPointer = 256;
} // namespace FormatField

/** A change of one field of a cell's format (ApplyCellFormat's "which" and its value). */
struct FormatChange
{
    int which = 0; ///< a FormatField value
    quint32 color = 0;
    qint16 image = 0;
    bool handPointer = false;
    QString fontName;
};

/** One entry of the shared format table; cells that look the same point at the same entry. */
struct GridFormat
{
    quint32 backColor = 0;
    quint32 foreColor = 0;
    QString fontName;
    bool handPointer = false;
    qint32 refCount = 0; ///< cells using the entry; 0 = free slot
    qint16 image = 0;    ///< image-list index; negative = given by key (-index)
};

/** A cell's picture: a shared QImage, or none. Kept small because every cell carries one; reads as a
 *  const QImage& (a null image when there is none). */
class GridPicture final
{
public:
    GridPicture() = default;
    GridPicture& operator=(const QImage& image)
    {
        m_image = image.isNull() ? nullptr : std::make_shared<const QImage>(image);
        return *this;
    }
    [[nodiscard]] bool isNull() const { return !m_image; }
    [[nodiscard]] const QImage& image() const { return m_image ? *m_image : nullImage(); }
    operator const QImage&() const { return image(); }

private:
    static const QImage& nullImage()
    {
        static const QImage none;
        return none;
    }
    std::shared_ptr<const QImage> m_image;
};

/** One cell. The picture is shared with the caller's QImage (implicit sharing), not copied. */
struct GridCell
{
    qint16 alignment = 0;    ///< text-drawing flags: 0 left, 1 centre, 2 right, 4 v-centre, 8 bottom
    qint16 formatIndex = -1; ///< entry of the format table, -1 = grid defaults
    quint16 flags = 0;       ///< CellFlag bits, or the progress value in a progress column
    QString text;
    QString tag;
    GridPicture picture;
};

/** One stored row. Rows never move on sort or filter; the row map orders them. Its contents are
 *  edited in place; its id is given by the model and never changes. */
struct GridRow
{
    qint32 height = 0; ///< pixels
    qint32 image = 0;  ///< row image: >0 index, <0 -index of an image given by key, 0 none
    qint32 data = 0;   ///< RowData
    quint16 flags = 0; ///< RowFlag bits
    QString tag;
    bool groupHeader = false;
    bool visible = true;
    std::vector<GridCell> cells; ///< one per column, index = column index

    /** Unique for the life of the grid, so code that raised an event finds its row again. */
    [[nodiscard]] quint64 id() const { return m_id; }

private:
    friend class ListGridModel;
    quint64 m_id = 0;
};

/** One column, indexed by its creation index. */
struct GridColumn
{
    QPointer<QWidget> boundEditor; ///< editor bound with BindControl, else null
    float width = 0;               ///< ColWidth in the grid's scale units
    qint32 pixelWidth = 0;
    qint32 alignment = 0;
    qint32 imageAlignment = 0;
    qint32 sortState = 0; ///< 0 unsorted, 1 greater values first, 2 smaller values first
    qint16 type = 0;
    quint16 flags = 0; ///< 128 = word wrap, copied into new cells
    bool visible = true;
    QString heading;
    QString format;
    QString inputFilter;
    QString tag;
    bool locked = false;
};

/** One entry of the totals line. */
struct GridTotalsEntry
{
    QString caption;
    bool average = false;
};

/** The grid's design-time properties with the defaults of a newly placed control. */
struct GridProperties
{
    bool ApplySelectionToImages = false;
    quint32 BackColor = 0x80000005u;
    quint32 BackColorBkg = 0x8000000Cu;
    quint32 BackColorEdit = 0x80000018u;
    quint32 BackColorSel = 0x8000000Du;
    quint32 ForeColor = 0x80000008u;
    quint32 ForeColorEdit = 0x80000017u;
    quint32 ForeColorHdr = 0x80000008u;
    quint32 ForeColorSel = 0x8000000Eu;
    bool ColumnHeaders = true;
    bool CenterRowImage = true;
    qint32 ScrollBars = 2;
    qint32 MinVerticalOffset = 2;
    quint32 BackColorEvenRows = 15592416u;
    bool BackColorEvenRowsEnabled = true;
    quint32 GridColor = 12632256u;
    quint32 CellProgressBarColor = 8421631u;
    bool AlphaBlendSelection = false;
    qint32 BorderStyle = 1;
    bool DisplayEllipsis = true;
    quint32 FocusRectColor = 65535u;
    qint32 FocusRectMode = 0;
    qint32 FocusRectStyle = 1;
    qint32 GridLines = 1;
    qint32 GridLineWidth = 1;
    qint32 ThemeColor = 6;
    qint32 ThemeStyle = 2;
    bool ColumnHeaderSmall = false;
    quint32 ThemeCustomColorFrom = 4210816u;
    quint32 ThemeCustomColorTo = 12640511u;
    qint16 ColumnHeaderLines = 1;
    QString Caption;
    qint32 CaptionAlignment = 5;
    qint32 Appearance = 1;
    qint32 ScrollBarStyle = 0;
    bool TotalsLineShow = false;
    bool FocusRowHighlightKeepTextForecolor = false;
    bool ShowRowNumbers = false;
    bool ShowRowNumbersVary = true;
    bool AllowColumnResizing = false;
    bool AllowRowResizing = false;
    bool AllowWordWrap = false;
    bool RowCheckBoxes = false;
    bool AllowColumnDrag = false;
    bool AllowColumnSwap = false;
    bool AllowColumnSort = false;
    bool AllowEdit = false;
    bool AllowDelete = false;
    bool AllowInsert = false;
    qint32 EditTrigger = 52;
    qint32 EditMove = 0;
    bool FocusRowHighlight = true;
    qint32 FocusRowHighlightStyle = 0;
    bool FocusRectHide = false;
    bool AllowColumnHover = true;
    qint16 MultiSelect = 0;
    bool ScrollTrack = true;
    bool AutoToolTips = true;
    bool Enabled = true;
    qint16 FreezeAtCol = -1;
    qint32 CacheIncrement = 10;
    qint32 MaxLineCount = 0;
    qint32 ScaleUnits = 1; ///< 1 twips, 2 points, 3 pixels, 5 inches, 6 millimetres, 7 centimetres
    qint32 SearchColumn = 0;
    float MinRowHeight = 0; ///< in scale units
    QFont Font;
    QFont FontHeader;
};

/**
 * The grid's data: columns and their display order, stored rows and the row map, the shared format
 * table, column totals, the current cell, the sort columns and the grid-level properties. No window:
 * the widget, its layout and its painter read it (the latter two through const access only).
 *
 * Its operations keep its invariants: every row has one cell per column and an id no other row had;
 * the row map and the column order are permutations; the current cell lies inside the grid (or is
 * -1); structure() counts every change that renumbers rows or columns. The contents of a row, a cell
 * or a column are edited in place through the references the model hands out.
 */
class ListGridModel final
{
public:
    ListGridModel();

    // ---- Columns
    [[nodiscard]] qint32 colCount() const { return static_cast<qint32>(m_columns.size()); }
    /** A column by its index (unchecked; see checkColumn). */
    [[nodiscard]] const GridColumn& column(qint32 col) const { return m_columns[static_cast<size_t>(col)]; }
    [[nodiscard]] GridColumn& column(qint32 col) { return m_columns[static_cast<size_t>(col)]; }
    [[nodiscard]] const std::vector<GridColumn>& columns() const { return m_columns; }
    /** Display position -> column index. */
    [[nodiscard]] const std::vector<qint32>& colOrder() const { return m_colOrder; }
    /** The column index shown at a display position (unchecked). */
    [[nodiscard]] qint32 columnAt(qint32 position) const { return m_colOrder[static_cast<size_t>(position)]; }
    /** The display position of a column index, or -1. */
    [[nodiscard]] qint32 positionOf(qint32 colIndex) const;
    /** Adds a column (every row gets an empty cell with its alignment and the entry of the grid
     *  defaults) and shows it at display position `position` (out of 1..count-1: at the end).
     *  Returns that position. */
    qint32 insertColumn(GridColumn column, qint32 position);
    /** Removes every column and row. */
    void clearColumns();
    /** A new column order; false (nothing changes) unless it is a permutation of the columns. */
    bool setColOrder(std::vector<qint32> order);
    /** Swaps the columns at two display positions, or moves one to the other's place. */
    void swapColumns(qint32 from, qint32 to);
    void moveColumn(qint32 from, qint32 to);

    // ---- Rows
    [[nodiscard]] qint32 rowCount() const { return m_lastRow + 1; }
    [[nodiscard]] qint32 lastRow() const { return m_lastRow; } ///< -1 when empty
    /** A row by display row (unchecked; see checkRow). */
    [[nodiscard]] GridRow& rowAt(qint32 displayRow)
    {
        return m_rows[static_cast<size_t>(m_rowMap[displayRow])];
    }
    [[nodiscard]] const GridRow& rowAt(qint32 displayRow) const
    {
        return m_rows[static_cast<size_t>(m_rowMap[displayRow])];
    }
    /** The stored rows in storage order (not display order). */
    [[nodiscard]] const std::vector<GridRow>& rows() const { return m_rows; }
    [[nodiscard]] GridRow& rowInSlot(qint32 slot) { return m_rows[static_cast<size_t>(slot)]; }
    /** Display row -> storage slot. */
    [[nodiscard]] const std::vector<qint32>& rowMap() const { return m_rowMap; }
    /** Adds an empty row (a new id, the default height, one cell per column) at display row `at`
     *  (out of 0..count-1: at the end); returns its display row. Throws std::overflow_error when the
     *  grid is full. */
    qint32 insertRow(qint32 at);
    /** Fills a new row's cells from tab-separated texts (one per column, in column-index order) and
     *  adds their values to the totals. */
    void loadRowTexts(GridRow& row, const QString& tabSeparated);
    /** Removes a display row: releases its formats and takes its values out of the totals. The
     *  current row stays inside the grid. */
    void removeRow(qint32 displayRow);
    /** Removes the rows whose display rows are marked, in one pass: releases their formats, takes
     *  their values out of the totals, compacts storage and the row map. Returns how many went. The
     *  current row stays inside the grid. */
    qint32 removeMarkedRows(const std::vector<bool>& byDisplayRow);
    /** Empties the rows (columns stay), the formats, totals, current cell and sort columns. */
    void clearRows();
    /** A sort reorders the row map: it calls this once (the grid's rows are renumbered), then swaps
     *  or reorders display rows freely; the set of rows never changes. */
    quint64 beginReorder() { return ++m_structure; }
    void swapDisplayRows(qint32 a, qint32 b)
    {
        std::swap(m_rowMap[static_cast<size_t>(a)], m_rowMap[static_cast<size_t>(b)]);
    }
    /** Shows these storage slots from display row `first` on: a permutation of the slots shown there. */
    void reorderRange(qint32 first, const std::vector<qint32>& order);
    /** Shows the rows in storage order again. */
    void resetRowOrder();
    /** The logical size of the row storage: it grows by CacheIncrement rows and shrinks back when
     *  that many are free. */
    [[nodiscard]] qint32 storageBound() const { return m_storageBound; }
    /** Counts changes that renumber rows or columns (rows added or removed, row map or column order
     *  permuted, columns added or removed). Code that raised an event compares it afterwards: a
     *  handler may have changed the grid, so what it held by number may name something else. */
    [[nodiscard]] quint64 structure() const { return m_structure; }

    /** The display row showing a storage slot, or -1. */
    [[nodiscard]] qint32 displayRowOf(qint32 slot) const;
    /** The display row of the row with this id, or -1 when it is gone. */
    [[nodiscard]] qint32 displayRowOfId(quint64 id) const;
    /** Walking up from display row start to row stop, the topmost row such that the visible rows
     *  from it down to start fit into room pixels (at least one row always counts); start itself
     *  when nothing fits. */
    [[nodiscard]] qint32 firstRowFittingAbove(qint32 start, qint32 stop, int room) const;

    // ---- Cells
    /** Stores a cell text with its check flag, the column total, the row's automatic height and the
     *  changed marks. */
    void setCellText(GridRow& row, qint32 col, const QString& text, bool markRowChanged);
    /** Whether a cell was edited since the rows were loaded (CellsChanged). */
    [[nodiscard]] bool cellsChanged() const { return m_cellsChanged; }
    /** Recomputes a row's automatic height when AllowWordWrap is on. */
    void updateAutoHeight(GridRow& row);
    /** Recomputes every row's automatic height (AllowWordWrap was turned on). */
    void updateAutoHeights();

    // ---- The current cell (display row and display position, -1 none; always inside the grid)
    [[nodiscard]] qint32 currentRow() const { return m_currentRow; }
    [[nodiscard]] qint32 currentCol() const { return m_currentCol; }
    /** Sets the current cell, clamped into the grid. */
    void setCurrentCell(qint32 row, qint32 colPos);
    void setCurrentRow(qint32 row) { setCurrentCell(row, m_currentCol); }
    /** The column index at the current display position, or 0 when there is none. */
    [[nodiscard]] qint32 currentColumnIndex() const;

    // ---- Sort columns (a display position when set by a header click, else a column index)
    [[nodiscard]] qint32 sortPrimary() const { return m_sortPrimary; }
    [[nodiscard]] qint32 sortSecondary() const { return m_sortSecondary; }
    void setSortColumns(qint32 primary, qint32 secondary)
    {
        m_sortPrimary = primary;
        m_sortSecondary = secondary;
    }

    // ---- Totals
    /** Whether a column keeps its total as a running sum (numeric and check-box columns). */
    [[nodiscard]] bool keepsRunningTotal(qint32 col) const
    {
        const qint16 type = m_columns[static_cast<size_t>(col)].type;
        return type == ColumnType::Numeric || type == ColumnType::CheckBox;
    }
    /** The column's total (summed now when it is stale). */
    [[nodiscard]] double columnTotal(qint32 col) const;
    /** A column's entry of the totals line (caption, average). */
    [[nodiscard]] GridTotalsEntry& totalsEntry(qint32 col) { return m_totalsLine[static_cast<size_t>(col)]; }
    [[nodiscard]] const GridTotalsEntry& totalsEntry(qint32 col) const
    {
        return m_totalsLine[static_cast<size_t>(col)];
    }
    /** A column's type changed: its total is summed anew when next read. */
    void invalidateTotal(qint32 col) { m_totalsStale[static_cast<size_t>(col)] = true; }

    /** Clamps a cell reference: an empty grid is invalid; a negative row becomes the current row (or
     *  0), a row past the end the last row; a negative column the current column (or 0), a column
     *  past the end is invalid. */
    [[nodiscard]] bool fixRef(qint32& row, qint32& col) const;

    /** Throws std::out_of_range unless the column index exists. */
    void checkColumn(qint32 col) const;
    /** Throws std::out_of_range unless the display row exists. */
    void checkRow(qint32 row) const;

    // ---- Formats
    [[nodiscard]] const std::vector<GridFormat>& formats() const { return m_formats; }
    /** The format entry a cell shows: its own, or the grid defaults when its index is -1. */
    [[nodiscard]] GridFormat effectiveFormat(const GridCell& cell) const;

    /** Changes one field of a cell's format through the shared table (reuse an equal entry, else the
     *  first free one, else grow by 10). Throws std::overflow_error past index 32767. */
    void applyCellFormat(GridCell& cell, const FormatChange& change);
    void applyCellFormat(GridCell& cell, int which, const QVariant& value);

    /** Remembers, during one bulk change, the entry that cells of each old entry move to. */
    struct FormatMemo
    {
        std::vector<qint16> target; ///< by old index + 1; -1 = not known yet
        quint64 freedAt = 0;
    };
    /** The same change as applyCellFormat, with the outcome remembered per old entry: the scan's
     *  answer only changes when an entry is freed, and then the memo starts again. */
    void applyCellFormat(GridCell& cell, const FormatChange& change, FormatMemo& memo);
    /** The same change for a block of cells (display rows rowFrom..rowTo, column indexes
     *  colFrom..colTo, both inside the grid), remembered per old entry; a cell whose change fails
     *  (a full table) keeps its format and the rest go on. */
    void applyBlockFormat(qint32 rowFrom, qint32 rowTo, qint32 colFrom, qint32 colTo,
                          const FormatChange& change);
    /** Counts entries that became free. */
    [[nodiscard]] quint64 formatsFreed() const { return m_formatsFreed; }
    /** Releases a cell's format entry. */
    void releaseFormat(GridCell& cell);
    /** Empties the format table to one free entry. */
    void resetFormats();
    /** Gives every cell of the row the entry of the grid's defaults (one shared entry). */
    void applyDefaultFormat(GridRow& row);

    // ---- Grid-level properties
    [[nodiscard]] const GridProperties& props() const { return m_props; }
    /** Stores one property; false when it already had that value. */
    template <typename T> bool setProperty(T GridProperties::*field, const T& value)
    {
        if (m_props.*field == value)
            return false;
        m_props.*field = value;
        return true;
    }
    /** Replaces every property (a property store was read). */
    void setProperties(const GridProperties& props);
    /** Sets the grid's Font and its cached family name. */
    void setFont(const QFont& font);
    /** The family of the Font, the font name of the grid defaults. */
    [[nodiscard]] const QString& fontName() const { return m_fontName; }
    /** The bound image list (not owned), null when none. */
    [[nodiscard]] GridImageList* imageList() const { return m_imageList.data(); }
    void setImageList(GridImageList* list) { m_imageList = list; }
    /** Drawn in wrapping cells whose row can grow to its whole text; null = none. */
    [[nodiscard]] const QImage& expandRowImage() const { return m_expandRowImage; }
    void setExpandRowImage(const QImage& image) { m_expandRowImage = image; }

    /** The default row height in pixels, as last computed by updateDefaultRowHeight. */
    [[nodiscard]] qint32 defaultRowHeight() const { return m_defaultRowHeight; }
    /** Recomputes the default row height from the properties; std::overflow_error (nothing
     *  changes) when it does not fit 32 bits. */
    void updateDefaultRowHeight() { m_defaultRowHeight = computeDefaultRowHeight(); }

    /** rVal of a text, with shortcuts that skip the general reader for words and plain decimals.
     *  dotDecimal: whether the number locale writes "." as its decimal point (dotDecimalLocale()). */
    [[nodiscard]] static double number(const QString& text, bool dotDecimal);
    [[nodiscard]] static double number(const QString& text) { return number(text, dotDecimalLocale()); }
    [[nodiscard]] static bool dotDecimalLocale();

    /** Pixel <-> scale-unit conversion for the current ScaleUnits (twips at 15 per pixel). */
    [[nodiscard]] double unitsPerPixel() const;
    [[nodiscard]] double toPixels(double units) const { return units / unitsPerPixel(); }
    [[nodiscard]] double toUnits(double pixels) const { return pixels * unitsPerPixel(); }

    /** Pixel extents are capped here, so sums of widths and heights stay far inside 32 bits. */
    static constexpr qint32 MaxExtent = 1 << 24;
    [[nodiscard]] static qint32 extent(qint32 pixels)
    {
        return pixels < 0 ? 0 : (pixels > MaxExtent ? MaxExtent : pixels);
    }

    /** The default row height: max(MinRowHeight in pixels, header text height) + 2 x
     *  MinVerticalOffset + 2. Throws std::overflow_error when it does not fit 32 bits. */
    [[nodiscard]] qint32 computeDefaultRowHeight() const
    {
        return defaultRowHeightFor(m_props.MinRowHeight, m_props.MinVerticalOffset);
    }
    /** The same for other values of MinRowHeight (scale units) and MinVerticalOffset (pixels), so a
     *  setter can refuse a value before it stores it. */
    [[nodiscard]] qint32 defaultRowHeightFor(double minRowHeight, qint32 minVerticalOffset) const;
    /** A 32-bit result of 64-bit arithmetic; std::overflow_error when it does not fit. */
    [[nodiscard]] static qint32 checked32(qint64 value);
    /** Height of the sample text "ABCDWXYZ" in FontHeader. */
    [[nodiscard]] qint32 headerTextHeight() const;
    /** The automatic height of a stored row (wrapping text measured per column); only meaningful
     *  with AllowWordWrap on. wholeText: without the MaxLineCount limit, as tall as all its text. */
    [[nodiscard]] qint32 autoRowHeight(const GridRow& row, bool wholeText = false) const;
    /** The bound image list's image for a stored row or cell image value (index, or -index of an
     *  image given by key); null when none. */
    [[nodiscard]] QImage listImage(qint32 stored) const
    {
        return m_imageList && stored != 0 && stored != std::numeric_limits<qint32>::min()
                   ? m_imageList->Image(stored < 0 ? -stored : stored)
                   : QImage();
    }
    /** Whether a row's whole text needs more height than its automatic height gives it, so the
     *  expand image is drawn in its wrapping cells (AllowWordWrap on and an ExpandRowImage set). */
    [[nodiscard]] bool rowExpandable(const GridRow& row) const;
    /** The font a cell is drawn and measured with. */
    [[nodiscard]] QFont cellFont(const GridCell& cell, qint16 columnType) const;

    /** Checks what every operation keeps: the row map a permutation of the stored rows, the column
     *  order one of the columns, one cell per column in every row, format entries counting exactly
     *  the cells that use them, the current cell inside the grid. The first broken one, described;
     *  "" when all hold. */
    [[nodiscard]] QString invariantFault() const;

private:
    /** Grows row storage and the row map for a new last index (by CacheIncrement, amortised). */
    void growStorage(qint32 newLast);
    /** Shrinks the logical storage after a removal when the rule applies. */
    void shrinkStorage();
    /** Pulls the current cell back inside the grid after rows or columns went. */
    void clampCurrentCell();

    std::vector<GridColumn> m_columns;         ///< by column index
    std::vector<qint32> m_colOrder;            ///< display position -> column index
    std::vector<GridTotalsEntry> m_totalsLine; ///< by column index
    /** Sum of rVal of every cell, by column index: a running sum in numeric and check-box columns;
     *  other columns sum on demand (stale) - read them through columnTotal. */
    mutable std::vector<double> m_totals;
    mutable std::vector<bool> m_totalsStale;
    std::vector<GridRow> m_rows;       ///< storage slots 0..lastRow
    std::vector<qint32> m_rowMap;      ///< display row -> storage slot, 0..lastRow
    std::vector<GridFormat> m_formats; ///< shared format table
    quint64 m_formatsFreed = 0;
    qint32 m_storageBound = 0; ///< logical size of row storage (grows by CacheIncrement)
    qint32 m_lastRow = -1;
    quint64 m_nextRowId = 1;
    quint64 m_structure = 0;
    qint32 m_currentRow = -1;
    qint32 m_currentCol = -1;
    qint32 m_sortPrimary = -1;
    qint32 m_sortSecondary = -1;
    qint32 m_defaultRowHeight = 20;
    bool m_cellsChanged = false;
    GridProperties m_props;
    QPointer<GridImageList> m_imageList;
    QImage m_expandRowImage;
    QString m_fontName;
};

} // namespace brenlow
