#include "base/Rounding.h"
#include "controls/button/ButtonPaintJob.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace brenlow {

ButtonLayout PaintButton(QImage& surface, const ButtonProperties& p, const ButtonPaintContext& ctx)
{
    ButtonPaintJob job(surface, p, ctx);
    return job.Run();
}

QRegion ButtonRegion(int style, int width, int height)
{
    QRegion region(0, 0, width, height);
    int corner = 0;
    switch (style) {
    case StyleRoundedGradient:
    case StyleGlossyStrips:
    case StyleWarmHover:
    case StyleWhiteGloss:
        corner = 3;
        break;
    case StyleSilverLines:
    case StylePastelGloss:
        corner = 4;
        break;
    default:
        return region;
    }
    if (width < 4 || height < 4)
        return region;
    // A small round corner takes the outermost pixel; the larger one also its two neighbours.
    auto cut = [&](int x, int y) { region -= QRegion(x, y, 1, 1); };
    const int r = width - 1, b = height - 1;
    cut(0, 0), cut(r, 0), cut(0, b), cut(r, b);
    if (corner == 4) {
        cut(1, 0), cut(0, 1), cut(r - 1, 0), cut(r, 1);
        cut(0, b - 1), cut(1, b), cut(r, b - 1), cut(r - 1, b);
    }
    return region;
}

ButtonPaintJob::ButtonPaintJob(QImage& surface, const ButtonProperties& p, const ButtonPaintContext& ctx)
    : m_surface(surface), m_p(p), m_ctx(ctx), m_state(ctx.state),
      m_w(qRound(surface.deviceIndependentSize().width())),
      m_h(qRound(surface.deviceIndependentSize().height())), m_ratio(surface.devicePixelRatio()),
      m_base(OleColor::Translate(p.BackColor))
{
}

ButtonLayout ButtonPaintJob::Run()
{
    m_painter.begin(&m_surface);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.fillRect(QRect(0, 0, m_w, m_h),
                       qc(m_p.ButtonStyle == StyleVisualStyle ? sys(OleColor::ButtonFace) : m_base));
    switch (m_p.ButtonStyle) {
    case StyleRoundedGradient:
        paintRounded();
        break;
    case StyleGlossyStrips:
        paintGlossyStrips();
        break;
    case StyleHoverBox:
        paintHoverBox();
        break;
    case StyleToolbarGradient:
        paintToolbar();
        break;
    case StyleSilverLines:
        paintSilverLines();
        break;
    case StyleWarmHover:
        paintWarmHover();
        break;
    case StyleOrangeGloss:
        paintOrangeGloss();
        break;
    case StyleWhiteGloss:
        paintWhiteGloss();
        break;
    case StylePastelGloss:
        paintPastelGloss();
        break;
    case StyleVisualStyle:
        paintVisualStyle();
        break;
    default:
        paintClassic();
        break;
    }
    m_painter.end();
    return m_layout;
}

// ---- operations -------------------------------------------------------------------------------

QColor ButtonPaintJob::qc(quint32 c)
{
    return QColor::fromRgb(ButtonColors::ToRgb(c & 0xFFFFFF));
}

void ButtonPaintJob::gradient(int x, int y, int w, int h, quint32 c1, quint32 c2, Dir dir)
{
    Gdi::Gradient(m_painter, QRect(x, y, w, h), qc(c1), qc(c2), dir);
}

void ButtonPaintJob::frame(int x, int y, int w, int h, quint32 c)
{
    Gdi::FrameRect(m_painter, QRect(x, y, w, h), qc(c));
}

void ButtonPaintJob::fill(int l, int t, int r, int b, quint32 c)
{
    Gdi::FillRect(m_painter, Gdi::Ltrb(l, t, r, b), qc(c));
}

void ButtonPaintJob::line(int x1, int y1, int x2, int y2, quint32 c)
{
    Gdi::Line(m_painter, x1, y1, x2, y2, qc(c));
}

void ButtonPaintJob::pixel(int x, int y, quint32 c)
{
    m_painter.fillRect(QRect(x, y, 1, 1), qc(c));
}

void ButtonPaintJob::corners(quint32 c)
{
    pixel(1, 1, c);
    pixel(1, m_h - 2, c);
    pixel(m_w - 2, 1, c);
    pixel(m_w - 2, m_h - 2, c);
}

void ButtonPaintJob::edge(int l, int t, int r, int b, Gdi::Edge kind)
{
    Gdi::DrawEdge(m_painter, Gdi::Ltrb(l, t, r, b), kind);
}

void ButtonPaintJob::focusRect(int l, int t, int r, int b)
{
    Gdi::DrawFocusRect(m_painter, Gdi::Ltrb(l, t, r, b));
}

quint32 ButtonPaintJob::pixelAt(int x, int y) const
{
    const QPoint device(int(x * m_ratio), int(y * m_ratio));
    if (x < 0 || y < 0 || !m_surface.rect().contains(device))
        return m_base;
    return ButtonColors::FromRgb(m_surface.pixel(device));
}

void ButtonPaintJob::defaultRing(quint32 c)
{
    if (!m_p.Enabled || checked() || m_state != ButtonState::Normal || !m_ctx.parentActive ||
        !focusOrDefault())
        return;
    frame(0, 0, m_w, m_h, c);
    frame(1, 1, m_w - 2, m_h - 2, c);
}

int ButtonPaintJob::rnd(double v)
{
    return RoundHalfEven32(v);
}

int ButtonPaintJob::half() const
{
    return rnd(m_h / 2.0);
}

// ---- style 3 ----------------------------------------------------------------------------------

void ButtonPaintJob::paintGlossyStrips()
{
    const int w = m_w, h = m_h, m = half();
    const quint32 base = m_base;
    if (!m_p.Enabled) {
        fill(0, 0, w, h, shift(base, 0.03f));
        contents();
        frame(0, 0, w, h, shift(base, -0.25f));
        frame(1, 1, w - 2, h - 2, shift(base, 0.25f));
        corners(shift(base, -0.03f));
        return;
    }
    const int upper = rnd(h / 2.0 - 2), lower = rnd(h - h / 2.0 - 1);
    switch (m_state) {
    case ButtonState::Normal:
        gradient(1, 1, w - 1, h, shift(base, 0.05f), base, Dir::Vertical);
        gradient(1, m, w - 2, h - 2, shift(base, -0.02f), shift(base, -0.15f), Dir::Vertical);
        contents();
        frame(0, 0, w, h, 0x707070);
        frame(1, 1, w - 2, h - 2, 0xFFFFFF);
        break;
    case ButtonState::Hot: {
        const quint32 warm = shift(0xFDE1AC, 0.01f);
        gradient(1, 1, w - 2, m, 0xFFF7E4, 0xFFF3DA, Dir::Vertical);
        gradient(1, m, w - 2, h - 2, 0xFFE9C1, 0xFDE1AE, Dir::Vertical);
        gradient(1, 3, 5, upper, 0xFFEECD, 0xFFF7E4, Dir::Horizontal);
        gradient(1, m, 5, lower, 0xFAD68F, warm, Dir::Horizontal);
        gradient(w - 6, 3, 5, upper, 0xFFF7E4, 0xFFEECD, Dir::Horizontal);
        gradient(w - 6, m, 5, lower, warm, 0xFAD68F, Dir::Horizontal);
        contents();
        frame(0, 0, w, h, 0xA77532);
        frame(1, 1, w - 2, h - 2, 0xFFFFFF);
        break;
    }
    case ButtonState::Down: {
        gradient(1, 1, w - 1, h, 0xF6E4C2, 0xF6E4C2, Dir::Vertical);
        gradient(1, m, w - 2, h - 2, 0xF0D29A, 0xF0D29A, Dir::Vertical);
        frame(0, 0, w, h, 0x5C411D);
        line(1, 1, w - 1, 1, 0xB39C71);
        line(1, 2, w - 1, 2, 0xD6C6A9);
        line(1, 3, w - 1, 3, 0xECD9B9);
        line(1, 1, 1, rnd(h / 2.0 - 1), 0xCFB073);
        line(1, m, 1, rnd(h - h / 2.0 - 1), 0xC5912B);
        const quint32 a1 = shift(0xE6C891, 0.02f), a2 = shift(0xF6E4C2, -0.01f);
        const quint32 b1 = shift(0xDCAB4E, 0.02f), b2 = shift(0xF0D29A, -0.01f);
        gradient(1, 3, 5, upper, a1, a2, Dir::Horizontal);
        gradient(1, m, 5, lower, b1, b2, Dir::Horizontal);
        gradient(w - 6, 3, 5, upper, a2, a1, Dir::Horizontal);
        gradient(w - 6, m, 5, lower, b2, b1, Dir::Horizontal);
        contents();
        break;
    }
    }
    if (m_ctx.parentActive) {
        if (m_state == ButtonState::Normal && focusOrDefault()) {
            frame(0, 0, w, h, 0xA77532);
            frame(1, 1, w - 2, h - 2, 0xFBD848);
        }
        if (m_p.ShowFocusRect && m_ctx.hasFocus)
            focusRect(2, 2, w - 2, h - 2);
    }
    corners(0xBE965F);
}

// ---- styles 0, 1, 11, 12 ----------------------------------------------------------------------

void ButtonPaintJob::paintClassic()
{
    const int style = m_p.ButtonStyle, w = m_w, h = m_h;
    const quint32 base = m_base;
    if (!m_p.Enabled) {
        if (style == StyleStandard)
            edge(0, 0, w, h, Gdi::Edge::Raised);
        else if (style == StyleFlat)
            edge(0, 0, w, h, Gdi::Edge::RaisedInner);
        contents();
        return;
    }
    if (checked()) {
        fill(0, 0, w, h, shift(base, 0.02f));
        contents();
        if (style == StyleHoverFlat)
            return;
        edge(0, 0, w, h, Gdi::Edge::Sunken);
        if (style == StyleStandard && m_p.ShowFocusRect && m_ctx.hasFocus)
            frame(4, 4, w - 7, h - 7, sys(OleColor::AppWorkspace));
        return;
    }
    fill(0, 0, w, h, base);
    contents();
    switch (m_state) {
    case ButtonState::Normal:
        if (style == StyleStandard)
            edge(0, 0, w, h, Gdi::Edge::Raised);
        else if (style == StyleFlat)
            edge(0, 0, w, h, Gdi::Edge::RaisedInner);
        break;
    case ButtonState::Hot:
        if (style == StyleFlat || style == StyleHoverFlat)
            edge(0, 0, w, h, Gdi::Edge::RaisedInner);
        else
            edge(0, 0, w, h, Gdi::Edge::Raised);
        break;
    case ButtonState::Down:
        if (style == StyleStandard) {
            frame(1, 1, w - 2, h - 2, 0x99A8AC);
            frame(0, 0, w, h, 0x000000);
        } else if (style == StyleHoverRaised) {
            edge(0, 0, w, h, Gdi::Edge::Sunken);
        } else {
            frame(0, 0, w, h, 0xFFFFFF);
            frame(0, 0, w + 1, h + 1, sys(OleColor::GrayText));
        }
        break;
    }
    if (!focusOrDefault())
        return;
    if (m_p.ShowFocusRect && m_ctx.parentActive) {
        const int inset = style == StyleStandard || style == StyleHoverRaised ? 4 : 3;
        focusRect(inset, inset, w - inset, h - inset);
    }
    if (style == StyleStandard && m_state != ButtonState::Down) {
        // The default-button look: a black outer ring around a slightly smaller raised edge.
        edge(0, 0, w - 1, h - 1, Gdi::Edge::Raised);
        frame(0, 0, w - 1, h - 1, sys(OleColor::AppWorkspace));
        frame(0, 0, w, h, 0x000000);
    }
}

// ---- style 4 ----------------------------------------------------------------------------------

void ButtonPaintJob::paintHoverBox()
{
    const int w = m_w, h = m_h;
    quint32 f = 0, b = 0;
    switch (m_p.ColorScheme) {
    case 0:
        f = 0xEED2C1, b = 0xC56A31;
        break;
    case 1:
        f = 0xBAD6D4, b = 0x70A093;
        break;
    case 2:
        f = 0xE3DFE0, b = 0xBFB4B2;
        break;
    default:
        f = m_base, b = shift(m_base, -0.12f);
        break;
    }
    if (checked() && m_p.Enabled) {
        fill(0, 0, w, h, shift(f, -0.05f));
        frame(0, 0, w, h, b);
        if (m_ctx.mouseInside) {
            fill(0, 0, w, h, shift(f, -0.01f));
            frame(0, 0, w, h, b);
        }
        contents();
        return;
    }
    const ButtonState s = m_p.Enabled ? m_state : ButtonState::Normal;
    fill(0, 0, w, h,
         s == ButtonState::Normal ? m_base
         : s == ButtonState::Hot  ? shift(f, 0.03f)
                                  : shift(f, -0.08f));
    contents();
    if (s != ButtonState::Normal)
        frame(0, 0, w, h, b);
}

// ---- style 13 ---------------------------------------------------------------------------------

void ButtonPaintJob::paintVisualStyle()
{
    // The platform's own push button, through the current style.
    QStyleOptionButton opt;
    opt.rect = QRect(0, 0, m_w, m_h);
    opt.palette = m_ctx.widget ? m_ctx.widget->palette() : QApplication::palette();
    if (m_p.Enabled) {
        opt.state |= QStyle::State_Enabled;
        if (m_state == ButtonState::Hot)
            opt.state |= QStyle::State_MouseOver | QStyle::State_Raised;
        else if (m_state == ButtonState::Down)
            opt.state |= QStyle::State_Sunken;
        else
            opt.state |= QStyle::State_Raised;
        if (m_state == ButtonState::Normal && m_ctx.parentActive && focusOrDefault())
            opt.features |= QStyleOptionButton::DefaultButton; // the defaulted look
    }
    QStyle* style = m_ctx.widget ? m_ctx.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButtonBevel, &opt, &m_painter, m_ctx.widget);
    contents();
}

} // namespace brenlow
