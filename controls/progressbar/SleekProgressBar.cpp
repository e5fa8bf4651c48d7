#include "controls/progressbar/SleekProgressBar.h"

#include "controls/common/PropertyBag.h"
#include "controls/progressbar/BarPictures.h"
#include "controls/progressbar/SleekProgressBarAccessible.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

using brenlow::PropertyBag;

SleekProgressBar::SleekProgressBar(QWidget* parent) : QWidget(parent)
{
    brenlow::InstallProgressBarAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitProperties();
}

SleekProgressBar::~SleekProgressBar() = default;

void SleekProgressBar::SetBackColor(quint32 New_BackColor)
{
    if (New_BackColor == m_backColor)
        return;
    m_backColor = New_BackColor;
    emit PropertyChanged(QStringLiteral("BackColor"));
    FullRefresh();
}

void SleekProgressBar::SetBarBorderStyle(int New_BarBorderStyle)
{
    if (New_BarBorderStyle == m_barBorderStyle)
        return;
    m_barBorderStyle = New_BarBorderStyle;
    emit PropertyChanged(QStringLiteral("BarBorderStyle"));
    FullRefresh();
}

void SleekProgressBar::SetBorderColor(quint32 New_BorderColor)
{
    if (New_BorderColor == m_borderColor)
        return;
    m_borderColor = New_BorderColor;
    emit PropertyChanged(QStringLiteral("BorderColor"));
    FullRefresh();
}

void SleekProgressBar::SetBarColorSet(int New_BarColorSet)
{
    m_barColorSet = New_BarColorSet;
    emit PropertyChanged(QStringLiteral("BarColorSet"));
    // Set 0 means "keep the picture given": nothing to load and nothing to repaint.
    if (New_BarColorSet == 0)
        return;
    LoadBarPicture();
    ComputeLayout();
    FullRefresh();
}

void SleekProgressBar::SetBarFillDirection(int New_BarFillDirection)
{
    // The picture is not reloaded: a built-in picture keeps its orientation until the colour set
    // is assigned again.
    m_barFillDirection = New_BarFillDirection;
    emit PropertyChanged(QStringLiteral("BarFillDirection"));
    FullRefresh();
}

void SleekProgressBar::SetBar_Pic(const QImage& newPic)
{
    m_barPic = newPic;
    emit PropertyChanged(QStringLiteral("Bar_Pic"));
    ComputeLayout();
    FullRefresh();
}

void SleekProgressBar::SetBarSpaceBetweenImages(int New_BarSpaceBetweenImages)
{
    m_barSpaceBetweenImages = New_BarSpaceBetweenImages;
    emit PropertyChanged(QStringLiteral("BarSpaceBetweenImages"));
    FullRefresh();
}

void SleekProgressBar::SetBarStyle(int New_BarStyle)
{
    if (New_BarStyle == m_barStyle)
        return;
    m_barStyle = New_BarStyle;
    emit PropertyChanged(QStringLiteral("BarStyle"));
    FullRefresh();
}

void SleekProgressBar::SetEnabled(bool New_Enabled)
{
    if (New_Enabled == m_enabled)
        return;
    m_enabled = New_Enabled;
    setEnabled(New_Enabled);
    emit PropertyChanged(QStringLiteral("Enabled"));
    FullRefresh();
}

void SleekProgressBar::SetMin(qint32 New_Mini)
{
    if (New_Mini >= m_max) {
        ShowRangeError();
        return;
    }
    m_min = New_Mini;
    emit PropertyChanged(QStringLiteral("Min"));
    FullRefresh();
}

void SleekProgressBar::SetMax(qint32 New_Maxi)
{
    if (New_Maxi <= m_min) {
        ShowRangeError();
        return;
    }
    m_max = New_Maxi;
    emit PropertyChanged(QStringLiteral("Max"));
    FullRefresh();
}

void SleekProgressBar::SetValue(qint32 New_Value)
{
    if (m_designMode && (New_Value < m_min || New_Value > m_max)) {
        ShowRangeError();
        return;
    }
    m_value = New_Value;
    emit PropertyChanged(QStringLiteral("Value"));
    Refresh();
}

void SleekProgressBar::ShowRangeError()
{
    brenlow::Host::dialogs().MessageBox(QString(), QString(), brenlow::Dialogs::Icon::Critical);
}

void SleekProgressBar::FullRefresh()
{
    m_redrawNeeded = true;
    Refresh();
}

void SleekProgressBar::InitProperties()
{
    m_backColor = DefaultBackColor;
    m_barBorderStyle = DefaultBarBorderStyle;
    m_borderColor = DefaultBorderColor;
    m_barColorSet = DefaultBarColorSet;
    m_barFillDirection = DefaultBarFillDirection;
    m_barSpaceBetweenImages = DefaultBarSpaceBetweenImages;
    m_barStyle = DefaultBarStyle;
    m_min = DefaultMin;
    m_max = DefaultMax;
    m_value = DefaultValue;
    m_enabled = true;
    setEnabled(true);
    LoadBarPicture();
    ComputeLayout();
    m_lastPainted = m_value;
    FullRefresh();
}

namespace {

// Key names, in the order they are written.
const QString kMin = QStringLiteral("Min");
const QString kMax = QStringLiteral("Max");
const QString kValue = QStringLiteral("Value");
const QString kBarStyle = QStringLiteral("BarStyle");
const QString kBarColorSet = QStringLiteral("BarColorSet");
const QString kBarPic = QStringLiteral("Bar_Pic");
const QString kBarBorderStyle = QStringLiteral("BarBorderStyle");
const QString kBorderColor = QStringLiteral("BorderColor");
const QString kBarFillDirection = QStringLiteral("BarFillDirection");
const QString kBackColor = QStringLiteral("BackColor");
const QString kEnabled = QStringLiteral("Enabled");
const QString kBarSpace = QStringLiteral("BarSpaceBetweenImages");

qint32 readInt32(const PropertyBag& bag, const QString& key, qint32 defaultValue)
{
    const qint64 v = bag.ReadInt(key, defaultValue);
    return (v < INT32_MIN || v > INT32_MAX) ? defaultValue : static_cast<qint32>(v);
}

} // namespace

void SleekProgressBar::ReadProperties(const PropertyBag& bag)
{
    m_min = readInt32(bag, kMin, DefaultMin);
    m_max = readInt32(bag, kMax, DefaultMax);
    m_value = readInt32(bag, kValue, DefaultValue);
    m_barStyle = readInt32(bag, kBarStyle, DefaultBarStyle);
    m_barColorSet = readInt32(bag, kBarColorSet, DefaultBarColorSet);
    const QVariant pic = bag.ReadProperty(kBarPic);
    m_barPic = pic.canConvert<QImage>() ? pic.value<QImage>() : QImage();
    m_barBorderStyle = readInt32(bag, kBarBorderStyle, DefaultBarBorderStyle);
    m_borderColor = bag.ReadColor(kBorderColor, DefaultBorderColor);
    m_barFillDirection = readInt32(bag, kBarFillDirection, DefaultBarFillDirection);
    m_backColor = bag.ReadColor(kBackColor, DefaultBackColor);
    m_enabled = bag.ReadBool(kEnabled, true);
    setEnabled(m_enabled);
    m_barSpaceBetweenImages = readInt32(bag, kBarSpace, DefaultBarSpaceBetweenImages);
    m_lastPainted = m_value;
    m_redrawNeeded = true;
    ComputeLayout();
    Refresh();
}

void SleekProgressBar::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(kMin, m_min, DefaultMin);
    bag.WriteProperty(kMax, m_max, DefaultMax);
    bag.WriteProperty(kValue, m_value, DefaultValue);
    bag.WriteProperty(kBarStyle, m_barStyle, DefaultBarStyle);
    bag.WriteProperty(kBarColorSet, m_barColorSet, DefaultBarColorSet);
    bag.WriteProperty(kBarPic, m_barPic.isNull() ? QVariant() : QVariant(m_barPic), QVariant());
    bag.WriteProperty(kBarBorderStyle, m_barBorderStyle, DefaultBarBorderStyle);
    bag.WriteProperty(kBorderColor, m_borderColor, DefaultBorderColor);
    bag.WriteProperty(kBarFillDirection, m_barFillDirection, DefaultBarFillDirection);
    bag.WriteProperty(kBackColor, m_backColor, DefaultBackColor);
    // Booleans are stored as 16-bit values, True = -1.
    bag.WriteProperty(kEnabled, QVariant::fromValue<qint16>(m_enabled ? -1 : 0),
                      QVariant::fromValue<qint16>(-1));
    bag.WriteProperty(kBarSpace, m_barSpaceBetweenImages, DefaultBarSpaceBetweenImages);
}

void SleekProgressBar::LoadBarPicture()
{
    const int orientation = (m_barFillDirection == 2 || m_barFillDirection == 3) ? 1 : 0;
    const QString name = QStringLiteral("prg%1%2").arg(m_barColorSet).arg(orientation);
    QImage picture = brenlow::LoadBarResource(name);
    // A set that has no picture keeps the one shown, rather than leaving an empty bar.
    if (!picture.isNull())
        m_barPic = picture;
}

void SleekProgressBar::ComputeLayout()
{
    if (m_barPic.isNull())
        return;
    m_layout = brenlow::ProgressBarLayout::Compute(size(), m_barPic.size(), m_barFillDirection, m_barStyle,
                                                   m_barSpaceBetweenImages);
}

QRegion SleekProgressBar::TakeDrawnRegion()
{
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
    update(r);
}

void SleekProgressBar::paintEvent(QPaintEvent* event)
{
    // Moved to a screen of another density: paint anew at its ratio before showing anything.
    if (m_surface.devicePixelRatio() != SurfaceRatio())
        FullRefresh();
    QPainter p(this);
    const qreal ratio = m_surface.devicePixelRatio();
    for (const QRect& r : event->region())
        p.drawImage(QRectF(r), m_surface,
                    QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

qreal SleekProgressBar::SurfaceRatio() const
{
    return devicePixelRatioF();
}

void SleekProgressBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FullRefresh();
}

void SleekProgressBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        FullRefresh();
    else if (event->type() == QEvent::ScreenChangeInternal)
        FullRefresh();
}
