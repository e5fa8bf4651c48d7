#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <vector>

class QPainter;
class QWidget;
class QFontMetrics;

namespace brenlow {

/** Drawing with the semantics the controls were designed against: rectangles given as left, top,
 *  right, bottom with the right and bottom edge excluded, lines that leave out their end point, text
 *  drawn by a set of text-drawing flags, and the classic raised/sunken edges and dotted focus frame.
 *  Everything draws in pixels through a QPainter (usually on a control's own QImage surface). */
namespace Gdi {

/** A rectangle by its edges; right and bottom are exclusive, so the width is right - left. */
[[nodiscard]] constexpr QRect Ltrb(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

/** Fills the rectangle (nothing when empty). */
void FillRect(QPainter& p, const QRect& r, const QColor& color);

/** A one-pixel frame on the inside of the rectangle. */
void FrameRect(QPainter& p, const QRect& r, const QColor& color);

/** A line from (x1, y1) towards (x2, y2), the end point itself not drawn. A width above 1 widens
 *  horizontal and vertical lines around their centre, as a wide pen does. */
void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& color, int width = 1);

/** A rectangle with rounded corners: outline in `pen`, filled with `brush` (invalid = hollow). */
void RoundRect(QPainter& p, const QRect& r, int cornerWidth, int cornerHeight, const QColor& pen,
               const QColor& brush);

/** Directions of a gradient: 0 left to right, 1 top to bottom, 2 top-left to bottom-right,
 *  3 bottom-left to top-right. */
enum class GradientDirection
{
    Horizontal = 0,
    Vertical = 1,
    Diagonal = 2,
    DiagonalUp = 3
};

/** n + 1 colours from `from` to `to`: entry i = from + (to - from) * i / n per channel, divided as
 *  whole numbers (truncating towards zero). With n = 0 the single entry is the two colours' halves
 *  added. */
[[nodiscard]] std::vector<QRgb> GradientRamp(const QColor& from, const QColor& to, int n);

/** Fills the rectangle with the ramp laid along the direction (nothing when empty). */
void Gradient(QPainter& p, const QRect& r, const QColor& from, const QColor& to, GradientDirection direction);

/** Classic 3-D edges, drawn inside the rectangle with the system colours of button highlight,
 *  light, shadow and dark shadow. */
enum class Edge
{
    RaisedOuter,
    SunkenOuter,
    RaisedInner,
    SunkenInner,
    Raised,
    Sunken,
    Etched,
    Bump
};
void DrawEdge(QPainter& p, const QRect& r, Edge edge);

/** The dotted focus frame: every other pixel of the one-pixel border is inverted, so drawing it
 *  twice restores the surface. */
void DrawFocusRect(QPainter& p, const QRect& r);

/** Text-drawing flags (combinable). Vertical centring and bottom alignment apply to single-line
 *  text only; without NoPrefix an "&" marks the next character as a mnemonic. */
namespace DT {
enum : quint32
{
    Left = 0,
    Center = 1,
    Right = 2,
    VCenter = 4,
    Bottom = 8,
    WordBreak = 16,
    SingleLine = 32,
    ExpandTabs = 64,
    NoClip = 256,
    CalcRect = 1024,
    NoPrefix = 2048,
    PathEllipsis = 0x4000,
    EndEllipsis = 0x8000,
    WordEllipsis = 0x40000,
};
}

/** The Qt alignment and text flags that correspond to a set of text-drawing flags (ellipsis and
 *  measuring are handled by DrawText, not by Qt flags). */
[[nodiscard]] int QtTextFlags(quint32 flags);

/** Draws text into the rectangle with the flags and returns the height of the text drawn. With
 *  CalcRect nothing is drawn: the rectangle's bottom (and, for text that does not break, its right)
 *  is moved to fit the text, as the measuring mode does. The painter's font and pen are used. */
int DrawText(QPainter& p, const QString& text, QRect& r, quint32 flags);

/** The measuring mode without a painter: the rectangle fitted to the text in `font`. */
[[nodiscard]] QRect CalcTextRect(const QFont& font, const QString& text, const QRect& r, quint32 flags);

/** The text as it is drawn on one line in `width` pixels: cut with "..." when an ellipsis flag is
 *  set and it does not fit, otherwise unchanged. */
[[nodiscard]] QString ElideLine(const QFontMetrics& fm, const QString& text, int width, quint32 flags);

/** Platform-drawn parts (frame controls and themed parts) through the current QStyle. */
enum class PartState
{
    Normal = 1,
    Hot = 2,
    Pressed = 3,
    Disabled = 4
};
void DrawPushButton(QPainter& p, const QRect& r, PartState state, bool flat, const QWidget* widget = nullptr);
void DrawCheckBox(QPainter& p, const QRect& r, bool checked, PartState state,
                  const QWidget* widget = nullptr);
void DrawHeaderSection(QPainter& p, const QRect& r, PartState state, const QWidget* widget = nullptr);

} // namespace Gdi

/** Colour arithmetic on 0x00BBGGRR values (see OleColor). */
namespace ColorMath {

/** a * w / 255 + b * (255 - w) / 255 per channel, rounded halves to even; w is clamped to 0..255.
 *  System colour codes are translated first. */
[[nodiscard]] quint32 Blend(quint32 a, quint32 b, int w);

/** Translates c, then adds n to each channel, clamped to 0..255. */
[[nodiscard]] quint32 Shift(quint32 c, int n);

/** Adds n to each channel of c without translating it, clamping at 255 when n > 0 and at 0 when
 *  n < 0; the top byte is dropped. */
[[nodiscard]] quint32 RawShift(quint32 c, int n);

} // namespace ColorMath
} // namespace brenlow
