#pragma once

#include "controls/button/ButtonBehavior.h"
#include "controls/button/ButtonProperties.h"
#include "controls/common/Subclasser.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <type_traits>

class QMenu;
class QAction;

namespace brenlow {
class PropertyBag;
class ButtonTooltip;
} // namespace brenlow

/** An owner-drawn push, check or option button with fourteen looks, pictures with effects, its own
 *  tooltip and an optional drop-down menu. It draws into its own surface image, lazily: a change
 *  marks the picture stale and asks for a paint, and the picture is made at the next paint event
 *  (or when it is read), so a hidden button costs no drawing. Positions in its mouse events are in
 *  pixels. */
class glintbutton final : public QWidget,
                          private brenlow::ButtonBehavior::Host,
                          private brenlow::SubclassCallback
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(glintbutton)

public:
    /** A fresh button: the values a newly placed control gets (style 13, "Tahoma" font, ...). */
    explicit glintbutton(QWidget* parent = nullptr);
    ~glintbutton() override;

    /** Loads stored properties (keys looked up without regard to case; missing keys take the stored
     *  defaults) and sets the button up from them. */
    void ReadProperties(const brenlow::PropertyBag& bag);
    /** Stores the properties; values equal to their stored defaults are left out. */
    void WriteProperties(brenlow::PropertyBag& bag) const;

    // Stored properties. Each setter compares, stores (with the values that follow it, see
    // ButtonProperties::FollowChange), makes the widget follow, drops the picture and asks for a
    // paint, and last tells the container; what a change asks for is in the property table.
    [[nodiscard]] int ButtonStyle() const { return m_p.ButtonStyle; }
    void SetButtonStyle(int value) { set(&Props::ButtonStyle, value); }
    /** Shown from the next repaint on. */
    [[nodiscard]] bool ShowFocusRect() const { return m_p.ShowFocusRect; }
    void SetShowFocusRect(bool value) { set(&Props::ShowFocusRect, value); }
    [[nodiscard]] bool Enabled() const override { return m_p.Enabled; }
    void SetEnabled(bool value) { set(&Props::Enabled, value); }
    [[nodiscard]] QFont Font() const { return m_p.Font; }
    void SetFont(const QFont& value) { set(&Props::Font, value); }
    /** A colour of one's own makes the colour scheme the custom one (3), except for style 4. */
    [[nodiscard]] quint32 BackColor() const { return m_p.BackColor; }
    void SetBackColor(quint32 value) { set(&Props::BackColor, value); }
    [[nodiscard]] QString Caption() const { return m_p.Caption; }
    void SetCaption(const QString& value) { set(&Props::Caption, value); }
    [[nodiscard]] quint32 ForeColor() const { return m_p.ForeColor; }
    void SetForeColor(quint32 value) { set(&Props::ForeColor, value); }
    [[nodiscard]] quint32 ForeColorHover() const { return m_p.ForeColorHover; }
    void SetForeColorHover(quint32 value) { set(&Props::ForeColorHover, value); }
    /** 0 command, 1 check, 2 option. A command button is never checked; the change announces Value
     *  as well. */
    [[nodiscard]] int Mode() const override { return m_p.Mode; }
    void SetMode(int value);
    /** Checked state of a check or option button; always False for a command button. */
    [[nodiscard]] bool Value() const override { return m_p.Value; }
    void SetValue(bool value) override;
    [[nodiscard]] int MousePointer() const { return m_p.MousePointer; }
    void SetMousePointer(int value) { set(&Props::MousePointer, value); }
    /** True makes MousePointer 0. */
    [[nodiscard]] bool HandPointer() const override { return m_p.HandPointer; }
    void SetHandPointer(bool value) { set(&Props::HandPointer, value); }
    /** A picture makes MousePointer 99 (custom) and HandPointer False; none makes MousePointer 0. */
    [[nodiscard]] QImage MouseIcon() const { return m_p.MouseIcon; }
    void SetMouseIcon(const QImage& value) { set(&Props::MouseIcon, value); }
    /** No picture drops the hot and down pictures as well. */
    [[nodiscard]] QImage PictureNormal() const { return m_p.PictureNormal; }
    void SetPictureNormal(const QImage& value) { set(&Props::PictureNormal, value); }
    /** While there is no normal picture, the first picture given becomes the normal one. */
    [[nodiscard]] QImage PictureHot() const { return m_p.PictureHot; }
    void SetPictureHot(const QImage& value) { setHoverPicture(&Props::PictureHot, value); }
    [[nodiscard]] QImage PictureDown() const { return m_p.PictureDown; }
    void SetPictureDown(const QImage& value) { setHoverPicture(&Props::PictureDown, value); }
    [[nodiscard]] int PictureAlign() const { return m_p.PictureAlign; }
    void SetPictureAlign(int value) { set(&Props::PictureAlign, value); }
    [[nodiscard]] int PictureEffectOnOver() const { return m_p.PictureEffectOnOver; }
    void SetPictureEffectOnOver(int value) { set(&Props::PictureEffectOnOver, value); }
    [[nodiscard]] int PictureEffectOnDown() const { return m_p.PictureEffectOnDown; }
    void SetPictureEffectOnDown(int value) { set(&Props::PictureEffectOnDown, value); }
    [[nodiscard]] bool PicturePushOnHover() const { return m_p.PicturePushOnHover; }
    void SetPicturePushOnHover(bool value) { set(&Props::PicturePushOnHover, value); }
    [[nodiscard]] bool PictureShadow() const { return m_p.PictureShadow; }
    void SetPictureShadow(bool value) { set(&Props::PictureShadow, value); }
    /** 0 transparent .. 255 opaque; only the low byte is kept. */
    [[nodiscard]] int PictureOpacity() const { return m_p.PictureOpacity; }
    void SetPictureOpacity(int value) { set(&Props::PictureOpacity, value); }
    [[nodiscard]] int PictureOpacityOnOver() const { return m_p.PictureOpacityOnOver; }
    void SetPictureOpacityOnOver(int value) { set(&Props::PictureOpacityOnOver, value); }
    [[nodiscard]] int DisabledPictureMode() const { return m_p.DisabledPictureMode; }
    void SetDisabledPictureMode(int value) { set(&Props::DisabledPictureMode, value); }
    [[nodiscard]] int CaptionEffects() const { return m_p.CaptionEffects; }
    void SetCaptionEffects(int value) { set(&Props::CaptionEffects, value); }
    [[nodiscard]] bool UseMaskColor() const { return m_p.UseMaskColor; }
    void SetUseMaskColor(bool value) { set(&Props::UseMaskColor, value); }
    [[nodiscard]] quint32 MaskColor() const { return m_p.MaskColor; }
    void SetMaskColor(quint32 value) { set(&Props::MaskColor, value); }
    [[nodiscard]] int CaptionAlign() const { return m_p.CaptionAlign; }
    void SetCaptionAlign(int value) { set(&Props::CaptionAlign, value); }
    [[nodiscard]] QString ToolTip() const { return m_p.ToolTip; }
    void SetToolTip(const QString& value) { set(&Props::ToolTip, value); }
    /** 1 balloon, anything else standard. */
    [[nodiscard]] int TooltipType() const { return m_p.TooltipType; }
    void SetTooltipType(int value) { set(&Props::TooltipType, value); }
    /** 0 none, 1 information, 2 warning, 3 error. */
    [[nodiscard]] int TooltipIcon() const { return m_p.TooltipIcon; }
    void SetTooltipIcon(int value) { set(&Props::TooltipIcon, value); }
    [[nodiscard]] QString TooltipTitle() const { return m_p.TooltipTitle; }
    void SetTooltipTitle(const QString& value) { set(&Props::TooltipTitle, value); }
    /** 0 = the default tooltip colour. */
    [[nodiscard]] quint32 TooltipBackColor() const { return m_p.TooltipBackColor; }
    void SetTooltipBackColor(quint32 value) { set(&Props::TooltipBackColor, value); }
    [[nodiscard]] bool RightToLeft() const { return m_p.RightToLeft; }
    void SetRightToLeft(bool value) { set(&Props::RightToLeft, value); }
    [[nodiscard]] int DropDownSymbol() const { return m_p.DropDownSymbol; }
    void SetDropDownSymbol(int value) { set(&Props::DropDownSymbol, value); }
    [[nodiscard]] bool DropDownSeparator() const { return m_p.DropDownSeparator; }
    void SetDropDownSeparator(bool value) { set(&Props::DropDownSeparator, value); }
    /** 0 blue, 1 olive, 2 silver, 3 custom. */
    [[nodiscard]] int ColorScheme() const { return m_p.ColorScheme; }
    void SetColorScheme(int value) { set(&Props::ColorScheme, value); }
    /** The button's window handle: a number that identifies it for its whole life (no native
     *  window is created for it). */
    [[nodiscard]] quintptr hWnd() const { return reinterpret_cast<quintptr>(this); }

    /** The container marks this button as its default (Enter) button. */
    void SetDisplayAsDefault(bool value);
    [[nodiscard]] bool DisplayAsDefault() const { return m_displayAsDefault; }
    /** The default button takes Enter and the cancel button Escape anywhere in its window, as its
     *  access key (a button with the focus keeps Enter for itself). */
    void SetCancel(bool value);
    [[nodiscard]] bool Cancel() const { return m_cancel; }

    /** Attaches a drop-down menu opened at placement `Align` (0..7) on every press; `Flags` 8 puts
     *  the menu's right edge, 32 its bottom edge at the point. A null menu attaches nothing. */
    void SetPopupMenu(QMenu* Menu, int Align, quint32 Flags = 0, QAction* DefaultMenu = nullptr);
    void UnsetPopupMenu();
    /** Opens an address in the user's browser. */
    void OpenWebsite(const QString& sAddress);
    /** Shows the information box about the control. */
    void About();

    /** The access key in lower case, or a null QChar. */
    [[nodiscard]] QChar AccessKey() const { return m_accessKey; }
    /** The drawing surface, brought up to date. */
    [[nodiscard]] const QImage& Surface() const;
    /** The interaction core, for inspection. */
    [[nodiscard]] const brenlow::ButtonBehavior& Behavior() const { return m_behavior; }
    /** The tooltip window, once the button has been hovered. */
    [[nodiscard]] QWidget* TooltipWindow() const;

    /** Repaints the surface now. */
    void Refresh();
    /** Clicks the button as its access key does (a check or option button changes its Value, then
     *  Click); with a drop-down menu attached, opens the menu. Nothing while disabled. Assistive
     *  technology's press action. */
    void PerformClick();

signals:
    void Click();
    void DblClick();
    void MouseEnter();
    void MouseLeave();
    void MouseMove(int Button, int Shift, float x, float Y);
    void MouseUp(int Button, int Shift, float x, float Y);
    void MouseDown(int Button, int Shift, float x, float Y);
    void KeyDown(int& KeyCode, int& Shift);
    void KeyUp(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAcsii);
    /** A property changed, by its stored name. */
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    // ButtonBehavior::Host
    const QObject* Control() const override { return this; }
    int Width() const override { return width(); }
    int Height() const override { return height(); }
    void Redraw() override { invalidate(); }
    void ShowHandCursor() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HasCapture() const override;
    void MoveFocus(bool forward) override;
    bool PointerOverControl() const override;
    void TrackMouseLeave() override {}
    void UncheckOptionGroup() override;
    void ProcessPendingEvents() override;
    void ShowTooltip() override;
    void PopupMenu(const brenlow::MenuPlacement& placement) override;
    void RaiseClick() override { emit Click(); }
    void RaiseDblClick() override { emit DblClick(); }
    void RaiseMouseEnter() override { emit MouseEnter(); }
    void RaiseMouseLeave() override { emit MouseLeave(); }
    void RaiseMouseDown(int b, int s, float x, float y) override { emit MouseDown(b, s, x, y); }
    void RaiseMouseUp(int b, int s, float x, float y) override { emit MouseUp(b, s, x, y); }
    void RaiseKeyDown(int& k, int& s) override { emit KeyDown(k, s); }
    void RaiseKeyUp(int& k, int& s) override { emit KeyUp(k, s); }
    void RaiseKeyPress(int& k) override { emit KeyPress(k); }

    /** Marks the picture stale and asks for a paint; announces the state to assistive technology. */
    void invalidate();
    /** Makes the picture when it is stale or no longer fits the button or its screen. */
    void ensurePicture() const;
    using Props = brenlow::ButtonProperties;
    /** A stored property's setter: store, follow, tell. */
    template <typename T> void set(T Props::*field, const std::type_identity_t<T>& value)
    {
        if (!store(field, value))
            return;
        follow(field);
        tell(field);
    }
    /** Compares and stores the value in its stored form, with the values that follow it; false
     *  when it was already there. */
    template <typename T> bool store(T Props::*field, const std::type_identity_t<T>& value)
    {
        const T stored = Props::Normalised(field, value);
        if (m_p.*field == stored)
            return false;
        m_p.*field = stored;
        m_p.FollowChange(field);
        return true;
    }
    /** Makes the widget follow a stored change, drops the picture and asks for a paint, as the
     *  property's row in the table says. */
    void follow(const Props::Field& field);
    /** Tells the container that a property changed, by the name the table gives it. The container
     *  may do anything then, delete the button included, so this comes last. */
    void tell(const Props::Field& field);
    /** PictureHot and PictureDown: the first picture given becomes the normal one. */
    void setHoverPicture(QImage Props::*field, const QImage& value);
    void updateAccessKey();
    void updateDialogKeys();
    void updateRegion();
    void applyCursor();
    void startInterception();
    void stopInterception();
    // SubclassCallback: the leave, theme and colour messages of the button, activation of its window.
    void Subclass_WndProc(bool bBefore, bool& bHandled, qintptr& lReturn, QWidget* lHwnd, int uMsg,
                          qintptr wParam, qintptr lParam) override;

    brenlow::ButtonProperties m_p;
    brenlow::ButtonBehavior m_behavior;
    /** The picture, a cache of the properties and the state: made when needed. */
    mutable QImage m_surface;
    mutable bool m_stale = true;
    QChar m_accessKey;
    int m_shortcutId = 0;
    bool m_displayAsDefault = false;
    bool m_cancel = false;
    /** Shortcut ids of Enter and keypad Enter (default button) and Escape (cancel button). */
    int m_enterId = 0;
    int m_keypadEnterId = 0;
    int m_escapeId = 0;
    QPointer<QMenu> m_menu;
    QPointer<QAction> m_defaultAction;
    QPointer<brenlow::ButtonTooltip> m_tooltip;
    QPointer<QWidget> m_container;
    std::unique_ptr<brenlow::Subclasser> m_subclass;
    /** The pointer position of the mouse event being handled, in the button's pixels. */
    std::optional<QPoint> m_pointer;
};
