#pragma once

#include <QtGlobal>

namespace brenlow {

class ListGridModel;

/**
 * The grid's row selection. The Selected flags live in the model's rows (they move and go with the
 * rows); this class holds the rules that change them: a click by MultiSelect mode, a Ctrl or Shift
 * click, a drag or Shift move from the anchor row, Select All. Every change reports whether any
 * row's selection changed, so the grid raises SelectionChanged only then. Rows are display rows.
 */
class ListGridSelection final
{
public:
    explicit ListGridSelection(ListGridModel& model) : m_model(model) {}
    ListGridSelection(const ListGridSelection&) = delete;
    ListGridSelection& operator=(const ListGridSelection&) = delete;

    [[nodiscard]] bool isSelected(qint32 row) const;
    [[nodiscard]] qint32 count() const;
    /** Selects or unselects one row. */
    bool setSelected(qint32 row, bool on);
    bool clear();
    /** Selects exactly the visible rows from..to (none when from > to or from < 0). */
    bool selectOnly(qint32 from, qint32 to);
    /** Selects every visible row besides those already selected. */
    bool selectAllVisible();
    /** The selection a left click on `row` makes: MultiSelect 0 keeps one row (Ctrl toggles it
     *  alone), 1 extends with Shift from the current row and toggles with Ctrl, 2 toggles. */
    bool click(qint32 row, qint32 currentRow, int multiSelect, bool ctrl, bool shift);

    /** The row a drag or a Shift move extends from (-1 none). */
    [[nodiscard]] qint32 anchor() const { return m_anchor; }
    void setAnchor(qint32 row) { m_anchor = row; }
    /** Selects exactly the visible rows between the anchor and `row`. */
    bool extendTo(qint32 row);

private:
    ListGridModel& m_model;
    qint32 m_anchor = -1;
};

} // namespace brenlow
