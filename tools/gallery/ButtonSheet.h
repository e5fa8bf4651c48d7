#pragma once

#include <QWidget>

/** A sheet of glintbuttons: the main window's five buttons live, then every style drawn in each
 *  of its looks (normal, hot, down, disabled, focused, checked, with a drop-down symbol). */
class ButtonSheet final : public QWidget
{
    Q_OBJECT

public:
    explicit ButtonSheet(QWidget* parent = nullptr);

    /** Puts the live buttons into their looks for a picture: hot, pressed and focused. */
    void ShowLiveStates();

private:
    QList<class glintbutton*> m_live;
};
