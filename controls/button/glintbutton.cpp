#include "controls/button/glintbutton.h"

#include "controls/button/ButtonPainter.h"
#include "controls/button/ButtonPictures.h"
#include "controls/button/ButtonTooltip.h"
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
    // Stored pictures may name the bundled ones by their resource path.
    EnsureButtonResources();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(MinimumSide, MinimumSide);
    QWidget::setFont(m_p.Font);
    updateAccessKey();
    redraw();
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
    redraw();
}

void glintbutton::WriteProperties(PropertyBag& bag) const
{
    m_p.Write(bag, containerFont(parentWidget()));
}

void glintbutton::changed(const QString& name)
{
    emit PropertyChanged(name);
}

// ---- property setters -------------------------------------------------------------------------

void glintbutton::SetButtonStyle(int value)
{
    m_p.ButtonStyle = value;
    changed(QStringLiteral("ButtonStyle"));
    m_p.ApplyStyleColorScheme();
    m_p.ApplyStyleColors();
    updateRegion();
    redraw();
}

void glintbutton::SetShowFocusRect(bool value)
{
    m_p.ShowFocusRect = value;
    changed(QStringLiteral("ShowFocusRect"));
}

void glintbutton::SetEnabled(bool value)
{
    m_p.Enabled = value;
    changed(QStringLiteral("Enabled"));
    QWidget::setEnabled(value);
    redraw();
}

void glintbutton::SetFont(const QFont& value)
{
    m_p.Font = value;
    changed(QStringLiteral("Font"));
    QWidget::setFont(value);
    redraw();
}

void glintbutton::SetBackColor(quint32 value)
{
    m_p.BackColor = value;
    changed(QStringLiteral("BackColor"));
    if (m_p.ButtonStyle != StyleHoverBox)
        m_p.ColorScheme = 3; // a colour of one's own is the custom scheme
    redraw();
}

void glintbutton::SetCaption(const QString& value)
{
    m_p.Caption = value;
    changed(QStringLiteral("Caption"));
    updateAccessKey();
    redraw();
}

void glintbutton::SetForeColor(quint32 value)
{
    m_p.ForeColor = value;
    changed(QStringLiteral("ForeColor"));
    redraw();
}

void glintbutton::SetForeColorHover(quint32 value)
{
    m_p.ForeColorHover = value;
    changed(QStringLiteral("ForeColorHover"));
    redraw();
}

void glintbutton::SetMode(int value)
{
    m_p.Mode = value;
    changed(QStringLiteral("Value"));
    changed(QStringLiteral("Mode"));
    if (value == ModeCommand) {
        m_p.Value = false;
        m_behavior.SetState(ButtonState::Normal);
    }
    redraw();
}

void glintbutton::SetValue(bool value)
{
    if (m_p.Mode == ModeCommand) {
        // A command button is never checked.
        m_behavior.SetState(ButtonState::Normal);
        redraw();
        return;
    }
    m_p.Value = value;
    changed(QStringLiteral("Value"));
    if (!value)
        m_behavior.SetState(ButtonState::Normal);
    redraw();
}

void glintbutton::SetMousePointer(int value)
{
    m_p.MousePointer = value;
    changed(QStringLiteral("MousePointer"));
    applyCursor();
}

void glintbutton::SetHandPointer(bool value)
{
    m_p.HandPointer = value;
    changed(QStringLiteral("HandPointer"));
    if (value)
        m_p.MousePointer = 0;
    applyCursor();
}

void glintbutton::SetMouseIcon(const QImage& value)
{
    m_p.MouseIcon = value;
    changed(QStringLiteral("MouseIcon"));
    if (!value.isNull()) {
        m_p.HandPointer = false;
        m_p.MousePointer = 99;
    } else {
        m_p.MousePointer = 0;
    }
    applyCursor();
}

void glintbutton::SetPictureNormal(const QImage& value)
{
    m_p.PictureNormal = value;
    changed(QStringLiteral("PictureNormal"));
    if (value.isNull()) {
        m_p.PictureHot = QImage();
        m_p.PictureDown = QImage();
        updateRegion();
    }
    redraw();
}

void glintbutton::SetPictureHot(const QImage& value)
{
    if (m_p.PictureNormal.isNull()) {
        // The first picture given is the normal one.
        m_p.PictureNormal = value;
        changed(QStringLiteral("PictureNormal"));
        return;
    }
    m_p.PictureHot = value;
    changed(QStringLiteral("PictureHot"));
    redraw();
}

void glintbutton::SetPictureDown(const QImage& value)
{
    if (m_p.PictureNormal.isNull()) {
        m_p.PictureNormal = value;
        changed(QStringLiteral("PictureNormal"));
        return;
    }
    m_p.PictureDown = value;
    changed(QStringLiteral("PictureDown"));
    redraw();
}

void glintbutton::SetPictureAlign(int value)
{
    m_p.PictureAlign = value;
    changed(QStringLiteral("PictureAlign"));
    if (!m_p.PictureNormal.isNull())
        redraw();
}

#define GLINT_SIMPLE_SETTER(Name, Type)                                                                      \
    void glintbutton::Set##Name(Type value)                                                                  \
    {                                                                                                        \
        m_p.Name = value;                                                                                    \
        changed(QStringLiteral(#Name));                                                                      \
        redraw();                                                                                            \
    }

GLINT_SIMPLE_SETTER(PictureEffectOnOver, int)
GLINT_SIMPLE_SETTER(PictureEffectOnDown, int)
GLINT_SIMPLE_SETTER(PicturePushOnHover, bool)
GLINT_SIMPLE_SETTER(PictureShadow, bool)
GLINT_SIMPLE_SETTER(DisabledPictureMode, int)
GLINT_SIMPLE_SETTER(CaptionEffects, int)
GLINT_SIMPLE_SETTER(MaskColor, quint32)
GLINT_SIMPLE_SETTER(CaptionAlign, int)
GLINT_SIMPLE_SETTER(ToolTip, const QString&)
GLINT_SIMPLE_SETTER(TooltipIcon, int)
GLINT_SIMPLE_SETTER(TooltipTitle, const QString&)
GLINT_SIMPLE_SETTER(DropDownSymbol, int)
GLINT_SIMPLE_SETTER(DropDownSeparator, bool)
#undef GLINT_SIMPLE_SETTER

void glintbutton::SetPictureOpacity(int value)
{
    m_p.PictureOpacity = value & 0xFF;
    changed(QStringLiteral("PictureOpacity"));
    redraw();
}

void glintbutton::SetPictureOpacityOnOver(int value)
{
    m_p.PictureOpacityOnOver = value & 0xFF;
    changed(QStringLiteral("PictureOpacityOnOver"));
    redraw();
}

void glintbutton::SetUseMaskColor(bool value)
{
    m_p.UseMaskColor = value;
    changed(QStringLiteral("UseMaskColor"));
    if (!m_p.PictureNormal.isNull())
        redraw();
}

void glintbutton::SetTooltipType(int value)
{
    m_p.TooltipType = value;
    changed(QStringLiteral("ToolTipType"));
    redraw();
}

void glintbutton::SetTooltipBackColor(quint32 value)
{
    m_p.TooltipBackColor = value;
    changed(QStringLiteral("TooltipBackcolor"));
    redraw();
}

void glintbutton::SetRightToLeft(bool value)
{
    m_p.RightToLeft = value;
    changed(QStringLiteral("RightToLeft"));
    setLayoutDirection(value ? Qt::RightToLeft : Qt::LeftToRight);
    if (m_tooltip)
        m_tooltip->setLayoutDirection(layoutDirection());
    redraw();
}

void glintbutton::SetColorScheme(int value)
{
    m_p.ColorScheme = value;
    changed(QStringLiteral("ColorScheme"));
    m_p.ApplyStyleColors();
    redraw();
}

void glintbutton::SetDisplayAsDefault(bool value)
{
    m_displayAsDefault = value;
    updateDialogKeys();
    redraw();
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

void glintbutton::redraw()
{
    // The surface has the screen's pixel density; painting is in the button's own pixels.
    const int w = std::max(1, width()), h = std::max(1, height());
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(w, h) * ratio).toSize();
    if (m_surface.size() != device || m_surface.devicePixelRatio() != ratio) {
        m_surface = QImage(device, QImage::Format_RGB32);
        m_surface.setDevicePixelRatio(ratio);
    }
    ButtonPaintContext ctx;
    ctx.state = m_behavior.PaintState(m_p.ButtonStyle);
    ctx.hasFocus = m_behavior.HasFocus();
    ctx.isDefault = m_displayAsDefault;
    ctx.parentActive = m_behavior.ParentActive();
    ctx.mouseInside = m_behavior.MouseInside();
    ctx.widget = this;
    PaintButton(m_surface, m_p, ctx);
    update();
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
    // Moved to a screen of another density: paint anew before showing anything.
    if (m_surface.devicePixelRatio() != devicePixelRatioF())
        redraw();
    QPainter painter(this);
    const QRect r = event->rect();
    const qreal ratio = m_surface.devicePixelRatio();
    painter.drawImage(QRectF(r), m_surface,
                      QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void glintbutton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateRegion();
    // A hidden button gets its resize only when first shown, after it was drawn at that very size.
    if (m_surface.size() !=
            (QSizeF(std::max(1, width()), std::max(1, height())) * devicePixelRatioF()).toSize() ||
        m_surface.devicePixelRatio() != devicePixelRatioF())
        redraw();
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
    const auto siblings = container->findChildren<glintbutton*>(Qt::FindDirectChildrenOnly);
    for (glintbutton* b : siblings)
        if (b != this && b->Mode() == ModeOption)
            b->SetValue(false);
}

void glintbutton::ProcessPendingEvents()
{
    QCoreApplication::processEvents();
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
