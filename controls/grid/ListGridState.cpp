#include "controls/grid/ListGrid.h"

#include "base/Numbers.h"
#include "base/Rounding.h"

#include <QLocale>

using namespace brenlow;

// ---- Redraw and refresh

bool ListGrid::Redraw() const
{
    return m.redraw;
}

void ListGrid::SetRedraw(bool New_Value)
{
    m.redraw = New_Value;
    m.painting = New_Value;
    if (New_Value) {
        if (m.layoutPending) {
            m.layoutPending = false;
            recalcLayout();
        }
        if (m.refreshPending) {
            m.refreshPending = false;
            recalcMetrics();
            paintPass(true);
        }
    }
    // Turning it off keeps what is pending: rows removed between two offs are still to be erased
    // when it comes on again.
    if (m.hScroll < m.props.FreezeAtCol + 1)
        m.hScroll = m.props.FreezeAtCol + 1;
}

void ListGrid::Refresh()
{
    recalcMetrics();
    recalcLayout();
    m.layoutPending = false;
    paintPass(true);
}

void ListGrid::refreshOrPend()
{
    if (m.painting) {
        Refresh();
    } else {
        m.refreshPending = true;
        m.layoutPending = true;
    }
}

void ListGrid::requestRefresh()
{
    if (m.painting && m.layoutPending) {
        m.layoutPending = false;
        recalcLayout();
    }
    paintPass(m.painting);
}

void ListGrid::requestLayout()
{
    if (m.painting)
        recalcLayout();
    else
        m.layoutPending = true;
}

void ListGrid::updateAutoHeight(GridRow& row)
{
    if (m.props.AllowWordWrap)
        row.height = m.autoRowHeight(row);
}

// ---- Grid-level values

double ListGrid::rVal(const QString& vString) const
{
    return brenlow::rVal(vString);
}

double ListGrid::TotalsCol(int vCol) const
{
    m.checkColumn(vCol);
    return m.columnTotal(vCol);
}

QString ListGrid::TotalsLineCaption(int vCol) const
{
    m.checkColumn(vCol);
    return m.totalsLine[static_cast<size_t>(vCol)].caption;
}

void ListGrid::SetTotalsLineCaption(int vCol, const QString& New_Value)
{
    m.checkColumn(vCol);
    m.totalsLine[static_cast<size_t>(vCol)].caption = New_Value;
    requestRefresh();
}

bool ListGrid::TotalsLineColAvg(int vCol) const
{
    m.checkColumn(vCol);
    return m.totalsLine[static_cast<size_t>(vCol)].average;
}

void ListGrid::SetTotalsLineColAvg(int vCol, bool New_Value)
{
    m.checkColumn(vCol);
    m.totalsLine[static_cast<size_t>(vCol)].average = New_Value;
    requestRefresh();
}

QImage ListGrid::ExpandRowImage() const
{
    return m.expandRowImage;
}

void ListGrid::SetExpandRowImage(const QImage& New_Value)
{
    m.expandRowImage = New_Value;
    propertyChanged("ExpandRowImage");
    requestRefresh();
}

float ListGrid::VisibleWidth() const
{
    return static_cast<float>(m.toUnits(visibleCellsWidth()));
}

bool ListGrid::EditPending() const
{
    return m.editPending;
}

// ---- Stored properties with side effects

void ListGrid::SetThemeColor(int v)
{
    const bool changed = v != m.props.ThemeColor;
    m.props.ThemeColor = v;
    propertyChanged("ThemeColor");
    if (changed)
        applyTheme();
    requestRefresh();
}

void ListGrid::SetThemeCustomColorFrom(quint32 v)
{
    m.props.ThemeCustomColorFrom = v;
    propertyChanged("ThemeColorFrom");
    if (m.props.ThemeColor == 5)
        applyTheme();
    requestRefresh();
}

void ListGrid::SetThemeCustomColorTo(quint32 v)
{
    m.props.ThemeCustomColorTo = v;
    propertyChanged("ThemeColorTo");
    if (m.props.ThemeColor == 5)
        applyTheme();
    requestRefresh();
}

void ListGrid::SetMinRowHeight(float v)
{
    // A height that cannot be measured in pixels is refused before it is stored.
    const qint32 height = m.defaultRowHeightFor(v, m.props.MinVerticalOffset);
    m.props.MinRowHeight = v;
    m.defaultRowHeight = height;
    propertyChanged("MinRowHeight");
    refreshOrPend();
}

void ListGrid::SetMinVerticalOffset(int v)
{
    const qint32 height = m.defaultRowHeightFor(m.props.MinRowHeight, v);
    m.props.MinVerticalOffset = v;
    m.defaultRowHeight = height;
    propertyChanged("MinVerticalOffset");
    refreshOrPend();
}

void ListGrid::SetFont(const QFont& v)
{
    m.setFont(v);
    propertyChanged("Font");
    refreshOrPend();
}

void ListGrid::SetFontHeader(const QFont& v)
{
    m.props.FontHeader = v;
    m.defaultRowHeight = m.computeDefaultRowHeight();
    propertyChanged("FontHeader");
    refreshOrPend();
}

void ListGrid::SetScaleUnits(int v)
{
    m.props.ScaleUnits = v;
    // Widths keep their pixels; their values follow the new unit.
    for (GridColumn& col : m.columns)
        col.width = static_cast<float>(m.toUnits(col.pixelWidth));
    m.defaultRowHeight = m.computeDefaultRowHeight();
    propertyChanged("ScaleUnits");
    refreshOrPend();
}

void ListGrid::SetAllowWordWrap(bool v)
{
    m.props.AllowWordWrap = v;
    if (v) {
        for (GridRow& row : m.rows)
            row.height = m.autoRowHeight(row);
    }
    propertyChanged("AllowWordWrap");
    requestLayout();
    requestRefresh();
}

void ListGrid::SetEnabled(bool v)
{
    m.props.Enabled = v;
    setEnabled(v);
    propertyChanged("Enabled");
    requestRefresh();
}

// ---- Plain stored properties

void ListGrid::SetApplySelectionToImages(bool v)
{
    m.props.ApplySelectionToImages = v;
    propertyChanged("ApplySelectionToImages");
    requestRefresh();
}

void ListGrid::SetBackColor(quint32 v)
{
    m.props.BackColor = v;
    propertyChanged("BackColor");
    requestRefresh();
}

void ListGrid::SetBackColorBkg(quint32 v)
{
    m.props.BackColorBkg = v;
    propertyChanged("BackColorBkg");
    requestRefresh();
}

void ListGrid::SetBackColorEdit(quint32 v)
{
    m.props.BackColorEdit = v;
    propertyChanged("BackColorEdit");
    requestRefresh();
}

void ListGrid::SetBackColorSel(quint32 v)
{
    m.props.BackColorSel = v;
    propertyChanged("BackColorSel");
    requestRefresh();
}

void ListGrid::SetForeColor(quint32 v)
{
    m.props.ForeColor = v;
    propertyChanged("ForeColor");
    requestRefresh();
}

void ListGrid::SetForeColorEdit(quint32 v)
{
    m.props.ForeColorEdit = v;
    propertyChanged("ForeColorEdit");
    requestRefresh();
}

void ListGrid::SetForeColorHdr(quint32 v)
{
    m.props.ForeColorHdr = v;
    propertyChanged("ForeColorHdr");
    requestRefresh();
}

void ListGrid::SetForeColorSel(quint32 v)
{
    m.props.ForeColorSel = v;
    propertyChanged("ForeColorSel");
    requestRefresh();
}

void ListGrid::SetColumnHeaders(bool v)
{
    m.props.ColumnHeaders = v;
    propertyChanged("ShowColumnHeaders");
    requestRefresh();
}

void ListGrid::SetCenterRowImage(bool v)
{
    m.props.CenterRowImage = v;
    propertyChanged("CenterRowImage");
    requestRefresh();
}

void ListGrid::SetScrollBars(int v)
{
    m.props.ScrollBars = v;
    propertyChanged("ScrollBars");
    requestRefresh();
}

void ListGrid::SetBackColorEvenRows(quint32 v)
{
    m.props.BackColorEvenRows = v;
    propertyChanged("BackColorEvenRows");
    requestRefresh();
}

void ListGrid::SetBackColorEvenRowsEnabled(bool v)
{
    m.props.BackColorEvenRowsEnabled = v;
    propertyChanged("BackColorEvenRowsEnabled");
    requestRefresh();
}

void ListGrid::SetGridColor(quint32 v)
{
    m.props.GridColor = v;
    propertyChanged("GridColor");
    requestRefresh();
}

void ListGrid::SetAlphaBlendSelection(bool v)
{
    m.props.AlphaBlendSelection = v;
    propertyChanged("AlphaBlendSelection");
    requestRefresh();
}

void ListGrid::SetBorderStyle(int v)
{
    m.props.BorderStyle = v;
    propertyChanged("BorderStyle");
    requestRefresh();
}

void ListGrid::SetDisplayEllipsis(bool v)
{
    m.props.DisplayEllipsis = v;
    propertyChanged("DisplayEllipsis");
    requestRefresh();
}

void ListGrid::SetFocusRectColor(quint32 v)
{
    m.props.FocusRectColor = v;
    propertyChanged("FocusRectColor");
    requestRefresh();
}

void ListGrid::SetFocusRectMode(int v)
{
    m.props.FocusRectMode = v;
    propertyChanged("FocusRectMode");
    requestRefresh();
}

void ListGrid::SetFocusRectStyle(int v)
{
    m.props.FocusRectStyle = v;
    propertyChanged("FocusRectStyle");
    requestRefresh();
}

void ListGrid::SetGridLines(int v)
{
    m.props.GridLines = v;
    propertyChanged("GridLines");
    requestRefresh();
}

void ListGrid::SetGridLineWidth(int v)
{
    m.props.GridLineWidth = v;
    propertyChanged("GridLineWidth");
    requestRefresh();
}

void ListGrid::SetThemeStyle(int v)
{
    m.props.ThemeStyle = v;
    propertyChanged("ThemeStyle");
    requestRefresh();
}

void ListGrid::SetColumnHeaderSmall(bool v)
{
    m.props.ColumnHeaderSmall = v;
    propertyChanged("ColumnHeaderSmall");
    requestRefresh();
}

void ListGrid::SetColumnHeaderLines(qint16 v)
{
    m.props.ColumnHeaderLines = v;
    propertyChanged("ColumnHeaderLines");
    requestRefresh();
}

void ListGrid::SetCaption(const QString& v)
{
    m.props.Caption = v;
    propertyChanged("Caption");
    requestRefresh();
}

void ListGrid::SetCaptionAlignment(int v)
{
    m.props.CaptionAlignment = v;
    propertyChanged("CaptionAlignment");
    requestRefresh();
}

void ListGrid::SetAppearance(int v)
{
    m.props.Appearance = v;
    propertyChanged("Appearance");
    requestRefresh();
}

void ListGrid::SetScrollBarStyle(int v)
{
    m.props.ScrollBarStyle = v;
    propertyChanged("ScrollBarStyle");
    requestRefresh();
}

void ListGrid::SetTotalsLineShow(bool v)
{
    m.props.TotalsLineShow = v;
    propertyChanged("TotalsLineShow");
    requestRefresh();
}

void ListGrid::SetFocusRowHighlightKeepTextForecolor(bool v)
{
    m.props.FocusRowHighlightKeepTextForecolor = v;
    propertyChanged("FocusRowHighlightKeepTextForecolor");
    requestRefresh();
}

void ListGrid::SetShowRowNumbers(bool v)
{
    m.props.ShowRowNumbers = v;
    propertyChanged("ShowRowNumbers");
    requestRefresh();
}

void ListGrid::SetShowRowNumbersVary(bool v)
{
    m.props.ShowRowNumbersVary = v;
    propertyChanged("ShowRowNumbersVary");
    requestRefresh();
}

void ListGrid::SetAllowColumnResizing(bool v)
{
    m.props.AllowColumnResizing = v;
    propertyChanged("AllowColumnResizing");
    requestRefresh();
}

void ListGrid::SetAllowRowResizing(bool v)
{
    m.props.AllowRowResizing = v;
    propertyChanged("AllowRowResizing");
    requestRefresh();
}

void ListGrid::SetRowCheckBoxes(bool v)
{
    m.props.RowCheckBoxes = v;
    propertyChanged("Checkboxes");
    requestRefresh();
}

void ListGrid::SetAllowColumnDrag(bool v)
{
    m.props.AllowColumnDrag = v;
    propertyChanged("ColumnDrag");
    requestRefresh();
}

void ListGrid::SetAllowColumnSwap(bool v)
{
    m.props.AllowColumnSwap = v;
    propertyChanged("ColumnSwap");
    requestRefresh();
}

void ListGrid::SetAllowColumnSort(bool v)
{
    m.props.AllowColumnSort = v;
    propertyChanged("ColumnSort");
    requestRefresh();
}

void ListGrid::SetAllowEdit(bool v)
{
    m.props.AllowEdit = v;
    propertyChanged("Editable");
    requestRefresh();
}

void ListGrid::SetAllowDelete(bool v)
{
    m.props.AllowDelete = v;
    propertyChanged("AllowDelete");
    requestRefresh();
}

void ListGrid::SetAllowInsert(bool v)
{
    m.props.AllowInsert = v;
    propertyChanged("AllowInsert");
    requestRefresh();
}

void ListGrid::SetEditTrigger(int v)
{
    m.props.EditTrigger = v;
    propertyChanged("EditTrigger");
    requestRefresh();
}

void ListGrid::SetEditMove(int v)
{
    m.props.EditMove = v;
    propertyChanged("EditMove");
    requestRefresh();
}

void ListGrid::SetFocusRowHighlight(bool v)
{
    m.props.FocusRowHighlight = v;
    propertyChanged("FullRowSelect");
    requestRefresh();
}

void ListGrid::SetFocusRowHighlightStyle(int v)
{
    m.props.FocusRowHighlightStyle = v;
    propertyChanged("FocusRowHighlightStyle");
    requestRefresh();
}

void ListGrid::SetFocusRectHide(bool v)
{
    m.props.FocusRectHide = v;
    propertyChanged("HideSelection");
    requestRefresh();
}

void ListGrid::SetAllowColumnHover(bool v)
{
    m.props.AllowColumnHover = v;
    propertyChanged("HotHeaderTracking");
    requestRefresh();
}

void ListGrid::SetMultiSelect(qint16 v)
{
    m.props.MultiSelect = v;
    propertyChanged("MultiSelect");
    requestRefresh();
}

void ListGrid::SetScrollTrack(bool v)
{
    m.props.ScrollTrack = v;
    propertyChanged("ScrollTrack");
    requestRefresh();
}

void ListGrid::SetAutoToolTips(bool v)
{
    m.props.AutoToolTips = v;
    propertyChanged("AutoToolTips");
    requestRefresh();
}

void ListGrid::SetFreezeAtCol(qint16 v)
{
    m.props.FreezeAtCol = v;
    propertyChanged("FreezeAtCol");
    requestRefresh();
}

void ListGrid::SetCacheIncrement(int v)
{
    m.props.CacheIncrement = v;
    propertyChanged("CacheIncrement");
    requestRefresh();
}

void ListGrid::SetMaxLineCount(int v)
{
    m.props.MaxLineCount = v;
    propertyChanged("MaxLineCount");
    requestRefresh();
}

void ListGrid::SetSearchColumn(int v)
{
    m.props.SearchColumn = v;
    propertyChanged("SearchColumn");
    requestRefresh();
}
