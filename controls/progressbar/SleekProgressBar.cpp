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

template <typename T>
bool SleekProgressBar::assign(T brenlow::BarProperties::*field, const T& value, Repaint repaint)
{
    if (m_p.*field == value)
        return false;
    m_p.*field = value;
    if (repaint == Repaint::Full)
        invalidate();
    else
        updateValueSpan(m_p.Value);
    // Last: the container may do anything when it hears of the change.
    emit PropertyChanged(brenlow::BarProperties::KeyOf(field));
    return true;
}

void SleekProgressBar::SetBackColor(quint32 New_BackColor)
{
    assign(&BarProperties::BackColor, New_BackColor);
}

void SleekProgressBar::SetBarBorderStyle(int New_BarBorderStyle)
{
    if (m_p.BarBorderStyle == New_BarBorderStyle)
        return;
    m_p.BarBorderStyle = New_BarBorderStyle;
    ApplyWindowRegion();
    invalidate();
    emit PropertyChanged(BarProperties::KeyOf(&BarProperties::BarBorderStyle));
}

void SleekProgressBar::SetBorderColor(quint32 New_BorderColor)
{
    assign(&BarProperties::BorderColor, New_BorderColor);
}

void SleekProgressBar::SetBarColorSet(int New_BarColorSet)
{
    // Assigning a set loads its picture even when it is the set already chosen: the picture may have
    // been replaced, or may have the other orientation since the direction changed. Set 0 means
    // "keep the picture given": nothing to load and nothing to repaint.
    m_p.BarColorSet = New_BarColorSet;
    if (New_BarColorSet != 0) {
        LoadBarPicture();
        ComputeLayout();
        invalidate();
    }
    emit PropertyChanged(BarProperties::KeyOf(&BarProperties::BarColorSet));
}

void SleekProgressBar::SetBarFillDirection(int New_BarFillDirection)
{
    // The picture is not reloaded: a built-in picture keeps its orientation until the colour set
    // is assigned again.
    assign(&BarProperties::BarFillDirection, New_BarFillDirection);
}

void SleekProgressBar::SetBar_Pic(const QImage& newPic)
{
    // The layout follows the picture before the repaint.
    if (m_p.Bar_Pic == newPic)
        return;
    m_p.Bar_Pic = newPic;
    ComputeLayout();
    invalidate();
    emit PropertyChanged(BarProperties::KeyOf(&BarProperties::Bar_Pic));
}

void SleekProgressBar::SetBarSpaceBetweenImages(int New_BarSpaceBetweenImages)
{
    assign(&BarProperties::BarSpaceBetweenImages, New_BarSpaceBetweenImages);
}

void SleekProgressBar::SetBarStyle(int New_BarStyle)
{
    assign(&BarProperties::BarStyle, New_BarStyle);
}

void SleekProgressBar::SetEnabled(bool New_Enabled)
{
    if (New_Enabled == m_p.Enabled)
        return;
    setEnabled(New_Enabled);
    assign(&BarProperties::Enabled, New_Enabled);
}

void SleekProgressBar::SetMin(qint32 New_Mini)
{
    if (New_Mini >= m_p.Max) {
        ShowRangeError();
        return;
    }
    assign(&BarProperties::Min, New_Mini);
}

void SleekProgressBar::SetMax(qint32 New_Maxi)
{
    if (New_Maxi <= m_p.Min) {
        ShowRangeError();
        return;
    }
    assign(&BarProperties::Max, New_Maxi);
}

void SleekProgressBar::SetValue(qint32 New_Value)
{
    if (m_designMode && (New_Value < m_p.Min || New_Value > m_p.Max)) {
        ShowRangeError();
        return;
    }
    assign(&BarProperties::Value, New_Value, Repaint::Incremental);
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
