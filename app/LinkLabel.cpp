#include "app/LinkLabel.h"

#include <QMouseEvent>

namespace brenlow {

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
    QLabel::mouseReleaseEvent(event);
}

PaneMouseFilter::PaneMouseFilter(QWidget* pane, QObject* parent) : QObject(parent), m_pane(pane) {}

bool PaneMouseFilter::IsOverPane(const QObject* watched) const
{
    for (const QObject* o = watched; o; o = o->parent()) {
        if (o == m_pane)
            return true;
    }
    return false;
}

bool PaneMouseFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && IsOverPane(watched))
            return true;
        break;
    case QEvent::ContextMenu:
        if (IsOverPane(watched))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace brenlow
