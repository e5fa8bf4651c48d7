// What a keyboard or screen-reader user meets in the window: the controls' names, a Tab order that
// follows the screen, a visible focus on every control, and Escape as "Cancel".
#include "app/Form1.h"

#include "app/LinkLabel.h"
#include "app/Settings.h"
#include "app/WebPane.h"
#include "controls/button/glintbutton.h"
#include "controls/common/FocusRing.h"
#include "controls/grid/ListGrid.h"
#include "controls/progressbar/SleekProgressBar.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>

namespace {

/** The window reads as a frame; a plain top-level widget would read as an unnamed filler. */
QAccessibleInterface* windowFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("Form1") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void Form1::setUpAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed)
    // The folder box reads by the label beside it.
    m_label2->setBuddy(m_text1);
    m_grid->setAccessibleName(QStringLiteral("Download list"));
    m_progress->setAccessibleName(QStringLiteral("Download progress"));
    m_wb->setAccessibleName(QStringLiteral("Start page"));
    m_label1->setAccessibleDescription(QStringLiteral("Status"));
    // A link's caption names the page; its address says where it leads.
    m_label3->setAccessibleDescription(QString::fromLatin1(brenlow::ProductSettings::ProductPage1));
    m_label4->setAccessibleDescription(QString::fromLatin1(brenlow::ProductSettings::ProductPage2));
    m_label5->setAccessibleDescription(QString::fromLatin1(brenlow::ProductSettings::MakerSite));

    // Row by row, left to right, as the controls lie on the screen.
    QWidget* const order[] = {m_command[1], m_command[4], m_label5, m_grid,   m_text1, m_command[2],
                              m_command[5], m_command[3], m_label3, m_label4, m_wb};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);

    // The buttons' own focus ring shows only at rest; the dotted rectangle also while the pointer
    // is over the button. The list marks only its current cell, the page only a link once one is
    // reached, the folder box a faint line and a link label nothing at all, so they get a ring of
    // their own.
    for (int n = 1; n <= 5; ++n)
        m_command[n]->SetShowFocusRect(true);
    for (QWidget* w : std::initializer_list<QWidget*>{m_grid, m_text1, m_wb, m_label3, m_label4, m_label5})
        new brenlow::FocusRing(w);

    // "Cancel" is enabled only while a run is under way, and then Escape stops it.
    m_command[3]->SetCancel(true);
}
