#pragma once

// One redraw of a glintbutton: the drawing steps shared by the style painters. Private to the
// button's painter files.

#include "controls/button/ButtonColors.h"
#include "controls/button/ButtonPainter.h"
#include "controls/common/Gdi.h"

#include <QPainter>

namespace brenlow {

class ButtonPaintJob
{
public:
    ButtonPaintJob(QImage& surface, const ButtonProperties& p, const ButtonPaintContext& ctx);

    ButtonLayout Run();

private:
    using Dir = Gdi::GradientDirection;

    // Drawing operations, with the button's arguments: colours are 0x00BBGGRR.
    static QColor qc(quint32 c);
    void gradient(int x, int y, int w, int h, quint32 c1, quint32 c2, Dir dir);
    void frame(int x, int y, int w, int h, quint32 c);
    void fill(int l, int t, int r, int b, quint32 c);
    void line(int x1, int y1, int x2, int y2, quint32 c);
    void corners(quint32 c);
    void pixel(int x, int y, quint32 c);
    void edge(int l, int t, int r, int b, Gdi::Edge kind);
    void focusRect(int l, int t, int r, int b);
    // The default-button mark of the gradient styles 5 to 10: a two-pixel ring in `c` on the
    // normal look, while the window is active and the button has the focus or is the default.
    void defaultRing(quint32 c);
    [[nodiscard]] quint32 pixelAt(int x, int y) const;
    [[nodiscard]] int half() const; // round(h / 2)
    [[nodiscard]] static int rnd(double v);
    [[nodiscard]] bool checked() const { return m_p.Mode != ModeCommand && m_p.Value; }
    [[nodiscard]] bool focusOrDefault() const { return m_ctx.hasFocus || m_ctx.isDefault; }
    [[nodiscard]] quint32 sys(quint32 c) const { return OleColor::Translate(c); }
    static quint32 shift(quint32 c, float a) { return ButtonColors::Shift(c, a); }
    static quint32 avg(quint32 a, quint32 b) { return ButtonColors::Average(a, b); }

    // Style painters.
    void paintClassic();      // 0, 1, 11, 12
    void paintRounded();      // 2
    void paintGlossyStrips(); // 3
    void paintHoverBox();     // 4
    void paintToolbar();      // 5
    void paintSilverLines();  // 6
    void paintWarmHover();    // 7
    void paintOrangeGloss();  // 8
    void paintWhiteGloss();   // 9
    void paintPastelGloss();  // 10
    void paintVisualStyle();  // 13

    // Contents: caption, picture and drop-down symbol.
    void contents();
    void drawPicture(const QImage& picture, int x, int y, std::optional<quint32> silhouette);
    void drawCaption(const QRect& r, quint32 color);

    QImage& m_surface;
    QPainter m_painter;
    const ButtonProperties& m_p;
    ButtonPaintContext m_ctx;
    ButtonState m_state;
    int m_w; // logical size: the design's pixels, whatever the surface's density
    int m_h;
    qreal m_ratio;
    quint32 m_base;
    ButtonLayout m_layout;
};

} // namespace brenlow
