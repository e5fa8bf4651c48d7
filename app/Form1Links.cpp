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
    brenlow::Host::shell().Open(URL);
}

void Form1::Label3_Click()
{
    brenlow::Host::shell().Open(QString::fromLatin1(brenlow::ProductSettings::ProductPage1));
}

void Form1::Label4_Click()
{
    brenlow::Host::shell().Open(QString::fromLatin1(brenlow::ProductSettings::ProductPage2));
}

void Form1::Label5_Click()
{
    brenlow::Host::shell().Open(QString::fromLatin1(brenlow::ProductSettings::MakerSite));
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
    ResumeNext([&] { brenlow::Host::shell().Open(tag); });
    QApplication::restoreOverrideCursor();
}
