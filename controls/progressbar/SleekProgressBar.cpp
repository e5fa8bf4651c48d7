#include "controls/progressbar/SleekProgressBar.h"

#include "controls/common/PropertyBag.h"
#include "controls/progressbar/BarPictures.h"
#include "controls/progressbar/SleekProgressBarAccessible.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

using brenlow::BarProperties;
using brenlow::PropertyBag;

SleekProgressBar::SleekProgressBar(QWidget* parent) : QWidget(parent)
{
    brenlow::InstallProgressBarAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitProperties();
}

SleekProgressBar::~SleekProgressBar() = default;

void SleekProgressBar::follow(const BarProperties::Field& field)
{
    const brenlow::BarChanges changes = BarProperties::ChangesOf(field);
    if (changes & brenlow::BarChange::Enabled)
        setEnabled(m_p.Enabled);
    if (changes & brenlow::BarChange::Layout)
        ComputeLayout();
    if (changes & brenlow::BarChange::Shape)
        ApplyWindowRegion();
    if (changes & brenlow::BarChange::Picture)
        invalidate();
    else if (changes & brenlow::BarChange::Track)
        updateValueSpan(m_p.Value);
}

void SleekProgressBar::tell(const BarProperties::Field& field)
{
    emit PropertyChanged(BarProperties::KeyOf(field));
}

void SleekProgressBar::SetBarColorSet(int New_BarColorSet)
{
    // Assigning a set loads its picture even when it is the set already chosen: the picture may have
    // been replaced, or may have the other orientation since the direction changed. Set 0 means
    // "keep the picture given": nothing to load and nothing to repaint.
    m_p.BarColorSet = New_BarColorSet;
    if (New_BarColorSet != 0) {
        LoadBarPicture();
        follow(&BarProperties::BarColorSet);
    }
    tell(&BarProperties::BarColorSet);
}

void SleekProgressBar::SetMin(qint32 New_Mini)
{
    if (New_Mini >= m_p.Max) {
        ShowRangeError();
        return;
    }
    set(&BarProperties::Min, New_Mini);
}

void SleekProgressBar::SetMax(qint32 New_Maxi)
{
    if (New_Maxi <= m_p.Min) {
        ShowRangeError();
        return;
    }
    set(&BarProperties::Max, New_Maxi);
}

void SleekProgressBar::SetValue(qint32 New_Value)
{
    if (m_designMode && (New_Value < m_p.Min || New_Value > m_p.Max)) {
        ShowRangeError();
        return;
    }
    set(&BarProperties::Value, New_Value);
}

void SleekProgressBar::ShowRangeError()
{
    brenlow::Host::dialogs().MessageBox(QString(), QString(), brenlow::Dialogs::Icon::Critical);
}

void SleekProgressBar::invalidate()
{
    m_redrawNeeded = true;
    update();
}

void SleekProgressBar::InitProperties()
{
    m_p = BarProperties();
    setEnabled(true);
    LoadBarPicture();
    ComputeLayout();
    m_lastPainted = m_p.Value;
    ApplyWindowRegion();
    invalidate();
}

void SleekProgressBar::ReadProperties(const PropertyBag& bag)
{
    m_p.Read(bag);
    setEnabled(m_p.Enabled);
    m_lastPainted = m_p.Value;
    ComputeLayout();
    ApplyWindowRegion();
    invalidate();
}

void SleekProgressBar::WriteProperties(PropertyBag& bag) const
{
    m_p.Write(bag);
}

void SleekProgressBar::LoadBarPicture()
{
    const int orientation = (m_p.BarFillDirection == 2 || m_p.BarFillDirection == 3) ? 1 : 0;
    const QString name = QStringLiteral("prg%1%2").arg(m_p.BarColorSet).arg(orientation);
    QImage picture = brenlow::LoadBarResource(name);
    // A set that has no picture keeps the one shown, rather than leaving an empty bar.
    if (!picture.isNull())
        m_p.Bar_Pic = picture;
}

void SleekProgressBar::chooseTilePicture()
{
    m_tile = m_p.Bar_Pic;
    if (SurfaceRatio() < 2.0 || m_p.Bar_Pic.isNull())
        return;
    // The set's picture, of either orientation (a direction keeps the picture loaded before it).
    for (const int orientation : {0, 1}) {
        const QString name = QStringLiteral("prg%1%2").arg(m_p.BarColorSet).arg(orientation);
        if (m_p.Bar_Pic != brenlow::LoadBarResource(name))
            continue;
        const QImage dense = brenlow::LoadDenseBarResource(name);
        if (!dense.isNull() && dense.deviceIndependentSize().toSize() == m_p.Bar_Pic.size())
            m_tile = dense;
        return;
    }
}

void SleekProgressBar::ComputeLayout()
{
    if (m_p.Bar_Pic.isNull())
        return;
    m_layout = brenlow::ProgressBarLayout::Compute(size(), m_p.Bar_Pic.size(), m_p.BarFillDirection,
                                                   m_p.BarStyle, m_p.BarSpaceBetweenImages);
}

QRegion SleekProgressBar::TakeDrawnRegion()
{
    settle();
    QRegion r = m_drawn;
    m_drawn = QRegion();
    return r;
}

void SleekProgressBar::MarkDrawn(const QRect& rect)
{
    const QRect r = rect.intersected(this->rect());
    if (r.isEmpty())
        return;
    m_drawn += r;
    m_unshown += r;
}

void SleekProgressBar::paintEvent(QPaintEvent* event)
{
    // The picture is made here, not by the setters: a hidden bar only collects what changed.
    settle();
    QPainter p(this);
    const qreal ratio = m_surface.devicePixelRatio();
    for (const QRect& r : event->region())
        p.drawImage(QRectF(r), m_surface,
                    QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    // Whatever this pass drew outside the part asked for shows with the next one.
    const QRegion late = m_unshown - event->region();
    m_unshown = QRegion();
    if (!late.isEmpty())
        update(late);
}

qreal SleekProgressBar::SurfaceRatio() const
{
    return devicePixelRatioF();
}

void SleekProgressBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ComputeLayout();
    ApplyWindowRegion();
    invalidate();
}

void SleekProgressBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ScreenChangeInternal)
        invalidate();
}
