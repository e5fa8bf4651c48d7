#pragma once

#include <QAccessibleWidget>
#include <QObject>

#include <map>
#include <utility>
#include <vector>

class ListGrid;

namespace brenlow {

/** Makes ListGrid known to assistive technology as a table. Installed once per process by the
 *  first grid; later calls do nothing. */
void InstallGridAccessibility();

/** Tells assistive technology that a cell's text or progress value changed (the row by its id, the
 *  column by its index). Costs a lookup and nothing more while no assistive technology has looked
 *  at the grid. */
void AnnounceGridCell(const ListGrid* grid, quint64 rowId, int col);

/** Tells assistive technology that the grid's rows came or went all at once (Clear). */
void AnnounceGridReset(const ListGrid* grid);

/**
 * The grid as an accessible table. Its rows are the grid's shown rows in display order, its columns
 * the shown columns (visible and wide enough to show anything) in display order; its children are
 * the column headers, then the cells row by row. A cell is known by its row's id and its column
 * index, so it stays the same object when the rows are sorted or the columns moved; the table owns
 * the cell objects and drops those whose row or column went away.
 */
class ListGridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit ListGridAccessible(ListGrid* grid);
    ~ListGridAccessible() override;

    [[nodiscard]] ListGrid* grid() const;

    // QAccessibleInterface
    QAccessible::Role role() const override { return QAccessible::Table; }
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // What the cells ask of their table.
    /** The display rows shown, in order. */
    [[nodiscard]] std::vector<int> shownRows() const;
    /** The column indexes shown, in display order. */
    [[nodiscard]] std::vector<int> shownColumns() const;
    /** A cell's rectangle on the screen; empty when it is out of view. */
    [[nodiscard]] QRect cellScreenRect(int displayRow, int col) const;
    [[nodiscard]] QRect headerScreenRect(int col) const;
    /** The interface of a cell or a header, made on first use. */
    [[nodiscard]] QAccessibleInterface* cellFor(quint64 rowId, int col) const;
    [[nodiscard]] QAccessibleInterface* headerFor(int col) const;
    /** Whether the keyboard focus is on the grid itself (not on its editor). */
    [[nodiscard]] bool gridHasFocus() const;

    /** Announcements. */
    void cellChanged(quint64 rowId, int col);
    void rowsChanged();

private:
    void announceSelection();
    void announceCurrentCell();
    /** Drops the cells whose row or column went away. */
    void pruneCells();
    [[nodiscard]] int headerCount() const;

    const QObject* m_key;
    mutable std::map<std::pair<quint64, int>, QAccessible::Id> m_cells;
    mutable std::map<int, QAccessible::Id> m_headers;
    QObject m_context; // ends the connections with the interface
};

} // namespace brenlow
