// The web pane, the link labels and the link cells of the list.
#include "app/Form1.h"

#include "app/GridDesign.h"
#include "app/ResumeNext.h"
#include "app/Settings.h"
#include "app/WebPane.h"
#include "controls/grid/ListGrid.h"
#include "platform/Host.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

using brenlow::ResumeNext;

void Form1::wb_DocumentComplete()
{
    m_text2 = m_wb->LocationURL();
    m_watcherTimer.start();
}

void Form1::WatcherTimer_Timer()
{
    // The watcher looks once after each page load.
    m_watcherTimer.stop();
    if (m_text2 == QLatin1String(brenlow::ProductSettings::StartPage))
        return;
    m_wb->setVisible(false);
    GotoURL(m_text2);
}

void Form1::GotoURL(const QString& URL)
{
    openAddress(URL);
}

void Form1::openAddress(const QString& address)
{
    brenlow::Shell& shell = brenlow::Host::shell();
    if (shell.Open(address))
        return;
    QString reason = shell.LastError();
    if (reason.isEmpty())
        reason = QStringLiteral("no program could open it");
    // A long address gives way in its middle, so the reason still shows inside the window.
    const QString frame = QStringLiteral("Unable to open %1: ") + reason;
    const QFontMetrics metrics(m_label1->font());
    const int room = width() - 2 * StatusMargin - metrics.horizontalAdvance(frame.arg(QString()));
    setStatus(frame.arg(metrics.elidedText(address, Qt::ElideMiddle, std::max(room, 80))));
}

void Form1::Label3_Click()
{
    openAddress(QString::fromLatin1(brenlow::ProductSettings::ProductPage1));
}

void Form1::Label4_Click()
{
    openAddress(QString::fromLatin1(brenlow::ProductSettings::ProductPage2));
}

void Form1::Label5_Click()
{
    openAddress(QString::fromLatin1(brenlow::ProductSettings::MakerSite));
}

void Form1::ListGrid1_CellHandClick(int Row, int Col, qint16& Shift)
{
    Q_UNUSED(Row);
    Q_UNUSED(Col);
    Q_UNUSED(Shift);
    // The link of the current row, whichever cell the click named.
    QString tag = m_grid->CellTag(m_grid->Row(), brenlow::Col::VideoLink);
    if (tag.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (tag.contains(QLatin1String("www.")) && !tag.contains(QLatin1String("://")))
        tag.prepend(QStringLiteral("http://"));
    ResumeNext([&] { openAddress(tag); });
    QApplication::restoreOverrideCursor();
}
