#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridProperties.h"

#include "base/Numbers.h"
#include "base/Rounding.h"

#include <QLocale>

using namespace brenlow;

// ---- Redraw and refresh

bool ListGrid::Redraw() const
{
    return m_redraw;
}

void ListGrid::SetRedraw(bool New_Value)
{
    m_redraw = New_Value;
    m_painting = New_Value;
    if (New_Value) {
        // The paint pass raises events whose handlers may delete the grid.
        if (m_layoutPending) {
            m_layoutPending = false;
            recalcLayout();
        }
        if (m_refreshPending) {
            m_refreshPending = false;
            recalcMetrics();
            if (!paintPass(true))
                return;
        }
    }
    // Turning it off keeps what is pending: rows removed between two offs are still to be erased
    // when it comes on again.
    if (m_view.hScroll < m.props().FreezeAtCol + 1)
        m_view.hScroll = m.props().FreezeAtCol + 1;
}

void ListGrid::Refresh()
{
    recalcMetrics();
    recalcLayout();
    m_layoutPending = false;
    paintPass(true);
}

bool ListGrid::refreshOrPend()
{
    if (m_painting) {
        recalcMetrics();
        recalcLayout();
        m_layoutPending = false;
        return paintPass(true);
    }
    m_refreshPending = true;
    m_layoutPending = true;
    return true;
}

bool ListGrid::requestRefresh()
{
    if (m_painting && m_layoutPending) {
        m_layoutPending = false;
        recalcLayout();
    }
    return paintPass(m_painting);
}

void ListGrid::requestLayout()
{
    if (m_painting)
        recalcLayout();
    else
        m_layoutPending = true;
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
    return m.totalsEntry(vCol).caption;
}

void ListGrid::SetTotalsLineCaption(int vCol, const QString& New_Value)
{
    m.checkColumn(vCol);
    m.totalsEntry(vCol).caption = New_Value;
    requestRefresh();
}

bool ListGrid::TotalsLineColAvg(int vCol) const
{
    m.checkColumn(vCol);
    return m.totalsEntry(vCol).average;
}

void ListGrid::SetTotalsLineColAvg(int vCol, bool New_Value)
{
    m.checkColumn(vCol);
    m.totalsEntry(vCol).average = New_Value;
    requestRefresh();
}

QImage ListGrid::ExpandRowImage() const
{
    return m.expandRowImage();
}

void ListGrid::SetExpandRowImage(const QImage& New_Value)
{
    m.setExpandRowImage(New_Value);
    if (!propertyChanged("ExpandRowImage"))
        return;
    requestRefresh();
}

float ListGrid::VisibleWidth() const
{
    return static_cast<float>(m.toUnits(visibleCellsWidth()));
}

bool ListGrid::EditPending() const
{
    return m_editor.isOpen();
}

// ---- Stored properties with side effects

void ListGrid::SetThemeColor(int v)
{
    const bool changed = v != m.props().ThemeColor;
    m.setProperty(&GridProperties::ThemeColor, v);
    if (!propertyChanged("ThemeColor"))
        return;
    if (changed)
        applyTheme();
    requestRefresh();
}

void ListGrid::SetThemeCustomColorFrom(quint32 v)
{
    m.setProperty(&GridProperties::ThemeCustomColorFrom, v);
    if (!propertyChanged("ThemeColorFrom"))
        return;
    if (m.props().ThemeColor == 5)
        applyTheme();
    requestRefresh();
}

void ListGrid::SetThemeCustomColorTo(quint32 v)
{
    m.setProperty(&GridProperties::ThemeCustomColorTo, v);
    if (!propertyChanged("ThemeColorTo"))
        return;
    if (m.props().ThemeColor == 5)
        applyTheme();
    requestRefresh();
}

void ListGrid::SetMinRowHeight(float v)
{
    // A height that cannot be measured in pixels is refused before it is stored.
    (void)m.defaultRowHeightFor(v, m.props().MinVerticalOffset);
    m.setProperty(&GridProperties::MinRowHeight, v);
    m.updateDefaultRowHeight();
    if (!propertyChanged("MinRowHeight"))
        return;
    refreshOrPend();
}

void ListGrid::SetMinVerticalOffset(int v)
{
    (void)m.defaultRowHeightFor(m.props().MinRowHeight, v);
    m.setProperty(&GridProperties::MinVerticalOffset, v);
    m.updateDefaultRowHeight();
    if (!propertyChanged("MinVerticalOffset"))
        return;
    refreshOrPend();
}

void ListGrid::SetFont(const QFont& v)
{
    m.setFont(v);
    if (!propertyChanged("Font"))
        return;
    refreshOrPend();
}

void ListGrid::SetFontHeader(const QFont& v)
{
    m.setProperty(&GridProperties::FontHeader, v);
    m.updateDefaultRowHeight();
    if (!propertyChanged("FontHeader"))
        return;
    refreshOrPend();
}

void ListGrid::SetScaleUnits(int v)
{
    m.setProperty(&GridProperties::ScaleUnits, v);
    // Widths keep their pixels; their values follow the new unit.
    for (qint32 c = 0; c < m.colCount(); ++c)
        m.column(c).width = static_cast<float>(m.toUnits(m.column(c).pixelWidth));
    m.updateDefaultRowHeight();
    if (!propertyChanged("ScaleUnits"))
        return;
    refreshOrPend();
}

void ListGrid::SetAllowWordWrap(bool v)
{
    m.setProperty(&GridProperties::AllowWordWrap, v);
    if (v)
        m.updateAutoHeights();
    if (!propertyChanged("AllowWordWrap"))
        return;
    requestLayout();
    requestRefresh();
}

void ListGrid::SetEnabled(bool v)
{
    m.setProperty(&GridProperties::Enabled, v);
    setEnabled(v);
    if (!propertyChanged("Enabled"))
        return;
    requestRefresh();
}

// ---- Plain stored properties

// Set as any stored property is: when the value changes it is stored, the container hears of it by
// the property's key in the property table, and the grid repaints.
template <typename T> void ListGrid::storeProperty(T GridProperties::*field, const T& value)
{
    if (!m.setProperty(field, value))
        return;
    if (!propertyChanged(GridPropertyKey(field)))
        return;
    requestRefresh();
}

void ListGrid::SetApplySelectionToImages(bool v)
{
    storeProperty(&GridProperties::ApplySelectionToImages, v);
}

void ListGrid::SetBackColor(quint32 v)
{
    storeProperty(&GridProperties::BackColor, v);
}

void ListGrid::SetBackColorBkg(quint32 v)
{
    storeProperty(&GridProperties::BackColorBkg, v);
}

void ListGrid::SetBackColorEdit(quint32 v)
{
    storeProperty(&GridProperties::BackColorEdit, v);
}

void ListGrid::SetBackColorSel(quint32 v)
{
    storeProperty(&GridProperties::BackColorSel, v);
}

void ListGrid::SetForeColor(quint32 v)
{
    storeProperty(&GridProperties::ForeColor, v);
}

void ListGrid::SetForeColorEdit(quint32 v)
{
    storeProperty(&GridProperties::ForeColorEdit, v);
}

void ListGrid::SetForeColorHdr(quint32 v)
{
    storeProperty(&GridProperties::ForeColorHdr, v);
}

void ListGrid::SetForeColorSel(quint32 v)
{
    storeProperty(&GridProperties::ForeColorSel, v);
}

void ListGrid::SetColumnHeaders(bool v)
{
    storeProperty(&GridProperties::ColumnHeaders, v);
}

void ListGrid::SetCenterRowImage(bool v)
{
    storeProperty(&GridProperties::CenterRowImage, v);
}

void ListGrid::SetScrollBars(int v)
{
    storeProperty(&GridProperties::ScrollBars, v);
}

void ListGrid::SetBackColorEvenRows(quint32 v)
{
    storeProperty(&GridProperties::BackColorEvenRows, v);
}

void ListGrid::SetBackColorEvenRowsEnabled(bool v)
{
    storeProperty(&GridProperties::BackColorEvenRowsEnabled, v);
}

void ListGrid::SetGridColor(quint32 v)
{
    storeProperty(&GridProperties::GridColor, v);
}

void ListGrid::SetAlphaBlendSelection(bool v)
{
    storeProperty(&GridProperties::AlphaBlendSelection, v);
}

void ListGrid::SetBorderStyle(int v)
{
    storeProperty(&GridProperties::BorderStyle, v);
}

void ListGrid::SetDisplayEllipsis(bool v)
{
    storeProperty(&GridProperties::DisplayEllipsis, v);
}

void ListGrid::SetFocusRectColor(quint32 v)
{
    storeProperty(&GridProperties::FocusRectColor, v);
}

void ListGrid::SetFocusRectMode(int v)
{
    storeProperty(&GridProperties::FocusRectMode, v);
}

void ListGrid::SetFocusRectStyle(int v)
{
    storeProperty(&GridProperties::FocusRectStyle, v);
}

void ListGrid::SetGridLines(int v)
{
    storeProperty(&GridProperties::GridLines, v);
}

void ListGrid::SetGridLineWidth(int v)
{
    storeProperty(&GridProperties::GridLineWidth, v);
}

void ListGrid::SetThemeStyle(int v)
{
    storeProperty(&GridProperties::ThemeStyle, v);
}

void ListGrid::SetColumnHeaderSmall(bool v)
{
    storeProperty(&GridProperties::ColumnHeaderSmall, v);
}

void ListGrid::SetColumnHeaderLines(qint16 v)
{
    storeProperty(&GridProperties::ColumnHeaderLines, v);
}

void ListGrid::SetCaption(const QString& v)
{
    storeProperty(&GridProperties::Caption, v);
}

void ListGrid::SetCaptionAlignment(int v)
{
    storeProperty(&GridProperties::CaptionAlignment, v);
}

void ListGrid::SetAppearance(int v)
{
    storeProperty(&GridProperties::Appearance, v);
}

void ListGrid::SetScrollBarStyle(int v)
{
    storeProperty(&GridProperties::ScrollBarStyle, v);
}

void ListGrid::SetTotalsLineShow(bool v)
{
    storeProperty(&GridProperties::TotalsLineShow, v);
}

void ListGrid::SetFocusRowHighlightKeepTextForecolor(bool v)
{
    storeProperty(&GridProperties::FocusRowHighlightKeepTextForecolor, v);
}

void ListGrid::SetShowRowNumbers(bool v)
{
    storeProperty(&GridProperties::ShowRowNumbers, v);
}

void ListGrid::SetShowRowNumbersVary(bool v)
{
    storeProperty(&GridProperties::ShowRowNumbersVary, v);
}

void ListGrid::SetAllowColumnResizing(bool v)
{
    storeProperty(&GridProperties::AllowColumnResizing, v);
}

void ListGrid::SetAllowRowResizing(bool v)
{
    storeProperty(&GridProperties::AllowRowResizing, v);
}

void ListGrid::SetRowCheckBoxes(bool v)
{
    storeProperty(&GridProperties::RowCheckBoxes, v);
}

void ListGrid::SetAllowColumnDrag(bool v)
{
    storeProperty(&GridProperties::AllowColumnDrag, v);
}

void ListGrid::SetAllowColumnSwap(bool v)
{
    storeProperty(&GridProperties::AllowColumnSwap, v);
}

void ListGrid::SetAllowColumnSort(bool v)
{
    storeProperty(&GridProperties::AllowColumnSort, v);
}

void ListGrid::SetAllowEdit(bool v)
{
    storeProperty(&GridProperties::AllowEdit, v);
}

void ListGrid::SetAllowDelete(bool v)
{
    storeProperty(&GridProperties::AllowDelete, v);
}

void ListGrid::SetAllowInsert(bool v)
{
    storeProperty(&GridProperties::AllowInsert, v);
}

void ListGrid::SetEditTrigger(int v)
{
    storeProperty(&GridProperties::EditTrigger, v);
}

void ListGrid::SetEditMove(int v)
{
    storeProperty(&GridProperties::EditMove, v);
}

void ListGrid::SetFocusRowHighlight(bool v)
{
    storeProperty(&GridProperties::FocusRowHighlight, v);
}

void ListGrid::SetFocusRowHighlightStyle(int v)
{
    storeProperty(&GridProperties::FocusRowHighlightStyle, v);
}

void ListGrid::SetFocusRectHide(bool v)
{
    storeProperty(&GridProperties::FocusRectHide, v);
}

void ListGrid::SetAllowColumnHover(bool v)
{
    storeProperty(&GridProperties::AllowColumnHover, v);
}

void ListGrid::SetMultiSelect(qint16 v)
{
    storeProperty(&GridProperties::MultiSelect, v);
}

void ListGrid::SetScrollTrack(bool v)
{
    storeProperty(&GridProperties::ScrollTrack, v);
}

void ListGrid::SetAutoToolTips(bool v)
{
    storeProperty(&GridProperties::AutoToolTips, v);
}

void ListGrid::SetFreezeAtCol(qint16 v)
{
    storeProperty(&GridProperties::FreezeAtCol, v);
}

void ListGrid::SetCacheIncrement(int v)
{
    storeProperty(&GridProperties::CacheIncrement, v);
}

void ListGrid::SetMaxLineCount(int v)
{
    storeProperty(&GridProperties::MaxLineCount, v);
}

void ListGrid::SetSearchColumn(int v)
{
    storeProperty(&GridProperties::SearchColumn, v);
}
