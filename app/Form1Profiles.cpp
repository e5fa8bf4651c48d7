// The profile editor: Combo1 edits the visible Profile column from the row's own profile list.
#include "app/Form1.h"

#include "app/GridDesign.h"
#include "app/ProfileParser.h"
#include "app/ResumeNext.h"
#include "controls/grid/ListGrid.h"

#include <QComboBox>

using brenlow::ResumeNext;
namespace Col = brenlow::Col;

void Form1::refillCombo(int row)
{
    const QString chosen = m_grid->CellText(row, Col::Profile);
    if (chosen.isEmpty()) {
        m_combo->setCurrentIndex(-1);
        return;
    }
    m_combo->clear();
    m_text5 = m_grid->CellText(row, Col::ProfileList);
    m_combo->addItems(brenlow::EntriesOfProfileList(m_text5));
    m_combo->setCurrentIndex(m_combo->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void Form1::ListGrid1_BeforeEdit(int Row, int Col, bool& Cancel)
{
    Q_UNUSED(Cancel);
    if (Col == Col::Profile)
        ResumeNext([&] { refillCombo(Row); });
}

void Form1::ListGrid1_AfterEdit(int Row, int Col, QString& New_Value, bool& Cancel)
{
    Q_UNUSED(Cancel);
    if (Col != Col::Profile)
        return;
    // Only an entry of the row's own list is stored: a combo box refilled for another video, or
    // without a chosen entry, keeps the cell as it was.
    const QString chosen = m_combo->currentIndex() >= 0 ? m_combo->currentText() : QString();
    const QStringList own = brenlow::EntriesOfProfileList(m_grid->CellText(Row, Col::ProfileList));
    New_Value = own.contains(chosen) ? chosen : m_grid->CellText(Row, Col::Profile);
}

void Form1::ListGrid1_Click()
{
    ResumeNext([&] {
        const int row = m_grid->Row();
        if (row >= 0)
            refillCombo(row);
    });
}

void Form1::Combo1_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == 13) {
        ResumeNext([&] { m_grid->UpdateCell(); });
        KeyCode = 0;
    }
}
