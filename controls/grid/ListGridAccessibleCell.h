#pragma once

#include <QAccessible>
#include <QPointer>

class ListGrid;

namespace brenlow {

class ListGridAccessible;
struct GridCell;

/** One cell of the grid's accessible table, known by its row's id and its column index. Its name
 *  is the cell text (a progress cell without text: its value as a percentage); a progress cell
 *  also reads as a value from 0 to 100; a link or button cell offers the press action the Space
 *  key gives it. */
class GridCellAccessible final : public QAccessibleInterface,
                                 public QAccessibleTableCellInterface,
                                 public QAccessibleValueInterface,
                                 public QAccessibleActionInterface
{
public:
    GridCellAccessible(ListGrid* grid, quint64 rowId, int col) : m_grid(grid), m_rowId(rowId), m_col(col) {}

    [[nodiscard]] quint64 rowId() const { return m_rowId; }
    [[nodiscard]] int column() const { return m_col; }
    /** The cell's display row, or -1 when its row is gone. */
    [[nodiscard]] int displayRow() const;
    [[nodiscard]] bool isProgress() const;

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

    // QAccessibleValueInterface (progress cells)
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

    // QAccessibleActionInterface (link and button cells)
    QStringList actionNames() const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    [[nodiscard]] ListGridAccessible* tableInterface() const;
    [[nodiscard]] const GridCell* cell() const;
    [[nodiscard]] bool isLink() const;
    [[nodiscard]] bool isButton() const;

    QPointer<ListGrid> m_grid;
    quint64 m_rowId;
    int m_col;
};

/** The header of one column: its caption. */
class GridHeaderAccessible final : public QAccessibleInterface
{
public:
    GridHeaderAccessible(ListGrid* grid, int col) : m_grid(grid), m_col(col) {}
    [[nodiscard]] int column() const { return m_col; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override;

private:
    [[nodiscard]] ListGridAccessible* tableInterface() const;

    QPointer<ListGrid> m_grid;
    int m_col;
};

} // namespace brenlow
