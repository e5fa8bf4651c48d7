#include "controls/button/ButtonTooltip.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>

namespace brenlow {

namespace {
constexpr int Padding = 4;
constexpr int TailHeight = 12;
constexpr int Radius = 6;
constexpr int IconSize = 16;
constexpr int ShowDelayMs = 500;
constexpr int VisibleMs = 5000;
} // namespace

ButtonTooltip::ButtonTooltip(QWidget* tool)
    : QWidget(tool, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), m_tool(tool)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_back = palette().color(QPalette::ToolTipBase);
    m_showTimer.setSingleShot(true);
    m_hideTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, [this] { ShowAt(m_pointer); });
    connect(&m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
    if (tool)
        tool->installEventFilter(this);
}

void ButtonTooltip::SetText(const QString& text)
{
    m_text = text;
    relayout();
}

void ButtonTooltip::SetTitle(const QString& title, int icon)
{
    m_title = title;
    m_icon = icon;
    relayout();
}

void ButtonTooltip::SetBalloon(bool balloon)
{
    m_balloon = balloon;
    relayout();
}

void ButtonTooltip::SetMaxWidth(int pixels)
{
    m_maxWidth = pixels;
    relayout();
}

void ButtonTooltip::SetBackColor(const QColor& color)
{
    m_back = color;
    update();
}

QRect ButtonTooltip::textRect() const
{
    // Text wraps at the maximum width; a single word longer than that keeps its length.
    const QFontMetrics fm(font());
    return fm.boundingRect(QRect(0, 0, m_maxWidth, 10000), Qt::TextWordWrap, m_text);
}

void ButtonTooltip::relayout()
{
    const QRect text = textRect();
    int w = text.width(), h = text.height();
    if (!m_title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const int titleWidth = fm.horizontalAdvance(m_title) + (m_icon ? IconSize + Padding : 0);
        w = std::max(w, titleWidth);
        h += std::max(fm.height(), m_icon ? IconSize : 0) + Padding;
    }
    w += 2 * Padding + (m_balloon ? 2 * Radius : 2);
    h += 2 * Padding + (m_balloon ? TailHeight + 2 : 2);
    resize(w, h);
    QResizeEvent again(size(), size());
    resizeEvent(&again); // the shape follows the kind even when the size stays
    update();
}

void ButtonTooltip::Follow(const QPoint& globalPos)
{
    m_pointer = globalPos;
    if (isVisible())
        ShowAt(globalPos);
    else
        m_showTimer.start(ShowDelayMs);
}

void ButtonTooltip::ShowAt(const QPoint& globalPos)
{
    m_showTimer.stop();
    if (m_text.isEmpty())
        return;
    // The standard tip sits below-right of the pointer; the balloon's tail points at it.
    QPoint at = m_balloon ? globalPos + QPoint(-Radius - 8, 4) : globalPos + QPoint(2, 20);
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect avail = screen->availableGeometry();
        at.setX(std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() - width())));
        at.setY(std::clamp(at.y(), avail.top(), std::max(avail.top(), avail.bottom() - height())));
    }
    move(at);
    show();
    raise();
    m_hideTimer.start(VisibleMs);
}

bool ButtonTooltip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tool) {
        switch (event->type()) {
        case QEvent::MouseMove:
            Follow(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Hide:
        case QEvent::KeyPress:
            m_showTimer.stop();
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QPainterPath ButtonTooltip::balloonPath() const
{
    QRect body = rect().adjusted(0, 0, -1, -1);
    body.setTop(body.top() + TailHeight);
    QPainterPath path;
    path.addRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), Radius, Radius);
    QPainterPath tail;
    const qreal tx = Radius + 8;
    tail.moveTo(tx, 0.5);
    tail.lineTo(tx + 2, body.top() + 1);
    tail.lineTo(tx + 14, body.top() + 1);
    tail.closeSubpath();
    return path.united(tail);
}

void ButtonTooltip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The balloon's shape is its window's shape, so no translucency is needed around it.
    if (m_balloon)
        setMask(QRegion(balloonPath().toFillPolygon().toPolygon()));
    else
        clearMask();
}

void ButtonTooltip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor border = palette().color(QPalette::ToolTipText);
    QRect body = rect().adjusted(0, 0, -1, -1);
    if (m_balloon) {
        body.setTop(body.top() + TailHeight);
        p.fillRect(rect(), m_back);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(border);
        p.setBrush(m_back);
        p.drawPath(balloonPath());
        p.setRenderHint(QPainter::Antialiasing, false);
    } else {
        p.fillRect(body, m_back);
        p.setPen(border);
        p.drawRect(body);
    }
    p.setPen(palette().color(QPalette::ToolTipText));
    int x = body.left() + Padding + (m_balloon ? Radius : 1);
    int y = body.top() + Padding + 1;
    if (!m_title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        int tx = x;
        if (m_icon >= 1 && m_icon <= 3) {
            static constexpr QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxInformation,
                                                               QStyle::SP_MessageBoxWarning,
                                                               QStyle::SP_MessageBoxCritical};
            const QIcon icon = style()->standardIcon(icons[m_icon - 1]);
            icon.paint(&p, QRect(x, y, IconSize, IconSize));
            tx += IconSize + Padding;
        }
        p.setFont(bold);
        p.drawText(QRect(tx, y, width(), fm.height()), Qt::AlignLeft | Qt::AlignVCenter, m_title);
        p.setFont(font());
        y += std::max(fm.height(), m_icon ? IconSize : 0) + Padding;
    }
    const QRect text = textRect();
    p.drawText(QRect(x, y, text.width(), text.height()), Qt::TextWordWrap | Qt::AlignLeft, m_text);
}

} // namespace brenlow
