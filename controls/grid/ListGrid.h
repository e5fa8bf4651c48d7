#pragma once

#include "controls/common/ControlGuard.h"
#include "controls/grid/ListGridEditor.h"
#include "controls/grid/ListGridKeyboardSearch.h"
#include "controls/grid/ListGridLayout.h"
#include "controls/grid/ListGridModel.h"
#include "controls/grid/ListGridPainter.h"
#include "controls/grid/ListGridSelection.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <vector>

class ListGrid;
class QLineEdit;
class QScrollBar;
class QKeyEvent;
class QMouseEvent;

namespace brenlow {
class Clock;
class ListGridAccessible;
class GridCellAccessible;
class GridHeaderAccessible;
class ListGridController;
class PropertyBag;
struct GridHit;
struct GridInputState;
} // namespace brenlow

/**
 * The download list's grid control: columns, rows and cells with text, tags, pictures, progress
 * values and shared formats; sorting, search, filter, export and column-layout persistence.
 *
 * Rows are addressed by display row, columns by creation index (see ListGridModel). Widths and heights
 * passed in are in ScaleUnits (twips by default, 15 per pixel). Pictures are QImage values (implicitly
 * shared, so a cell keeps a reference, not a copy); a null image means "no picture".
 *
 * Errors that reach a caller are exceptions: std::out_of_range for a bad subscript in the operations
 * that do not clamp their references, std::overflow_error for arithmetic overflow. Everything else is
 * absorbed. Mutating operations repaint only while Redraw is on; otherwise the refresh is kept pending
 * until Redraw is turned on again.
 */
class ListGrid : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListGrid)

public:
    explicit ListGrid(QWidget* parent = nullptr);
    ~ListGrid() override;

    // ---- Columns
    /** Adds a column; returns its display position. Width is in ScaleUnits and stored + 1. */
    int AddColumn(const QString& Caption, float Width, int Alignment = 4, int DataType = 0,
                  const QString& Format = {}, const QString& InputFilter = {}, int ImageAlignment = 4,
                  bool WordWrap = false, int Index = 0, bool bVisible = true, bool bLocked = false);
    [[nodiscard]] int Cols() const;
    [[nodiscard]] int ColAlignment(int vCol) const;
    void SetColAlignment(int vCol, int New_Value);
    [[nodiscard]] int ColImageAlignment(int vCol) const;
    void SetColImageAlignment(int vCol, int New_Value);
    [[nodiscard]] int ColType(int vCol) const;
    void SetColType(int vCol, int New_Value);
    [[nodiscard]] QString ColFormat(int vCol) const;
    void SetColFormat(int vCol, const QString& New_Value);
    [[nodiscard]] QString ColHeading(int vCol) const;
    void SetColHeading(int vCol, const QString& New_Value);
    [[nodiscard]] QString ColInputFilter(int vCol) const;
    void SetColInputFilter(int vCol, const QString& New_Value);
    [[nodiscard]] QString ColTag(int vCol) const;
    void SetColTag(int vCol, const QString& New_Value);
    /** Also true for vCol -1 and for every column while a current-cell move stands refused. */
    [[nodiscard]] bool ColLocked(int vCol) const;
    void SetColLocked(int vCol, bool New_Value);
    [[nodiscard]] bool ColVisible(int vCol) const;
    void SetColVisible(int vCol, bool New_Value);
    /** In ScaleUnits; the setter stores the value unchanged. */
    [[nodiscard]] float ColWidth(int vCol) const;
    void SetColWidth(int vCol, float New_Value);
    /** Word wrap of new rows' cells in the column (existing cells keep theirs). */
    [[nodiscard]] bool ColWordWrap(int vCol) const;
    void SetColWordWrap(int vCol, bool New_Value);
    /** The column index shown at each display position, left to right (what ColOrderSave stores). */
    [[nodiscard]] std::vector<int> ColOrder() const;
    /** Removes every column and row. */
    void ClearAll();

    // ---- Rows
    /** Adds a row from tab-separated texts at display row vRow (out of 0..Rows-1 = append); returns its
     *  display row. A grid without columns first gets one column as wide as the visible area. */
    int AddRow(const QString& vstrItem, int vRow = -1, bool vbRowChecked = false, bool vbMarkAsNew = false,
               bool vbRowLocked = false, bool vbRowVisible = true, int vRowData = 0);
    int AddItem(const QString& vstrItem, int vRow = -1, bool vbRowChecked = false, bool vbMarkAsNew = false,
                bool vbRowLocked = false, bool vbRowVisible = true, int vRowData = 0);
    /** Removes display row vRow (-1 = the current row). Removing the last row clears the grid. */
    void RemoveRow(int vRow = -1);
    void RemoveItem(int vRow = -1);
    void DeleteSelected();
    /** Empties the rows (columns stay) and switches Redraw off. */
    void Clear();
    [[nodiscard]] int Rows() const;
    [[nodiscard]] int ItemCount() const;
    [[nodiscard]] int RowData(int vRow) const;
    void SetRowData(int vRow, int New_Value);
    [[nodiscard]] QString RowTag(int vRow) const;
    void SetRowTag(int vRow, const QString& New_Value);
    [[nodiscard]] bool RowGroupHeader(int vRow) const;
    void SetRowGroupHeader(int vRow, bool New_Value);
    [[nodiscard]] bool RowChecked(int vRow) const;
    void SetRowChecked(int vRow, bool New_Value);
    [[nodiscard]] bool RowSelected(int vRow) const;
    void SetRowSelected(int vRow, bool New_Value);
    /** Also true for an invalid row and for every row while a current-cell move stands refused. */
    [[nodiscard]] bool RowLocked(int vRow) const;
    void SetRowLocked(int vRow, bool New_Value);
    [[nodiscard]] bool RowVisible(int vRow) const;
    void SetRowVisible(int vRow, bool New_Value);
    /** In pixels; -1 recomputes the automatic height. */
    [[nodiscard]] float RowHeight(int vRow) const;
    void SetRowHeight(int vRow, float New_Value);
    /** A number (image index) or a key of the bound image list. */
    [[nodiscard]] QVariant RowImage(int vRow) const;
    void SetRowImage(int vRow, const QVariant& New_Value);
    void SetRowBackColor(int vRow, quint32 New_Value);
    void SetRowForeColor(int vRow, quint32 New_Value);
    void SetRowFontBold(int vRow, bool New_Value);
    /** Throws std::out_of_range for a row outside the grid. */
    [[nodiscard]] bool RowAdded(int vRow) const;
    [[nodiscard]] bool RowChanged(int vRow) const;
    [[nodiscard]] int SelectedCount() const;
    [[nodiscard]] int CheckedCount() const;
    void SelectedClearAll();
    void RowUnSelect();
    [[nodiscard]] int Row() const;
    void SetRow(int New_Value);
    /** The column index at the current display position (-1 none, 0 without columns). */
    [[nodiscard]] int Col() const;
    void SetCol(int New_Value);
    /** Makes (vRow, vCol) the current cell and selects the row; vCol -1 leaves no current column. */
    void RowColSet(int vRow, int vCol);

    // ---- Cells (references are clamped; an invalid one reads empty and writes nothing)
    [[nodiscard]] QString CellText(int vRow, int vCol) const;
    void SetCellText(int vRow, int vCol, const QString& StrValue);
    /** Check-box column: a bool (invalid QVariant for empty text); other columns: rVal as double. */
    [[nodiscard]] QVariant CellValue(int vRow, int vCol) const;
    void SetCellValue(int vRow, int vCol, double New_Value);
    [[nodiscard]] QString CellTag(int vRow, int vCol) const;
    void SetCellTag(int vRow, int vCol, const QString& New_Value);
    [[nodiscard]] bool CellChecked(int vRow, int vCol) const;
    void SetCellChecked(int vRow, int vCol, bool New_Value);
    [[nodiscard]] bool CellFontBold(int vRow, int vCol) const;
    void SetCellFontBold(int vRow, int vCol, bool New_Value);
    [[nodiscard]] bool CellFontItalic(int vRow, int vCol) const;
    void SetCellFontItalic(int vRow, int vCol, bool New_Value);
    [[nodiscard]] bool CellFontUnderline(int vRow, int vCol) const;
    void SetCellFontUnderline(int vRow, int vCol, bool New_Value);
    [[nodiscard]] bool CellWordWrap(int vRow, int vCol) const;
    void SetCellWordWrap(int vRow, int vCol, bool New_Value);
    [[nodiscard]] int CellAlignment(int vRow, int vCol) const;
    void SetCellAlignment(int vRow, int vCol, int New_Value);
    [[nodiscard]] quint32 CellBackColor(int vRow, int vCol) const;
    void SetCellBackColor(int vRow, int vCol, quint32 New_Value);
    [[nodiscard]] quint32 CellForeColor(int vRow, int vCol) const;
    void SetCellForeColor(int vRow, int vCol, quint32 New_Value);
    [[nodiscard]] QString CellFontName(int vRow, int vCol) const;
    void SetCellFontName(int vRow, int vCol, const QString& New_Value);
    /** An image index or a key of the bound image list. */
    [[nodiscard]] QVariant CellImage(int vRow, int vCol) const;
    void SetCellImage(int vRow, int vCol, const QVariant& New_Value);
    [[nodiscard]] bool CellHandPointer(int vRow, int vCol) const;
    void SetCellHandPointer(int vRow, int vCol, bool New_Value);
    /** 0-100 in a progress column (writes are clamped); 0 and ignored elsewhere. */
    [[nodiscard]] qint16 CellProgressValue(int vRow, int vCol) const;
    void SetCellProgressValue(int vRow, int vCol, int New_Value);
    /** One bar colour for every progress cell. */
    [[nodiscard]] quint32 CellProgressBarColor() const;
    void SetCellProgressBarColor(quint32 New_Value);
    /** Stores the picture in the cell (shared, not copied); does not repaint. */
    void CellPicture(const QImage& newPic, int vRow, int vCol);
    [[nodiscard]] QImage CellPictureGet(int vRow, int vCol) const;
    /** vCol is a display position here; throws std::out_of_range outside the grid. */
    [[nodiscard]] bool CellChanged(int vRow, int vCol) const;
    [[nodiscard]] bool CellsChanged() const;
    /** Applies one format Mode (1 back colour, 4 fore colour, 8 image, 16 font name, 32 bold,
     *  64 italic, 128 underline, 256 hand pointer, 512 alignment) to a block of cells; -1 for RowTo
     *  or ColTo means the last one. */
    void FormatCells(int RowFrom, int RowTo, int ColFrom, int ColTo, int Mode, const QString& vNewValue,
                     int vNewAlign = 0);
    void FormatCellsAlignment(int RowFrom, int RowTo, int ColFrom, int ColTo, int vAlignment);

    // ---- Grid level
    [[nodiscard]] bool Redraw() const;
    void SetRedraw(bool New_Value);
    /** Recomputes the metrics and row positions and repaints. */
    void Refresh();
    [[nodiscard]] double rVal(const QString& vString) const;
    /** A locale information item of the user's locale by its classic number (0x0E decimal separator,
     *  0x0C list separator, 0x1F short date format, 0x2A..0x30 day names from Monday, 0x38..0x43 month
     *  names, 0x1B/0x1C currency forms, 0x100C first day of the week, ...), at most 256 characters;
     *  "" for an item the locale does not answer. */
    [[nodiscard]] QString GetInfo(int lInfo) const;
    [[nodiscard]] double TotalsCol(int vCol) const;
    [[nodiscard]] QString TotalsLineCaption(int vCol) const;
    void SetTotalsLineCaption(int vCol, const QString& New_Value);
    [[nodiscard]] bool TotalsLineColAvg(int vCol) const;
    void SetTotalsLineColAvg(int vCol, bool New_Value);
    /** The image list that RowImage and CellImage numbers and keys refer to; not owned (a list that
     *  is destroyed unbinds itself). */
    [[nodiscard]] brenlow::GridImageList* ImageList() const;
    void SetImageList(brenlow::GridImageList* New_Value);
    /** The picture drawn in the bottom right corner of wrapping cells whose row can show more text
     *  (AllowWordWrap on, MaxLineCount limiting the automatic height); a click on it toggles the row
     *  between its automatic height and the height of its whole text. Wrapping text keeps room for it
     *  at the right. A null image: none. */
    [[nodiscard]] QImage ExpandRowImage() const;
    void SetExpandRowImage(const QImage& New_Value);
    /** Width of the client area in ScaleUnits. */
    [[nodiscard]] float VisibleWidth() const;
    [[nodiscard]] bool EditPending() const;
#ifdef BRENLOW_GRID_SELF_CHECK
    /** The model's check of its own invariants: the first one broken, described; "" when all hold.
     *  Only in fuzz builds, whose session fuzzer asks after every step. */
    [[nodiscard]] QString ModelFault() const { return m.invariantFault(); }
#endif

    // ---- Sorting, search, filter, export and layout persistence (ListGridSort.cpp, ListGridExport.cpp)
    /** Sorts by one or two columns; -1 keeps (or, for a sort type, cycles) the remembered value.
     *  Throws std::out_of_range when there is no column to sort by. */
    void Sort(int vCol1 = -1, int vCol1SortType = -1, int vCol2 = -1, int vCol2SortType = -1);
    /** Modes: 0 equal, 1 >=, 2 contains, 4 same first letter and >=, 5 starts with, 6 ends with.
     *  Returns the display row found or -1; throws std::out_of_range for a column past the last. */
    [[nodiscard]] int FindItem(const QString& SearchText, int SearchColumn = -1, int SearchMode = 0,
                               bool MatchCase = false, int StartingRow = 0);
    /** Hides every row from StartingRow on whose cell does not match (FindItem's modes). */
    void FilterOn(const QString& FilterText, int SearchColumn = 0, int SearchMode = 0, bool MatchCase = false,
                  int StartingRow = 0);
    /** Shows every hidden row from StartingRow on. */
    void FilterOff(int StartingRow = 0);
    /** Writes the grid as <desktop>/<strGridName>.csv and offers to open it. */
    void ExportGrid(const QString& strGridName, bool vbVisibleColsOnly = false,
                    bool vbVisibleRowsOnly = false, bool vbBooleanAsText = true);
    void ColOrderSave(const QString& UniqueGridName);
    /** A stored order that is not a permutation of the columns changes nothing. */
    void ColOrderLoad(const QString& UniqueGridName);
    void ColOrderRestore(const QString& UniqueGridName = {});
    void ColWidthsSave(const QString& UniqueGridName);
    void ColWidthsLoad(const QString& UniqueGridName);
    /** Automatic width of a column (-1 = every column). */
    void ColWidthAutoSize(int vCol = -1);
    /** Scales every column so the visible ones fill the visible width. */
    void ColForceFit();

    // ---- Interaction and editing (ListGridController*.cpp, ListGridEdit.cpp)
    /** Commits an open in-place edit; false when AfterEdit cancelled it. */
    bool UpdateCell(bool bAllowMove = true);
    /** Makes Ctrl the column's editor instead of the built-in edit box. */
    void BindControl(int vCol, QWidget* Ctrl, bool MoveControl = false);
    void ForceCellEdit(int lNewRow, int lNewCol, bool bBlankCell = false);
    [[nodiscard]] int MouseRow() const;
    [[nodiscard]] int MouseCol() const;
    /** The built-in edit box, a hidden child of the grid while no edit is open. */
    [[nodiscard]] QLineEdit* txtEdit() const;
    /** The clock the incremental search reads (tests install a manual one). Not owned; nullptr goes
     *  back to the steady clock. */
    void SetSearchClock(const brenlow::Clock* clock);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    /** Keys typed into the open editor. */
    bool eventFilter(QObject* watched, QEvent* event) override;
    /** Tab commits an open edit instead of leaving the grid. */
    bool focusNextPrevChild(bool next) override;

public:
    // ---- Painting and layout (ListGridPaint.cpp)
    /** The first and last display rows in view after the last paint pass (-1 when none). */
    [[nodiscard]] int RowFirstVisible() const;
    [[nodiscard]] int RowLastVisible() const;
    /** Geometry of the last pass (widget coordinates): rows and columns in view, header, caption,
     *  check boxes, totals line, with hit-testing. */
    [[nodiscard]] const brenlow::ListGridLayout& layout() const { return m_layout; }
    /** The control's own drawing surface (the size of the control); paintEvent only copies it. */
    [[nodiscard]] const QImage& surface() const { return m_surface; }
    /** The scroll bars of the control (shown only when the content does not fit). */
    [[nodiscard]] QScrollBar* horizontalScrollBar() const { return m_hBar; }
    [[nodiscard]] QScrollBar* verticalScrollBar() const { return m_vBar; }
    /** Number of paint passes drawn so far. */
    [[nodiscard]] int paintCount() const { return m_paintCount; }

    /** Loads the stored properties (keys matched without regard to case, absent keys read as their
     *  defaults), applies the theme, empties the rows and paints the empty frame. */
    void ReadProperties(const brenlow::PropertyBag& bag);
    /** Writes every stored property; values equal to their default are left out. */
    void WriteProperties(brenlow::PropertyBag& bag) const;

    // ---- Stored properties and themes (getters here; setters in ListGridState.cpp; the property
    //      store in ListGridProperties.cpp)
    // clang-format off
    bool ApplySelectionToImages() const { return m.props().ApplySelectionToImages; }
    void SetApplySelectionToImages(bool v);
    quint32 BackColor() const { return m.props().BackColor; }
    void SetBackColor(quint32 v);
    quint32 BackColorBkg() const { return m.props().BackColorBkg; }
    void SetBackColorBkg(quint32 v);
    quint32 BackColorEdit() const { return m.props().BackColorEdit; }
    void SetBackColorEdit(quint32 v);
    quint32 BackColorSel() const { return m.props().BackColorSel; }
    void SetBackColorSel(quint32 v);
    quint32 ForeColor() const { return m.props().ForeColor; }
    void SetForeColor(quint32 v);
    quint32 ForeColorEdit() const { return m.props().ForeColorEdit; }
    void SetForeColorEdit(quint32 v);
    quint32 ForeColorHdr() const { return m.props().ForeColorHdr; }
    void SetForeColorHdr(quint32 v);
    quint32 ForeColorSel() const { return m.props().ForeColorSel; }
    void SetForeColorSel(quint32 v);
    bool ColumnHeaders() const { return m.props().ColumnHeaders; }
    void SetColumnHeaders(bool v);
    bool CenterRowImage() const { return m.props().CenterRowImage; }
    void SetCenterRowImage(bool v);
    int ScrollBars() const { return m.props().ScrollBars; }
    void SetScrollBars(int v);
    int MinVerticalOffset() const { return m.props().MinVerticalOffset; }
    void SetMinVerticalOffset(int v);
    quint32 BackColorEvenRows() const { return m.props().BackColorEvenRows; }
    void SetBackColorEvenRows(quint32 v);
    bool BackColorEvenRowsEnabled() const { return m.props().BackColorEvenRowsEnabled; }
    void SetBackColorEvenRowsEnabled(bool v);
    quint32 GridColor() const { return m.props().GridColor; }
    void SetGridColor(quint32 v);
    bool AlphaBlendSelection() const { return m.props().AlphaBlendSelection; }
    void SetAlphaBlendSelection(bool v);
    int BorderStyle() const { return m.props().BorderStyle; }
    void SetBorderStyle(int v);
    bool DisplayEllipsis() const { return m.props().DisplayEllipsis; }
    void SetDisplayEllipsis(bool v);
    quint32 FocusRectColor() const { return m.props().FocusRectColor; }
    void SetFocusRectColor(quint32 v);
    int FocusRectMode() const { return m.props().FocusRectMode; }
    void SetFocusRectMode(int v);
    int FocusRectStyle() const { return m.props().FocusRectStyle; }
    void SetFocusRectStyle(int v);
    int GridLines() const { return m.props().GridLines; }
    void SetGridLines(int v);
    int GridLineWidth() const { return m.props().GridLineWidth; }
    void SetGridLineWidth(int v);
    int ThemeColor() const { return m.props().ThemeColor; }
    void SetThemeColor(int v);
    int ThemeStyle() const { return m.props().ThemeStyle; }
    void SetThemeStyle(int v);
    bool ColumnHeaderSmall() const { return m.props().ColumnHeaderSmall; }
    void SetColumnHeaderSmall(bool v);
    quint32 ThemeCustomColorFrom() const { return m.props().ThemeCustomColorFrom; }
    void SetThemeCustomColorFrom(quint32 v);
    quint32 ThemeCustomColorTo() const { return m.props().ThemeCustomColorTo; }
    void SetThemeCustomColorTo(quint32 v);
    qint16 ColumnHeaderLines() const { return m.props().ColumnHeaderLines; }
    void SetColumnHeaderLines(qint16 v);
    QString Caption() const { return m.props().Caption; }
    void SetCaption(const QString& v);
    int CaptionAlignment() const { return m.props().CaptionAlignment; }
    void SetCaptionAlignment(int v);
    int Appearance() const { return m.props().Appearance; }
    void SetAppearance(int v);
    int ScrollBarStyle() const { return m.props().ScrollBarStyle; }
    void SetScrollBarStyle(int v);
    bool TotalsLineShow() const { return m.props().TotalsLineShow; }
    void SetTotalsLineShow(bool v);
    bool FocusRowHighlightKeepTextForecolor() const { return m.props().FocusRowHighlightKeepTextForecolor; }
    void SetFocusRowHighlightKeepTextForecolor(bool v);
    bool ShowRowNumbers() const { return m.props().ShowRowNumbers; }
    void SetShowRowNumbers(bool v);
    bool ShowRowNumbersVary() const { return m.props().ShowRowNumbersVary; }
    void SetShowRowNumbersVary(bool v);
    bool AllowColumnResizing() const { return m.props().AllowColumnResizing; }
    void SetAllowColumnResizing(bool v);
    bool AllowRowResizing() const { return m.props().AllowRowResizing; }
    void SetAllowRowResizing(bool v);
    bool AllowWordWrap() const { return m.props().AllowWordWrap; }
    void SetAllowWordWrap(bool v);
    bool RowCheckBoxes() const { return m.props().RowCheckBoxes; }
    void SetRowCheckBoxes(bool v);
    bool AllowColumnDrag() const { return m.props().AllowColumnDrag; }
    void SetAllowColumnDrag(bool v);
    bool AllowColumnSwap() const { return m.props().AllowColumnSwap; }
    void SetAllowColumnSwap(bool v);
    bool AllowColumnSort() const { return m.props().AllowColumnSort; }
    void SetAllowColumnSort(bool v);
    bool AllowEdit() const { return m.props().AllowEdit; }
    void SetAllowEdit(bool v);
    bool AllowDelete() const { return m.props().AllowDelete; }
    void SetAllowDelete(bool v);
    bool AllowInsert() const { return m.props().AllowInsert; }
    void SetAllowInsert(bool v);
    /** Bit set: 2 Enter, 4 F2, 8 single click, 16 double click, 32 typing. */
    int EditTrigger() const { return m.props().EditTrigger; }
    void SetEditTrigger(int v);
    int EditMove() const { return m.props().EditMove; }
    void SetEditMove(int v);
    bool FocusRowHighlight() const { return m.props().FocusRowHighlight; }
    void SetFocusRowHighlight(bool v);
    int FocusRowHighlightStyle() const { return m.props().FocusRowHighlightStyle; }
    void SetFocusRowHighlightStyle(int v);
    bool FocusRectHide() const { return m.props().FocusRectHide; }
    void SetFocusRectHide(bool v);
    bool AllowColumnHover() const { return m.props().AllowColumnHover; }
    void SetAllowColumnHover(bool v);
    qint16 MultiSelect() const { return m.props().MultiSelect; }
    void SetMultiSelect(qint16 v);
    bool ScrollTrack() const { return m.props().ScrollTrack; }
    void SetScrollTrack(bool v);
    bool AutoToolTips() const { return m.props().AutoToolTips; }
    void SetAutoToolTips(bool v);
    bool Enabled() const { return m.props().Enabled; }
    void SetEnabled(bool v);
    qint16 FreezeAtCol() const { return m.props().FreezeAtCol; }
    void SetFreezeAtCol(qint16 v);
    int CacheIncrement() const { return m.props().CacheIncrement; }
    void SetCacheIncrement(int v);
    int MaxLineCount() const { return m.props().MaxLineCount; }
    void SetMaxLineCount(int v);
    int ScaleUnits() const { return m.props().ScaleUnits; }
    void SetScaleUnits(int v);
    int SearchColumn() const { return m.props().SearchColumn; }
    void SetSearchColumn(int v);
    /** In ScaleUnits. */
    float MinRowHeight() const { return m.props().MinRowHeight; }
    void SetMinRowHeight(float v);
    QFont Font() const { return m.props().Font; }
    void SetFont(const QFont& v);
    QFont FontHeader() const { return m.props().FontHeader; }
    void SetFontHeader(const QFont& v);
    // clang-format on

signals:
    // The control's events, in their order. Reference arguments may be changed by the handler.
    void Click();
    void DblClick();
    void KeyDown(qint16& KeyCode, qint16& Shift);
    void KeyPress(qint16& KeyAscii);
    void KeyUp(qint16& KeyCode, qint16& Shift);
    void MouseDown(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseMove(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseUp(qint16& Button, qint16& Shift, float& X, float& Y);
    void CellButtonClick(int Row, int Col);
    void CellImageClick(int Row, int Col);
    void CellHandClick(int Row, int Col, qint16& Shift);
    void CellClick(int Row, int Col, qint16& Shift);
    void ColumnClick(int Col);
    void ColumnSizeChanged(int Col, float NewWidth);
    void CustomSort(bool& Ascending, int& Col, QString& Value1, QString& Value2, bool& Swap);
    void ColumnOrderChanged(int ColFrom, int ColTo);
    void RowCheckedEvent(int Row);
    void RowCountChanged();
    void MouseEnter();
    void MouseLeave();
    void RowColChanged();
    void Scroll();
    void SelectionChanged();
    void SortComplete();
    void ThemeChanged();
    void EditKeyPress(int Col, qint16& KeyAscii);
    void BeforeEdit(int Row, int Col, bool& Cancel);
    void AfterEdit(int Row, int Col, QString& New_Value, bool& Cancel);
    void BeforeDelete(int Row, bool& Cancel);
    void AfterDelete();
    void BeforeInsert(int Row, bool& Cancel);
    void AfterInsert(int Row);
    void RequestRowData(int Row);
    /** A stored property was set, by its key in the property store ("BackColorSel", "ThemeStyle",
     *  ...), so a container can mark its form changed. */
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    brenlow::ListGridModel m;
    brenlow::ListGridSelection m_selection{m};
    brenlow::ListGridKeyboardSearch m_search;
    brenlow::ListGridEditor m_editor{this};

    // ---- Model helpers (ListGrid.cpp, ListGridCells.cpp)
    /** Suspends painting (painting flag off) until the guard ends; then the flag follows Redraw. */
    class PaintSuspender
    {
    public:
        explicit PaintSuspender(ListGrid& grid) : m_grid(&grid) { grid.m_painting = false; }
        ~PaintSuspender()
        {
            if (m_grid) // a handler inside the suspended step may have deleted the grid
                m_grid->m_painting = m_grid->m_redraw;
        }
        PaintSuspender(const PaintSuspender&) = delete;
        PaintSuspender& operator=(const PaintSuspender&) = delete;

    private:
        QPointer<ListGrid> m_grid;
    };
    void resumePainting() { m_painting = m_redraw; }
    // The paint pass raises RequestRowData (and a scroll Scroll), whose handlers may delete the grid:
    // the members that paint return false when the grid is gone.
    /** Repaint when painting is enabled, else remember that a refresh is due. */
    bool requestRefresh();
    /** Refresh (metrics, layout, paint) when painting is enabled, else mark both pending. */
    bool refreshOrPend();
    /** Row positions changed: recompute them now when painting is enabled, else mark layout pending. */
    void requestLayout();
    /** Stores a cell text with its check flag, totals, row height and changed marks (no repaint). */
    void storeCellText(brenlow::GridRow& row, qint32 col, const QString& text, bool markRowChanged);
    /** Moves the current cell to (display row, display position); refused for a locked row or while
     *  refused. Raises RowColChanged when it changed. Returns whether anything changed. */
    bool moveCurrentCell(int row, int colPos, bool scroll);
    /** Resolves an image index or key of the bound image list to the stored number. */
    [[nodiscard]] qint32 imageValue(const QVariant& v) const;
    [[nodiscard]] QVariant imageVariant(qint32 stored) const;
    /** A row by display row, clamped as FixRef clamps rows; null on an empty grid. */
    [[nodiscard]] const brenlow::GridRow* rowRef(int vRow) const;
    [[nodiscard]] brenlow::GridRow* rowRef(int vRow);
    /** A cell by display row and column index, after FixRef; null when the reference is invalid. */
    [[nodiscard]] brenlow::GridCell* cellAt(int& vRow, int& vCol);
    [[nodiscard]] const brenlow::GridCell* cellAt(int vRow, int vCol) const;
    void sortRange(int first, int last, int col, int sortType);
    void customSortRange(int first, int last, int col, int sortType);
    /** Whether a cell text matches a search text (upper-cased already unless matchCase) by mode. */
    [[nodiscard]] bool matches(const QString& cell, const QString& search, int mode, bool matchCase) const;
    [[nodiscard]] int measureColumn(int col) const;

    // ---- Painting and layout (ListGridPaint.cpp)
    /** Metrics step: check-box column, header heights, default row height, text flag base. */
    void recalcMetrics();
    /** Row positions and scroll ranges. */
    void recalcLayout();
    /** One paint pass onto the control's surface (records a pending refresh when disabled). */
    bool paintPass(bool enabled, bool noFocusRect = false);
    /** Scrolls vertically so a display row is in view. */
    void ensureRowVisible(int row);
    /** Scrolls horizontally so a display position is in view. */
    void ensureColumnVisible(int colPos);
    /** Creates the scroll bars on first use. */
    void ensureScrollBars();
    /** The drawing area inside the border. */
    [[nodiscard]] QRect borderInner() const;
    /** A scroll bar moved (by the user or by code). */
    void onScrollBar();
    /** Pixels left for the cells: inside the border, right of the row numbers and check boxes, with
     *  room kept for the vertical scroll bar so fitted columns never need a horizontal one. */
    [[nodiscard]] int visibleCellsWidth() const;

    brenlow::ListGridLayout m_layout;
    brenlow::GridViewState m_view;
    bool m_redraw = false;         ///< the Redraw property
    bool m_painting = false;       ///< painting enabled; equals Redraw except while suspended
    bool m_refreshPending = false; ///< a paint pass is due when painting comes back on
    bool m_layoutPending = false;  ///< row positions are due when painting comes back on
    brenlow::ListGridPainter m_painter;
    brenlow::GridPaintState m_paintState;
    QImage m_surface;
    QScrollBar* m_hBar = nullptr;
    QScrollBar* m_vBar = nullptr;
    bool m_busy = false;
    bool m_settingBars = false;
    int m_paintCount = 0;

    // ---- Interaction and editing (ListGridController*.cpp, ListGridEdit.cpp)
    /** Hides the edit box and the tooltip (Clear); false when the grid was deleted meanwhile. */
    bool hideEditorAndTip();
    friend class brenlow::ListGridController; // turns mouse and keys into model changes and events
    friend class brenlow::ListGridAccessible; // reads cell places and hit-tests for assistive technology
    friend class brenlow::GridCellAccessible;
    friend class brenlow::GridHeaderAccessible;
    /** The model, read only, for the control's own parts (the accessibility interfaces). */
    [[nodiscard]] const brenlow::ListGridModel& model() const { return m; }
    std::unique_ptr<brenlow::ListGridController> m_controller;
    /** The controller's interaction state, shared with the current-cell moves and Clear. */
    [[nodiscard]] brenlow::GridInputState& inputState();
    [[nodiscard]] const brenlow::GridInputState& inputState() const;
    // Hit-testing (ListGridHitTest.cpp)
    /** Top of a display row in the client area; -1 when it is not in view. */
    [[nodiscard]] int hitRowTop(int row) const;
    /** Left edge and width (as a rectangle of height 0) of a display position; null when not drawn. */
    [[nodiscard]] QRect hitColumnSpan(int colPos) const;
    [[nodiscard]] QRect cellRect(int row, int colPos) const;
    /** What lies under a point, by the layout placed anew for the model as it is now. */
    [[nodiscard]] brenlow::GridHit hitTest(QPoint p);
    /** Places rows and columns for the model as it is now (without painting). */
    void syncLayout();
    /** Whether a point lies on the picture or image drawn in a cell (display row, display position). */
    [[nodiscard]] bool imageHit(int row, int colPos, QPoint p) const;
    // Editing (ListGridEdit.cpp)
    bool openEditor(int row, int colPos, bool force = false);
    /** Finds the edited cell again (by its row's id and its column index) after the grid changed;
     *  false when it is gone or hidden. */
    bool locateEdit();
    /** After rows or columns moved, came or went: the open editor moves with its cell, or is
     *  cancelled when the cell is gone or hidden. False when the grid was deleted meanwhile. */
    bool followEdit();
    void placeEditor();
    /** Hides the editor (a bound one goes home); false when the focus change deleted the grid. */
    bool closeEditor();
    /** Closes the open edit without storing it; false when the repaint's handlers deleted the grid. */
    bool cancelEdit();
    [[nodiscard]] QString editorText() const;
    bool editorKey(QKeyEvent* event);
    /** Input filter and EditKeyPress for a typed character; false when the key is dropped. */
    bool filterEditChar(int col, qint16& keyAscii);
    // Messages (ListGridMessages.cpp)
    void subclassWndProc(bool bBefore, bool& bHandled, qintptr& lReturn, int uMsg, qintptr wParam,
                         qintptr lParam);
    void scrollMessage(bool vertical, int code, int position, int lines);

    // ---- Stored properties and themes (ListGridProperties.cpp, ListGridTheme.cpp)
    /** Tells the container that a stored property changed, by its key; false when its handler
     *  deleted the grid. */
    bool propertyChanged(const char* key);
    /** Sets a stored property the one way: compare, store, tell the container by the property's key,
     *  repaint. */
    template <typename T> void storeProperty(T brenlow::GridProperties::*field, const T& value);
    /** Re-applies the theme colour set of ThemeColor. */
    void applyTheme();
};
