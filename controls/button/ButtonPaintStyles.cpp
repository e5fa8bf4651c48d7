// The gradient styles other than style 3: the same steps (disabled look; background and contents;
// hot; down; focus and default marks; corners) with their own colours.
#include "controls/button/ButtonPaintJob.h"

namespace brenlow {

namespace {
constexpr quint32 White = 0xFFFFFF;
} // namespace

void ButtonPaintJob::paintRounded()
{
    const int w = m_w, h = m_h, m = half();
    const quint32 base = m_base;
    const int scheme = m_p.ColorScheme;
    const quint32 border = scheme == 1 ? 0x066237 : 0x743C00;
    if (!m_p.Enabled) {
        fill(0, 0, w, h, avg(sys(OleColor::ButtonFace), shift(base, 0.10f)));
        contents();
        frame(0, 0, w, h, shift(base, -0.25f));
        corners(shift(base, -0.1f));
        return;
    }
    auto normalBackground = [&] {
        gradient(1, 1, w - 2, m, shift(base, 0.10f), shift(base, 0.08f), Dir::Vertical);
        gradient(1, m, w - 2, h - m - 1, shift(base, 0.07f), base, Dir::Vertical);
    };
    switch (m_state) {
    case ButtonState::Normal:
        normalBackground();
        contents();
        line(1, h - 3, w - 1, h - 3, shift(base, -0.04f));
        line(1, h - 2, w - 1, h - 2, shift(base, -0.08f));
        if (m_ctx.parentActive && focusOrDefault()) {
            // The default-button ring inside the border.
            std::array<quint32, 4> ring{0xF6D4BC, 0xFFE7CE, 0xE6AF8E, 0xF4D1B8};
            if (scheme == 1)
                ring = {0x8FD1C2, 0x80CBB1, 0x68C8A0, 0x66A7A8};
            else if (scheme >= 2)
                ring = {White, 0xE4AD89, 0xE4AD89, 0xEE8269};
            line(1, 1, w - 1, 1, ring[0]);
            line(1, 2, w - 1, 2, ring[1]);
            line(1, 2, 1, h - 2, ring[2]);
            line(w - 2, 2, w - 2, h - 2, ring[2]);
            line(1, h - 2, w - 1, h - 2, ring[3]);
        }
        break;
    case ButtonState::Hot:
        if (scheme == 2) {
            gradient(1, 1, w - 2, m, shift(base, 0.22f), base, Dir::Vertical);
            gradient(1, m, w - 2, h - m - 1, shift(base, -0.01f), shift(base, -0.15f), Dir::Vertical);
            contents();
        } else {
            normalBackground();
            contents();
            line(1, 1, w - 1, 1, 0x89D8FD);
            line(1, 2, w - 1, 2, 0xCFF0FF);
            line(1, 2, 1, h - 2, 0x49BDF9);
            line(w - 2, 2, w - 2, h - 2, 0x7AD2FC);
            line(1, h - 3, w - 1, h - 3, 0x30B3F8);
            line(1, h - 2, w - 1, h - 2, 0x0097E5);
        }
        break;
    case ButtonState::Down:
        if (scheme == 2) {
            gradient(1, 1, w - 2, h - 2, shift(base, -0.2f), shift(base, 0.05f), Dir::Vertical);
            contents();
            frame(1, 1, w - 2, h - 2, White);
        } else {
            fill(0, 0, w, h, shift(base, -0.05f));
            contents();
            line(1, 1, w - 1, 1, shift(base, -0.16f));
            line(1, 2, w - 1, 2, shift(base, -0.1f));
            line(1, h - 3, w - 1, h - 3, shift(base, 0.01f));
            line(1, h - 2, w - 1, h - 2, shift(base, 0.04f));
        }
        break;
    }
    if (m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(2, 2, w - 2, h - 2);
    frame(0, 0, w, h, border);
    corners(shift(border, 0.3f));
}

void ButtonPaintJob::paintToolbar()
{
    const int w = m_w, h = m_h, m = half();
    const quint32 base = m_base;
    auto twoPart = [&](quint32 top, quint32 bottom) {
        const quint32 mid = avg(top, bottom);
        gradient(0, 0, w, m, top, mid, Dir::Vertical);
        gradient(0, m, w, rnd(h / 2.0 + 1), mid, bottom, Dir::Vertical);
    };
    ButtonState s = m_p.Enabled ? m_state : ButtonState::Normal;
    if (m_p.Enabled && checked())
        twoPart(m_ctx.mouseInside ? 0x4E91FE : 0x8CD5FF, m_ctx.mouseInside ? 0x8ED3FF : 0x55ADFF);
    else if (s == ButtonState::Hot)
        twoPart(0xCCF4FF, 0x91D0FF);
    else if (s == ButtonState::Down)
        twoPart(0x4E91FE, 0x8ED3FF);
    else {
        gradient(0, 0, w, m, avg(White, shift(base, 0.08f)), base, Dir::Vertical);
        gradient(0, m, w, rnd(h / 2.0 + 1), base, shift(base, -0.15f), Dir::Vertical);
    }
    contents();
    if (m_p.Enabled && (s != ButtonState::Normal || checked()))
        frame(0, 0, w, h, 0x800000);
    defaultRing(0x800000);
    if (m_p.Enabled && m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(3, 3, w - 3, h - 3);
}

void ButtonPaintJob::paintSilverLines()
{
    const int w = m_w, h = m_h, m = half();
    const ButtonState s = m_p.Enabled ? m_state : ButtonState::Normal;
    if (m_p.Enabled && checked() && s != ButtonState::Down) {
        fill(0, 0, w, h, 0xFEFEFE);
        contents();
        if (s == ButtonState::Hot) {
            line(w - 2, 1, w - 2, h - 1, 0xEDF0F2);
            line(1, h - 2, w - 1, h - 2, 0xD8DEE4);
            line(1, h - 3, w - 1, h - 3, 0xE8ECEF);
            line(1, h - 4, w - 1, h - 4, 0xF8F9FA);
        }
        frame(0, 0, w, h, 0xAF987A);
        corners(shift(0xC1B3A0, -0.2f));
    } else if (s == ButtonState::Hot) {
        gradient(0, 0, w, m, 0xFDFEFE, 0xEEF4F4, Dir::Vertical);
        gradient(0, m, w, h - m, 0xEEF4F4, 0xEAF1F1, Dir::Vertical);
        contents();
        line(w - 2, 1, w - 2, h - 1, 0xE0E7EA);
        line(w - 3, 1, w - 3, h - 1, 0xEAF0F0);
        line(1, h - 4, w - 1, h - 4, 0xE5EDEE);
        line(1, h - 3, w - 1, h - 3, 0xD6E1E4);
        line(1, h - 2, w - 1, h - 2, 0xC6D2D7);
        frame(0, 0, w, h, 0xC3CECE);
        corners(shift(0xC9D4D4, -0.05f));
    } else if (s == ButtonState::Down) {
        fill(0, 0, w, h, 0xDDE4E5);
        contents();
        line(1, 1, w - 1, 1, shift(0xD1DADC, -0.02f));
        line(1, 2, w - 1, 2, shift(0xDAE1E3, -0.01f));
        line(1, h - 3, w - 1, h - 3, shift(0xDEE5E6, 0.02f));
        line(1, h - 2, w - 1, h - 2, 0xE5EAEB);
        frame(0, 0, w, h, 0x929D9D);
        corners(shift(0xABB4B5, 0.1f));
    } else {
        fill(0, 0, w, h, m_base);
        contents();
        defaultRing(0x929D9D);
    }
    if (m_p.Enabled && m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(3, 3, w - 3, h - 3);
}

void ButtonPaintJob::paintWarmHover()
{
    const int w = m_w, h = m_h;
    if (!m_p.Enabled) {
        fill(0, 0, w, h, m_base);
        contents();
        corners(shift(m_base, -0.1f));
        return;
    }
    switch (m_state) {
    case ButtonState::Normal:
        fill(0, 0, w, h, m_base);
        contents();
        break;
    case ButtonState::Hot: {
        const int upper = rnd(h / 1.7);
        gradient(0, 0, w, upper, 0xFDF9F1, 0xF8ECD0, Dir::Vertical);
        fill(0, upper, w, h, 0xF8ECD0);
        break;
    }
    case ButtonState::Down:
        gradient(0, 0, w, h, 0xF1DEB0, 0xF9F1DB, Dir::Vertical);
        break;
    }
    if (m_state != ButtonState::Normal) {
        contents();
        frame(0, 0, w, h, 0xCA9E61);
        frame(1, 1, w - 2, h - 2, White);
        corners(shift(0xCA9E61, 0.30f));
    }
    defaultRing(0xCA9E61);
    if (m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(3, 3, w - 3, h - 3);
}

void ButtonPaintJob::paintOrangeGloss()
{
    const int w = m_w, h = m_h, upper = rnd(h / 2.7);
    const quint32 base = m_base;
    auto gloss = [&](quint32 a1, quint32 a2, quint32 b1, quint32 b2) {
        gradient(0, 0, w, upper, a1, a2, Dir::Vertical);
        gradient(0, upper, w, h - upper, b1, b2, Dir::Vertical);
    };
    const ButtonState s = m_p.Enabled ? m_state : ButtonState::Normal;
    fill(0, 0, w, h, base);
    if (m_p.Enabled && checked() && !m_ctx.mouseInside)
        gloss(0xA9D9FF, 0x6FC0FF, 0x3FABFF, 0x75E1FF);
    else if (s == ButtonState::Hot)
        gloss(0xE1FFFF, 0xACEAFF, 0x67D7FF, 0x99E4FF);
    else if (s == ButtonState::Down)
        gloss(0x58C1FF, 0x51AFFF, 0x468FFF, 0x5FD3FF);
    else
        gloss(avg(shift(base, 0.09f), White), avg(shift(base, 0.07f), base), base, shift(base, 0.03f));
    contents();
    frame(0, 0, w, h, shift(base, -0.34f));
    defaultRing(shift(base, -0.5f));
    if (m_p.Enabled && m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(3, 3, w - 3, h - 3);
}

void ButtonPaintJob::paintWhiteGloss()
{
    const int w = m_w, h = m_h, m = half();
    const quint32 base = m_base;
    if (!m_p.Enabled) {
        fill(0, 0, w, h, avg(sys(OleColor::ButtonFace), base));
        contents();
        frame(0, 0, w, h, shift(base, -0.2f));
        corners(shift(base, 0.05f));
        return;
    }
    switch (m_state) {
    case ButtonState::Normal:
        gradient(1, 1, w - 2, m, White, shift(base, 0.05f), Dir::Vertical);
        gradient(1, m, w - 2, h - m - 1, base, shift(base, -0.08f), Dir::Vertical);
        break;
    case ButtonState::Hot:
        gradient(1, 1, w - 2, m, White, base, Dir::Vertical);
        gradient(1, m, w - 2, h - m - 1, shift(base, -0.05f), shift(base, -0.15f), Dir::Vertical);
        break;
    case ButtonState::Down:
        gradient(1, 1, w - 2, m, shift(base, -0.1f), shift(base, -0.15f), Dir::Vertical);
        gradient(1, m, w - 2, h - m - 1, shift(base, -0.2f), shift(base, -0.25f), Dir::Vertical);
        break;
    }
    contents();
    frame(1, 1, w - 2, h - 2, White);
    frame(0, 0, w, h, shift(base, -0.4f));
    line(1, h - 2, w - 1, h - 2, shift(base, -0.2f));
    defaultRing(shift(base, -0.55f));
    corners(shift(base, 0.05f));
    if (m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(3, 3, w - 3, h - 3);
}

void ButtonPaintJob::paintPastelGloss()
{
    const int w = m_w, h = m_h, m = half();
    const quint32 base = m_base;
    const ButtonState s = m_p.Enabled ? m_state : ButtonState::Normal;
    float a1 = 0.05f, a2 = 0.08f;
    if (s == ButtonState::Hot)
        a1 = 0.10f, a2 = 0.05f;
    else if (s == ButtonState::Down)
        a1 = 0.15f, a2 = 0.20f;
    fill(0, 0, w, h, base);
    gradient(0, 0, w, m, avg(White, shift(base, a1)), base, Dir::Vertical);
    gradient(0, m, w, h - m, base, avg(White, shift(base, a2)), Dir::Vertical);
    contents();
    frame(0, 0, w, h, shift(base, s == ButtonState::Normal ? -0.25f : -0.35f));
    defaultRing(shift(base, -0.45f));
    corners(shift(base, -0.1f));
    if (m_p.Enabled && m_ctx.parentActive && m_p.ShowFocusRect && focusOrDefault())
        focusRect(3, 3, w - 3, h - 3);
}

} // namespace brenlow
