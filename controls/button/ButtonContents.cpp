// The contents of a button: where the caption, the picture and the drop-down symbol go, and how
// each is drawn.
#include "controls/button/ButtonPaintJob.h"
#include "controls/button/ButtonPicture.h"

#include <QFontMetrics>

namespace brenlow {

namespace {

/** A rectangle by its edges, right and bottom exclusive. */
struct Edges
{
    int l = 0, t = 0, r = 0, b = 0;
    void move(int dx, int dy) { l += dx, r += dx, t += dy, b += dy; }
    [[nodiscard]] QRect rect() const { return QRect(l, t, r - l, b - t); }
};

constexpr int TextFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;

/** The glyphs of the symbol font, drawn as shapes: 3 left, 4 right, 5 up, 6 down triangles
 *  (7, 8 and 9 smaller left, right and down ones), 0 a minimise bar, 1 and 2 window boxes. */
void drawSymbol(QPainter& p, QChar glyph, const QRect& r, const QColor& color)
{
    const int cx = r.left() + r.width() / 2, cy = r.top() + r.height() / 2;
    p.save();
    p.setPen(Qt::NoPen);
    auto rows = [&](int size, bool vertical, bool forward) {
        // size rows (or columns) of shrinking length 2*size-1, 2*size-3, ..., 1
        for (int i = 0; i < size; ++i) {
            const int len = 2 * (size - i) - 1;
            const int offset = forward ? i : -i;
            if (vertical)
                p.fillRect(
                    QRect(cx - len / 2, cy - size / 2 + (forward ? offset : size - 1 + offset), len, 1),
                    color);
            else
                p.fillRect(
                    QRect(cx - size / 2 + (forward ? offset : size - 1 + offset), cy - len / 2, 1, len),
                    color);
        }
    };
    switch (glyph.unicode()) {
    case '3':
        rows(4, false, false);
        break;
    case '4':
        rows(4, false, true);
        break;
    case '5':
        rows(4, true, false);
        break;
    case '6':
        rows(4, true, true);
        break;
    case '7':
        rows(3, false, false);
        break;
    case '8':
        rows(3, false, true);
        break;
    case '9':
        rows(3, true, true);
        break;
    case '0':
        p.fillRect(QRect(cx - 4, cy + 2, 8, 2), color);
        break;
    case '1':
        p.fillRect(QRect(cx - 4, cy - 4, 9, 2), color);
        p.fillRect(QRect(cx - 4, cy - 4, 1, 9), color);
        p.fillRect(QRect(cx + 4, cy - 4, 1, 9), color);
        p.fillRect(QRect(cx - 4, cy + 4, 9, 1), color);
        break;
    case '2':
        p.fillRect(QRect(cx - 2, cy - 4, 7, 2), color);
        p.fillRect(QRect(cx + 4, cy - 4, 1, 6), color);
        p.fillRect(QRect(cx - 4, cy - 1, 7, 2), color);
        p.fillRect(QRect(cx - 4, cy - 1, 1, 6), color);
        p.fillRect(QRect(cx + 2, cy - 1, 1, 6), color);
        p.fillRect(QRect(cx - 4, cy + 4, 7, 1), color);
        break;
    default:
        break;
    }
    p.restore();
}

} // namespace

void ButtonPaintJob::drawCaption(const QRect& r, quint32 color)
{
    m_painter.setPen(qc(color));
    m_painter.drawText(r, Qt::AlignHCenter | Qt::AlignTop | TextFlags, m_p.Caption);
}

void ButtonPaintJob::drawPicture(const QImage& picture, int x, int y, std::optional<quint32> silhouette)
{
    if (picture.isNull())
        return;
    PictureBlend blend;
    if (m_state == ButtonState::Hot)
        blend.effect = m_p.PictureEffectOnOver;
    else if (m_state == ButtonState::Down)
        blend.effect = m_p.PictureEffectOnDown;
    if (m_state == ButtonState::Hot && m_p.Enabled) {
        blend.opacity = m_p.PictureOpacityOnOver;
    } else if (m_p.Enabled) {
        blend.opacity = m_p.PictureOpacity;
    } else if (m_p.DisabledPictureMode == 1) {
        blend.opacity = rnd(m_p.PictureOpacity * 0.75);
        blend.greyscale = true;
    } else {
        blend.opacity = 52;
    }
    blend.useMask = m_p.UseMaskColor;
    blend.maskColor = m_p.MaskColor;
    blend.silhouette = silhouette;
    // Blend onto a copy of what lies under the picture, then put it back. A picture drawn for the
    // surface's density goes on as it is; any other is enlarged pixel for pixel, so it looks as at
    // ratio 1, only bigger. Either way the picture counts in the button's own pixels.
    const QRect target(QPoint(x, y), picture.deviceIndependentSize().toSize());
    const QRect device(QPoint(int(x * m_ratio), int(y * m_ratio)),
                       (QSizeF(target.size()) * m_ratio).toSize());
    QImage under(device.size(), QImage::Format_RGB32);
    under.fill(qc(m_base));
    const QRect inside = device.intersected(m_surface.rect());
    if (!inside.isEmpty()) {
        QImage part = m_surface.copy(inside);
        part.setDevicePixelRatio(1);
        QPainter copy(&under);
        copy.drawImage(inside.topLeft() - device.topLeft(), part);
    }
    const QImage source = device.size() == picture.size()
                              ? picture
                              : picture.scaled(device.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    CompositePicture(under, source, blend);
    under.setDevicePixelRatio(m_ratio);
    m_painter.drawImage(target.topLeft(), under);
}

void ButtonPaintJob::contents()
{
    const int w = m_w, h = m_h;
    const bool down = m_state == ButtonState::Down;
    const bool hot = m_state == ButtonState::Hot;

    // 1. The picture for the state; the first one set wins.
    QImage picture;
    auto firstOf = [](std::initializer_list<const QImage*> list) {
        for (const QImage* i : list)
            if (!i->isNull())
                return *i;
        return QImage();
    };
    if (down || checked())
        picture = firstOf({&m_p.PictureDown, &m_p.PictureHot, &m_p.PictureNormal});
    else if (hot)
        picture = firstOf({&m_p.PictureHot, &m_p.PictureNormal});
    else
        picture = m_p.PictureNormal;
    const QSize logical = picture.deviceIndependentSize().toSize();
    const int pw = picture.isNull() ? 0 : logical.width();
    const int ph = picture.isNull() ? 0 : logical.height();
    const bool hasPicture = !m_p.PictureNormal.isNull();
    const bool dropDown = m_p.DropDownSymbol != 0 || m_p.DropDownSeparator;
    const int align = m_p.PictureAlign;

    // 2-3. Measure the caption in the room left of the reserve.
    const int reserve = dropDown ? (align == 2 || align == 3 ? 24 : 16) : 8;
    const QFontMetrics fm(m_p.Font);
    Edges R;
    if (!m_p.Caption.isEmpty()) {
        const QRect measured =
            fm.boundingRect(QRect(0, 0, std::max(0, w - reserve), h), TextFlags, m_p.Caption);
        R.r = measured.width();
        R.b = measured.height();
    }

    // 4. Place it by the caption alignment.
    switch (m_p.CaptionAlign) {
    case 0:
        R.move(2, (h - R.b) / 2);
        break;
    case 2:
        R.move(w - R.r - 4, (h - R.b) / 2);
        break;
    default:
        R.move((w - R.r + pw) / 2, (h - R.b) / 2);
        if (dropDown)
            R.move(-8, 0);
        if (align >= 5 && align <= 8)
            R.move(-(pw / 2), 0);
        break;
    }

    // 5. Make room for the picture.
    if (hasPicture) {
        switch (align) {
        case 2:
        case 3:
            if (w - pw - 4 < R.r) {
                R.r = w - pw - 4;
                R.l -= pw + 4;
            }
            if (m_p.CaptionAlign == 1)
                R.move(-12, 0);
            break;
        case 4:
            if (m_p.CaptionAlign == 1)
                R.move(-16, 0);
            break;
        case 5:
        case 6:
            R.move(0, ph / 2);
            break;
        case 7:
        case 8:
            R.move(0, -(ph / 2));
            break;
        case 0:
        case 1:
            if (m_p.CaptionAlign != 1 && R.l < pw + 4) {
                R.l = pw + 4;
                R.r += pw + 4;
            }
            break;
        default:
            break;
        }
    }

    // 6.
    if (m_p.CaptionAlign == 2 && dropDown)
        R.move(-16, 0);
    if (m_p.ButtonStyle == StyleVisualStyle) {
        R.l = std::max(R.l, 4);
        R.t = std::max(R.t, 4);
        R.r = std::min(R.r, w - 4);
        R.b = std::min(R.b, h - 4);
    }

    // 7. The picture's place.
    Edges P;
    if (hasPicture) {
        int x = (w - pw) / 2, y = (h - ph) / 2;
        if (!m_p.Caption.trimmed().isEmpty() && align != 4) {
            switch (align) {
            case 0:
            case 1:
            case 2:
            case 3:
                x = align == 0 ? 3 : align == 1 ? R.l - pw - 4 : align == 2 ? w - pw - 3 : R.r + 4;
                y = (h - ph) / 2;
                if (align >= 2) {
                    if (dropDown)
                        x -= 16;
                    x = std::max(x, R.r + 2);
                }
                break;
            default:
                y = align == 5 ? 4 : align == 6 ? R.t - ph - 2 : align == 7 ? h - ph - 4 : R.b + 2;
                x = (w - pw) / 2;
                if (dropDown)
                    x -= 8;
                break;
            }
        } else if (dropDown) {
            x -= 8;
        }
        P = {x, y, x + pw, y + ph};
    }

    // 8. The symbol's place.
    Edges S{w - 15, rnd(h / 2.0 - 7), w, rnd(h / 2.0 + 8)};

    // 9. The separator takes its colours from the background near the top-left corner.
    if (m_p.DropDownSeparator && w - 8 > R.r) {
        const quint32 near = pixelAt(7, 7);
        line(w - 16, 3, w - 16, h - 3, shift(near, -0.1f));
        line(w - 15, 3, w - 15, h - 3, shift(near, 0.1f));
    }

    // 10. Pressed contents sink by a pixel in the flatter styles.
    const int style = m_p.ButtonStyle;
    if (down && (style == StyleStandard || style == StyleFlat || style == StyleToolbarGradient ||
                 style == StyleSilverLines || style == StyleWarmHover || style == StylePastelGloss ||
                 style == StyleHoverRaised || style == StyleHoverFlat)) {
        R.move(1, 1);
        P.move(1, 1);
        S.move(1, 1);
    }

    // 11-12. The picture, pushed or with its shadow.
    if (!picture.isNull()) {
        const bool pushed = m_p.PicturePushOnHover && hot;
        if (pushed) {
            drawPicture(picture, P.l, P.t, 0xC0C0C0u);
            drawPicture(picture, P.l - 2, P.t - 2, std::nullopt);
        } else {
            if (m_p.PictureShadow) {
                const quint32 s = avg(0x808080, m_base);
                drawPicture(picture, P.l + 2, P.t + 2, shift(s, 0.05f));
                drawPicture(picture, P.l + 1, P.t + 1, shift(s, -0.1f));
            }
            drawPicture(picture, P.l, P.t, std::nullopt);
        }
    }
    m_layout.picture = P.rect();

    // 13. Caption effects, then the caption.
    m_painter.setFont(m_p.Font);
    m_painter.setLayoutDirection(m_p.RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    const QRect captionRect = R.rect();
    auto copyAt = [&](int dx, int dy, quint32 color) { drawCaption(captionRect.translated(dx, dy), color); };
    switch (m_p.CaptionEffects) {
    case 1:
        copyAt(-1, -1, shift(m_base, 0.14f));
        break;
    case 2:
        copyAt(1, 1, shift(m_base, 0.14f));
        break;
    case 3:
        copyAt(1, 1, 0xC0C0C0);
        break;
    case 4:
    case 5: {
        const quint32 c = shift(m_base, m_p.CaptionEffects == 4 ? 0.1f : -0.1f);
        copyAt(1, 1, c), copyAt(1, -1, c), copyAt(-1, 1, c), copyAt(-1, -1, c);
        break;
    }
    default:
        break;
    }
    quint32 textColor = hot ? sys(m_p.ForeColorHover) : sys(m_p.ForeColor);
    if (!m_p.Enabled)
        textColor = sys(OleColor::GrayText);
    drawCaption(captionRect, textColor);
    m_layout.caption = captionRect;

    // 14. The drop-down symbol.
    if (m_p.DropDownSymbol != 0) {
        if (down && (style == StyleStandard || style == StyleFlat || style == StyleSilverLines ||
                     style == StyleWarmHover || style == StyleHoverRaised || style == StyleHoverFlat))
            S.move(1, 1);
        const QChar glyph = QString::number(m_p.DropDownSymbol).at(0);
        drawSymbol(m_painter, glyph, S.rect(),
                   qc(m_p.Enabled ? sys(m_p.ForeColor) : sys(OleColor::GrayText)));
    }
    m_layout.symbol = S.rect();
}

} // namespace brenlow
