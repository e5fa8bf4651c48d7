#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridAccessible.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "base/Numbers.h"

#include <algorithm>

using namespace brenlow;

namespace {

void setFlag(quint16& flags, quint16 bit, bool on)
{
    flags = on ? (flags | bit) : (flags & ~bit);
}

} // namespace

GridCell* ListGrid::cellAt(int& vRow, int& vCol)
{
    if (!m.fixRef(vRow, vCol))
        return nullptr;
    return &m.rowAt(vRow).cells[static_cast<size_t>(vCol)];
}

const GridCell* ListGrid::cellAt(int vRow, int vCol) const
{
    if (!m.fixRef(vRow, vCol))
        return nullptr;
    return &m.rowAt(vRow).cells[static_cast<size_t>(vCol)];
}

qint32 ListGrid::imageValue(const QVariant& v) const
{
    bool ok = false;
    const double number = v.toDouble(&ok);
    if (ok && (v.typeId() != QMetaType::QString || FormsANumber(v.toString()))) {
        // The lowest 32-bit number has no positive counterpart, so it cannot name an image by key.
        if (!(number > std::numeric_limits<qint32>::min() && number <= std::numeric_limits<qint32>::max()))
            throw std::overflow_error("Overflow: image index out of range");
        return static_cast<qint32>(number);
    }
    // Any other value is a key of the bound image list, kept as minus its index.
    const int index = m.imageList() ? m.imageList()->IndexOf(v.toString()) : 0;
    return -index;
}

QVariant ListGrid::imageVariant(qint32 stored) const
{
    if (stored < 0 && stored != std::numeric_limits<qint32>::min() && m.imageList()) {
        const QString key = m.imageList()->Key(-stored);
        if (!key.isEmpty())
            return key;
    }
    return stored;
}

GridImageList* ListGrid::ImageList() const
{
    return m.imageList();
}

void ListGrid::SetImageList(GridImageList* New_Value)
{
    if (m.imageList())
        disconnect(m.imageList(), &GridImageList::Changed, this, nullptr);
    m.setImageList(New_Value);
    if (New_Value)
        connect(New_Value, &GridImageList::Changed, this, [this] { refreshOrPend(); });
    if (!propertyChanged("ImageList"))
        return;
    refreshOrPend();
}

void ListGrid::storeCellText(GridRow& row, qint32 col, const QString& text, bool markRowChanged)
{
    m.setCellText(row, col, text, markRowChanged);
    AnnounceGridCell(this, row.id(), col);
}

QString ListGrid::CellText(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? cell->text : QString();
}

void ListGrid::SetCellText(int vRow, int vCol, const QString& StrValue)
{
    if (!m.fixRef(vRow, vCol))
        return;
    storeCellText(m.rowAt(vRow), vCol, StrValue, true);
    requestRefresh();
}

QVariant ListGrid::CellValue(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    if (!cell)
        return {};
    if (m.column(vCol).type == ColumnType::CheckBox) {
        if (cell->text.isEmpty())
            return {};
        return QVariant(ListGridModel::number(cell->text) != 0);
    }
    return ListGridModel::number(cell->text);
}

void ListGrid::SetCellValue(int vRow, int vCol, double New_Value)
{
    SetCellText(vRow, vCol,
                NumberLocale().toString(New_Value, 'g', 15).remove(NumberLocale().groupSeparator()));
}

QString ListGrid::CellTag(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? cell->tag : QString();
}

void ListGrid::SetCellTag(int vRow, int vCol, const QString& New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol))
        cell->tag = New_Value;
}

#define LISTGRID_CELL_FLAG(Name, bit, extra)                                                                 \
    bool ListGrid::Name(int vRow, int vCol) const                                                            \
    {                                                                                                        \
        const GridCell* cell = cellAt(vRow, vCol);                                                           \
        return cell && (cell->flags & (bit));                                                                \
    }                                                                                                        \
    void ListGrid::Set##Name(int vRow, int vCol, bool New_Value)                                             \
    {                                                                                                        \
        GridCell* cell = cellAt(vRow, vCol);                                                                 \
        if (!cell)                                                                                           \
            return;                                                                                          \
        setFlag(cell->flags, (bit), New_Value);                                                              \
        extra;                                                                                               \
        requestRefresh();                                                                                    \
    }

LISTGRID_CELL_FLAG(CellChecked, CellFlag::Checked, cell->flags |= CellFlag::Changed)
LISTGRID_CELL_FLAG(CellFontBold, CellFlag::Bold, (void)0)
LISTGRID_CELL_FLAG(CellFontItalic, CellFlag::Italic, (void)0)
LISTGRID_CELL_FLAG(CellFontUnderline, CellFlag::Underline, (void)0)
LISTGRID_CELL_FLAG(CellWordWrap, CellFlag::WordWrap, (void)0)
#undef LISTGRID_CELL_FLAG

int ListGrid::CellAlignment(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? cell->alignment : 0;
}

void ListGrid::SetCellAlignment(int vRow, int vCol, int New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol)) {
        cell->alignment = static_cast<qint16>(New_Value);
        requestRefresh();
    }
}

quint32 ListGrid::CellBackColor(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? m.effectiveFormat(*cell).backColor : 0;
}

void ListGrid::SetCellBackColor(int vRow, int vCol, quint32 New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol)) {
        m.applyCellFormat(*cell, FormatField::BackColor, New_Value);
        requestRefresh();
    }
}

quint32 ListGrid::CellForeColor(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? m.effectiveFormat(*cell).foreColor : 0;
}

void ListGrid::SetCellForeColor(int vRow, int vCol, quint32 New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol)) {
        m.applyCellFormat(*cell, FormatField::ForeColor, New_Value);
        requestRefresh();
    }
}

QString ListGrid::CellFontName(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? m.effectiveFormat(*cell).fontName : QString();
}

void ListGrid::SetCellFontName(int vRow, int vCol, const QString& New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol)) {
        m.applyCellFormat(*cell, FormatField::FontName, New_Value);
        requestRefresh();
    }
}

QVariant ListGrid::CellImage(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? imageVariant(m.effectiveFormat(*cell).image) : QVariant();
}

void ListGrid::SetCellImage(int vRow, int vCol, const QVariant& New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol)) {
        m.applyCellFormat(*cell, FormatField::Image, imageValue(New_Value));
        requestRefresh();
    }
}

bool ListGrid::CellHandPointer(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell && m.effectiveFormat(*cell).handPointer;
}

void ListGrid::SetCellHandPointer(int vRow, int vCol, bool New_Value)
{
    if (GridCell* cell = cellAt(vRow, vCol)) {
        m.applyCellFormat(*cell, FormatField::HandPointer, New_Value);
        requestRefresh();
    }
}

qint16 ListGrid::CellProgressValue(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    if (!cell || m.column(vCol).type != ColumnType::Progress)
        return 0;
    return static_cast<qint16>(cell->flags);
}

void ListGrid::SetCellProgressValue(int vRow, int vCol, int New_Value)
{
    GridCell* cell = cellAt(vRow, vCol);
    if (!cell || m.column(vCol).type != ColumnType::Progress)
        return;
    cell->flags = static_cast<quint16>(std::clamp(New_Value, 0, 100));
    AnnounceGridCell(this, m.rowAt(vRow).id(), vCol);
    requestRefresh();
}

quint32 ListGrid::CellProgressBarColor() const
{
    return m.props().CellProgressBarColor;
}

void ListGrid::SetCellProgressBarColor(quint32 New_Value)
{
    m.setProperty(&GridProperties::CellProgressBarColor, New_Value);
    if (!propertyChanged("ProgressBarColor"))
        return;
    requestRefresh();
}

void ListGrid::CellPicture(const QImage& newPic, int vRow, int vCol)
{
    if (GridCell* cell = cellAt(vRow, vCol))
        cell->picture = newPic;
}

QImage ListGrid::CellPictureGet(int vRow, int vCol) const
{
    const GridCell* cell = cellAt(vRow, vCol);
    return cell ? cell->picture.image() : QImage();
}

bool ListGrid::CellChanged(int vRow, int vCol) const
{
    m.checkRow(vRow);
    if (vCol < 0 || vCol >= static_cast<int>(m.colOrder().size()))
        throw std::out_of_range("Subscript out of range: column position " + std::to_string(vCol));
    return m.rowAt(vRow).cells[static_cast<size_t>(m.columnAt(vCol))].flags & CellFlag::Changed;
}

bool ListGrid::CellsChanged() const
{
    return m.cellsChanged();
}

void ListGrid::FormatCells(int RowFrom, int RowTo, int ColFrom, int ColTo, int Mode, const QString& vNewValue,
                           int vNewAlign)
{
    if (m.lastRow() < 0)
        return;
    if (RowTo == -1)
        RowTo = m.lastRow();
    if (ColTo == -1)
        ColTo = m.colCount() - 1;
    RowFrom = std::max(RowFrom, 0);
    ColFrom = std::max(ColFrom, 0);
    RowTo = std::min(RowTo, m.lastRow());
    ColTo = std::min(ColTo, m.colCount() - 1);
    // The value is read once for the whole block.
    const double numeric = brenlow::rVal(vNewValue);
    FormatChange change;
    change.which = Mode == 1    ? FormatField::BackColor
                   : Mode == 4  ? FormatField::ForeColor
                   : Mode == 8  ? FormatField::Image
                   : Mode == 16 ? FormatField::FontName
                                : FormatField::HandPointer;
    // A value no colour can hold is an overflow, as the conversion of any number too large.
    if (!(std::abs(numeric) < 9.2e18))
        throw std::overflow_error("Overflow: format value out of range");
    change.color = static_cast<quint32>(static_cast<qint64>(numeric));
    change.image = Mode == 8 ? static_cast<qint16>(imageValue(vNewValue)) : qint16(0);
    change.handPointer = numeric != 0;
    change.fontName = vNewValue;
    const bool on = numeric != 0;
    {
        PaintSuspender suspend(*this);
        switch (Mode) {
        case 16:
            if (vNewValue.trimmed().isEmpty())
                break; // a blank name changes nothing
            [[fallthrough]];
        case 1:
        case 4:
        case 8:
        case 256:
            m.applyBlockFormat(RowFrom, RowTo, ColFrom, ColTo, change);
            break;
        case 32:
        case 64:
        case 128:
        case 512:
            for (int r = RowFrom; r <= RowTo; ++r) {
                GridRow& row = m.rowAt(r);
                for (int c = ColFrom; c <= ColTo; ++c) {
                    GridCell& cell = row.cells[static_cast<size_t>(c)];
                    if (Mode == 512)
                        cell.alignment = static_cast<qint16>(vNewAlign);
                    else
                        setFlag(cell.flags,
                                Mode == 32   ? CellFlag::Bold
                                : Mode == 64 ? CellFlag::Italic
                                             : CellFlag::Underline,
                                on);
                }
            }
            break;
        default:
            break;
        }
    }
    requestRefresh();
}

void ListGrid::FormatCellsAlignment(int RowFrom, int RowTo, int ColFrom, int ColTo, int vAlignment)
{
    if (m.lastRow() < 0)
        return;
    if (RowTo == -1)
        RowTo = m.lastRow();
    if (ColTo == -1)
        ColTo = m.colCount() - 1;
    RowFrom = std::max(RowFrom, 0);
    ColFrom = std::max(ColFrom, 0);
    RowTo = std::min(RowTo, m.lastRow());
    ColTo = std::min(ColTo, m.colCount() - 1);
    for (int s = RowFrom; s <= RowTo; ++s) {
        for (int c = ColFrom; c <= ColTo; ++c)
            m.rowInSlot(s).cells[static_cast<size_t>(c)].alignment = static_cast<qint16>(vAlignment);
    }
    requestRefresh();
}
