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

/** One stored row. Rows never move on sort or filter; the row map orders them. */
struct GridRow
{
    qint32 height = 0; ///< pixels
    quint64 id = 0;    ///< unique for the life of the grid, so code that raised an event finds its row again
    qint32 image = 0;  ///< row image: >0 index, <0 -index of an image given by key, 0 none
    qint32 data = 0;   ///< RowData
    quint16 flags = 0; ///< RowFlag bits
    QString tag;
    bool groupHeader = false;
    bool visible = true;
    std::vector<GridCell> cells; ///< one per column, index = column index
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
    // Working values of the painting and mouse code.
    qint32 left = 0; ///< left edge in pixels from the last layout
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
 * The grid's whole state as plain data: columns and their display order, stored rows and the row map,
 * the shared format table, column totals, the current cell and the grid-level properties. The
 * painter and the input code read it directly; the operations that keep it consistent live here
 * (without any window) and in ListGrid.
 */
class ListGridModel final
{
public:
    // ---- Data (read freely; change through the operations below or ListGrid)
    std::vector<GridColumn> columns;         ///< by column index
    std::vector<qint32> colOrder;            ///< display position -> column index
    std::vector<GridTotalsEntry> totalsLine; ///< by column index
    /** Sum of rVal of every cell, by column index: a running sum in numeric and check-box columns;
     *  other columns sum on demand (totalsStale) - read them through columnTotal. */
    mutable std::vector<double> totals;
    mutable std::vector<bool> totalsStale;
    std::vector<GridRow> rows;       ///< storage slots 0..lastRow
    std::vector<qint32> rowMap;      ///< display row -> storage slot, 0..lastRow
    std::vector<GridFormat> formats; ///< shared format table
    qint32 storageBound = 0;         ///< logical size of row storage (grows by CacheIncrement)
    qint32 lastRow = -1;             ///< -1 when empty
    quint64 nextRowId = 1;
    /** Counts changes that renumber rows or columns (rows added or removed, row map or column order
     *  permuted, columns added or removed). Code that raised an event compares it afterwards: a
     *  handler may have changed the grid, so what it held by number may name something else. */
    quint64 structure = 0;
    qint32 currentRow = -1;       ///< display row, -1 none
    qint32 currentCol = -1;       ///< display position, -1 none
    qint32 defaultRowHeight = 20; ///< pixels; see computeDefaultRowHeight
    bool cellsChanged = false;
    bool editPending = false;
    bool redraw = false;   ///< the Redraw property
    bool painting = false; ///< painting enabled; equals redraw except while suspended
    bool refreshPending = false;
    bool layoutPending = false;
    bool rowRefused = false; ///< a current-cell move was refused (cleared at mouse-down/key-down)
    bool colRefused = false;
    qint32 sortPrimary = -1; ///< primary sort column (a display position when set by a header click)
    qint32 sortSecondary = -1;
    qint32 mouseRow = -1; ///< interaction state reset by Clear
    qint32 mouseCol = -1;
    qint32 anchorRow = -1;     ///< pressed-row anchor (drag/selection)
    qint32 navCol = -1;        ///< column remembered by keyboard navigation
    qint32 rowNumberWidth = 0; ///< width value of the row-number column (0 = not yet set)
    qint32 col0Extra = 0;      ///< pixels added to the measure of column 0 by the painting
    // View state kept by the painting.
    qint32 firstRowInView = 0;
    qint32 lastRowInView = -1;
    qint32 hScroll = 0;                ///< first scrolling column position in view
    GridProperties props;              ///< set the Font through setFont
    QPointer<GridImageList> imageList; ///< bound with SetImageList, not owned
    QImage expandRowImage; ///< drawn in wrapping cells whose row can grow to its whole text; null = none
    QString fontName;      ///< family of props.Font, the font name of the grid defaults

    /** Sets the grid's Font and its cached family name. */
    void setFont(const QFont& font);

    // ---- Queries
    [[nodiscard]] qint32 colCount() const { return static_cast<qint32>(columns.size()); }
    [[nodiscard]] qint32 rowCount() const { return lastRow + 1; }
    [[nodiscard]] GridRow& rowAt(qint32 displayRow) { return rows[static_cast<size_t>(rowMap[displayRow])]; }
    /** Selects exactly the visible display rows from..to (none when from > to or from < 0);
     *  returns whether any row's selection changed. */
    bool selectOnlyRange(qint32 from, qint32 to);
    /** Walking up from display row start to row stop, the topmost row such that the visible rows
     *  from it down to start fit into room pixels (at least one row always counts); start itself
     *  when nothing fits. */
    [[nodiscard]] qint32 firstRowFittingAbove(qint32 start, qint32 stop, int room) const;
    [[nodiscard]] const GridRow& rowAt(qint32 displayRow) const
    {
        return rows[static_cast<size_t>(rowMap[displayRow])];
    }
    /** The column index at the current display position, or 0 when there is none. */
    [[nodiscard]] qint32 currentColumnIndex() const;
    /** The display position of a column index, or -1. */
    [[nodiscard]] qint32 positionOf(qint32 colIndex) const;
    /** The display row showing a storage slot, or -1. */
    [[nodiscard]] qint32 displayRowOf(qint32 slot) const;
    /** The display row of the row with this id, or -1 when it is gone. */
    [[nodiscard]] qint32 displayRowOfId(quint64 id) const;
    /** Removes the rows whose display rows are marked, in one pass: releases their formats, takes
     *  their values out of the totals, compacts storage and the row map. Returns how many went. */
    qint32 removeMarkedRows(const std::vector<bool>& byDisplayRow);

    /** Whether a column keeps its total as a running sum (numeric and check-box columns). */
    [[nodiscard]] bool keepsRunningTotal(qint32 col) const
    {
        const qint16 type = columns[static_cast<size_t>(col)].type;
        return type == ColumnType::Numeric || type == ColumnType::CheckBox;
    }
    /** The column's total (summed now when it is stale). */
    [[nodiscard]] double columnTotal(qint32 col) const;

    /** Clamps a cell reference: an empty grid is invalid; a negative row becomes the current row (or
     *  0), a row past the end the last row; a negative column the current column (or 0), a column
     *  past the end is invalid. */
    [[nodiscard]] bool fixRef(qint32& row, qint32& col) const;

    /** Throws std::out_of_range unless the column index exists. */
    void checkColumn(qint32 col) const;
    /** Throws std::out_of_range unless the display row exists. */
    void checkRow(qint32 row) const;

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
    quint64 formatsFreed = 0; ///< counts entries that became free
    /** Releases a cell's format entry. */
    void releaseFormat(GridCell& cell);
    /** Empties the format table to one free entry. */
    void resetFormats();

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
        return defaultRowHeightFor(props.MinRowHeight, props.MinVerticalOffset);
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
        return imageList && stored != 0 && stored != std::numeric_limits<qint32>::min()
                   ? imageList->Image(stored < 0 ? -stored : stored)
                   : QImage();
    }
    /** Whether a row's whole text needs more height than its automatic height gives it, so the
     *  expand image is drawn in its wrapping cells (AllowWordWrap on and an ExpandRowImage set). */
    [[nodiscard]] bool rowExpandable(const GridRow& row) const;
    /** The font a cell is drawn and measured with. */
    [[nodiscard]] QFont cellFont(const GridCell& cell, qint16 columnType) const;

    /** Grows row storage and the row map for a new last index (by CacheIncrement, amortised). */
    void growStorage(qint32 newLast);
    /** Shrinks the logical storage after a removal when the rule applies. */
    void shrinkStorage();
};

} // namespace brenlow
