#include "controls/button/glintbutton.h"

#include "controls/button/ButtonPainter.h"
#include "controls/button/ButtonPictures.h"
#include "controls/button/ButtonTooltip.h"
#include "controls/button/glintbuttonAccessible.h"
#include "controls/common/ControlGuard.h"
#include "controls/common/PropertyBag.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>

using namespace brenlow;

namespace {

// The smallest size, 220 twips at 15 twips per pixel.
constexpr int MinimumSide = 15;

QFont containerFont(const QWidget* parent)
{
    return parent ? parent->font() : QApplication::font();
}

} // namespace

glintbutton::glintbutton(QWidget* parent)
    : QWidget(parent), m_p(ButtonProperties::Fresh(containerFont(parent), QStringLiteral("glintbutton1"))),
      m_behavior(*this)
{
    InstallButtonAccessibility();
    // Stored pictures may name the bundled ones by their resource path.
    EnsureButtonResources();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(MinimumSide, MinimumSide);
    QWidget::setFont(m_p.Font);
    updateAccessKey();
}

glintbutton::~glintbutton()
{
    UnsetPopupMenu();
    stopInterception();
}

void glintbutton::ReadProperties(const PropertyBag& bag)
{
    m_p.Read(bag, containerFont(parentWidget()));
    m_behavior.SetState(ButtonState::Normal);
    QWidget::setEnabled(m_p.Enabled);
    QWidget::setFont(m_p.Font);
    setLayoutDirection(m_p.RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    updateAccessKey();
    applyCursor();
    updateRegion();
    invalidate();
}

void glintbutton::WriteProperties(PropertyBag& bag) const
{
    m_p.Write(bag, containerFont(parentWidget()));
}

// ---- stored properties ------------------------------------------------------------------------

void glintbutton::follow(const ButtonProperties::Field& field)
{
    const ButtonChanges changes = ButtonProperties::ChangesOf(field);
    if (changes & ButtonChange::Enabled)
        QWidget::setEnabled(m_p.Enabled);
    if (changes & ButtonChange::Font)
        QWidget::setFont(m_p.Font);
    if (changes & ButtonChange::Direction) {
        setLayoutDirection(m_p.RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        if (m_tooltip)
            m_tooltip->setLayoutDirection(layoutDirection());
    }
    if (changes & ButtonChange::AccessKey)
        updateAccessKey();
    if (changes & ButtonChange::Cursor)
        applyCursor();
    if (changes & ButtonChange::Region)
        updateRegion();
    // Only a button with a picture looks different for some.
    if ((changes & ButtonChange::Picture) ||
        ((changes & ButtonChange::PictureIfAny) && !m_p.PictureNormal.isNull()))
        invalidate();
}

void glintbutton::tell(const ButtonProperties::Field& field)
{
    emit PropertyChanged(ButtonProperties::NameOf(field));
}

void glintbutton::SetMode(int value)
{
    if (!store(&ButtonProperties::Mode, value))
        return;
    if (value == ModeCommand)
        m_behavior.SetState(ButtonState::Normal);
    follow(&ButtonProperties::Mode);
    // The mode decides what the value may be, so both are announced.
    const ControlGuard alive(this);
    tell(&ButtonProperties::Value);
    if (alive)
        tell(&ButtonProperties::Mode);
}

void glintbutton::SetValue(bool value)
{
    if (m_p.Mode == ModeCommand) {
        // A command button is never checked.
        m_behavior.SetState(ButtonState::Normal);
        invalidate();
        return;
    }
    if (!store(&ButtonProperties::Value, value))
        return;
    if (!value)
        m_behavior.SetState(ButtonState::Normal);
    follow(&ButtonProperties::Value);
    tell(&ButtonProperties::Value);
}

void glintbutton::setHoverPicture(QImage ButtonProperties::*field, const QImage& value)
{
    if (m_p.PictureNormal.isNull()) {
        // The first picture given is the normal one; it shows from the next repaint on.
        if (store(&ButtonProperties::PictureNormal, value))
            tell(&ButtonProperties::PictureNormal);
        return;
    }
    set(field, value);
}

void glintbutton::SetDisplayAsDefault(bool value)
{
    m_displayAsDefault = value;
    updateDialogKeys();
    invalidate();
}

void glintbutton::SetCancel(bool value)
{
    m_cancel = value;
    updateDialogKeys();
}

// ---- methods ----------------------------------------------------------------------------------

void glintbutton::SetPopupMenu(QMenu* Menu, int Align, quint32 Flags, QAction* DefaultMenu)
{
    if (!Menu)
        return;
    m_menu = Menu;
    m_defaultAction = DefaultMenu;
    m_behavior.SetMenu(Align, Flags);
}

void glintbutton::UnsetPopupMenu()
{
    m_menu = nullptr;
    m_defaultAction = nullptr;
    m_behavior.UnsetMenu();
}

void glintbutton::OpenWebsite(const QString& sAddress)
{
    (void)brenlow::Host::shell().Open(sAddress);
}

void glintbutton::About()
{
    brenlow::Host::dialogs().MessageBox(
        QStringLiteral("glintbutton\n\nAn owner-drawn push, check and option button with fourteen looks, "
                       "picture and caption effects, tooltips and a drop-down menu."),
        QStringLiteral("About glintbutton"), Dialogs::Icon::Information);
}

QWidget* glintbutton::TooltipWindow() const
{
    return m_tooltip;
}

// ---- drawing ----------------------------------------------------------------------------------

void glintbutton::invalidate()
{
    m_stale = true;
    update();
    AnnounceButtonState(this);
}

void glintbutton::Refresh()
{
    m_stale = true;
    ensurePicture();
    update();
}

const QImage& glintbutton::Surface() const
{
    ensurePicture();
    return m_surface;
}

void glintbutton::ensurePicture() const
{
    // The surface has the screen's pixel density; painting is in the button's own pixels.
    const int w = std::max(1, width()), h = std::max(1, height());
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(w, h) * ratio).toSize();
    if (m_surface.size() != device || m_surface.devicePixelRatio() != ratio) {
        m_surface = QImage(device, QImage::Format_RGB32);
        m_surface.setDevicePixelRatio(ratio);
        m_stale = true;
    }
    if (!m_stale)
        return;
    ButtonPaintContext ctx;
    ctx.state = m_behavior.PaintState(m_p.ButtonStyle);
    ctx.hasFocus = m_behavior.HasFocus();
    ctx.isDefault = m_displayAsDefault;
    ctx.parentActive = m_behavior.ParentActive();
    ctx.mouseInside = m_behavior.MouseInside();
    ctx.widget = this;
    PaintButton(m_surface, m_p, ctx);
    m_stale = false;
}

void glintbutton::updateRegion()
{
    const QRegion region = ButtonRegion(m_p.ButtonStyle, width(), height());
    if (region.isEmpty() || region == QRegion(rect()))
        clearMask();
    else
        setMask(region);
}

void glintbutton::paintEvent(QPaintEvent* event)
{
    // The picture is made here, at the size and density the button has now.
    ensurePicture();
    QPainter painter(this);
    const QRect r = event->rect();
    const qreal ratio = m_surface.devicePixelRatio();
    painter.drawImage(QRectF(r), m_surface,
                      QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void glintbutton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The picture follows the new size when it is next painted.
    updateRegion();
}

// ---- the host side of the behaviour -----------------------------------------------------------

void glintbutton::ShowHandCursor()
{
    setCursor(Qt::PointingHandCursor);
}

void glintbutton::CaptureMouse()
{
    grabMouse();
}

void glintbutton::ReleaseMouse()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

bool glintbutton::HasCapture() const
{
    return QWidget::mouseGrabber() == this;
}

void glintbutton::MoveFocus(bool forward)
{
    focusNextPrevChild(forward);
}

bool glintbutton::PointerOverControl() const
{
    if (m_pointer)
        return rect().contains(*m_pointer) && (mask().isEmpty() || mask().contains(*m_pointer));
    return QApplication::widgetAt(QCursor::pos()) == this;
}

void glintbutton::UncheckOptionGroup()
{
    QWidget* container = parentWidget();
    if (!container)
        return;
    // Each change is announced, and a handler may delete any of the buttons, this one included.
    const ControlGuard alive(this);
    const auto siblings = container->findChildren<glintbutton*>(Qt::FindDirectChildrenOnly);
    QList<QPointer<glintbutton>> group;
    for (glintbutton* b : siblings)
        if (b != this && b->Mode() == ModeOption)
            group << b;
    for (const QPointer<glintbutton>& b : group) {
        if (!alive)
            return;
        if (b)
            b->SetValue(false);
    }
}

void glintbutton::ProcessPendingEvents()
{
    // The caller holds its own guard and ends its step when the button went in the pass.
    (void)PumpEvents(this);
}

void glintbutton::ShowTooltip()
{
    delete m_tooltip;
    auto* tip = new ButtonTooltip(this);
    tip->SetBalloon(m_p.TooltipType == 1);
    tip->setLayoutDirection(m_p.RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    tip->SetText(m_p.ToolTip);
    if (!m_p.TooltipTitle.isEmpty())
        tip->SetTitle(m_p.TooltipTitle, m_p.TooltipIcon);
    tip->SetMaxWidth(240);
    if (m_p.TooltipBackColor != 0)
        tip->SetBackColor(OleColor::ToQColor(m_p.TooltipBackColor));
    m_tooltip = tip;
    m_tooltip->Follow(QCursor::pos());
}

void glintbutton::PopupMenu(const MenuPlacement& placement)
{
    if (!m_menu)
        return;
    // The open menu takes the pointer from the button, as the platform reports it.
    m_behavior.MouseLeft();
    if (m_tooltip)
        m_tooltip->hide();
    if (m_defaultAction)
        m_menu->setDefaultAction(m_defaultAction);
    const QSize size = m_menu->sizeHint();
    QPoint at = mapToGlobal(QPoint(placement.x, placement.y));
    if (placement.flags & 8)
        at.rx() -= size.width();
    if (placement.flags & 32)
        at.ry() -= size.height();
    m_pointer.reset();
    m_menu->exec(at);
}
