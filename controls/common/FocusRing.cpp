#include "controls/common/FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace brenlow {

FocusRing::FocusRing(QWidget* target) : QWidget(target ? target->parentWidget() : nullptr), m_target(target)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    if (!target)
        return;
    target->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { follow(); });
    connect(target, &QObject::destroyed, this, &QObject::deleteLater);
    follow();
}

QColor FocusRing::Color() const
{
    return (m_target ? m_target->palette() : palette()).color(QPalette::Highlight).darker(200);
}

bool FocusRing::focusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && m_target && (focus == m_target || m_target->isAncestorOf(focus));
}

void FocusRing::follow()
{
    if (!m_target || !m_target->isVisible() || !focusInside()) {
        hide();
        return;
    }
    const QRect outer = m_target->geometry().adjusted(-Thickness, -Thickness, Thickness, Thickness);
    if (geometry() != outer) {
        setGeometry(outer);
        setMask(QRegion(rect()) - QRegion(rect().adjusted(Thickness, Thickness, -Thickness, -Thickness)));
    }
    stackUnder(m_target);
    show();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::EnabledChange:
            follow();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Color());
}

} // namespace brenlow
