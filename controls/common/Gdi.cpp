#include "controls/common/Gdi.h"

#include "base/Rounding.h"
#include "controls/common/Colors.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace brenlow {
namespace Gdi {

namespace {

QColor sys(quint32 code)
{
    return OleColor::ToQColor(code);
}

// Removes mnemonic markers: "&&" stays as "&", a lone "&" disappears.
QString stripPrefix(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&'))
                out += QLatin1Char('&'), ++i;
            continue;
        }
        out += text.at(i);
    }
    return out;
}

bool hasEllipsis(quint32 flags)
{
    return flags & (DT::EndEllipsis | DT::WordEllipsis | DT::PathEllipsis);
}

// Breaks one paragraph into lines at spaces; a word wider than the width keeps its own line.
void wrapParagraph(const QFontMetrics& fm, const QString& para, int width, QStringList& lines)
{
    const QStringList words = para.split(QLatin1Char(' '));
    QString line;
    for (const QString& word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    lines << line;
}

QStringList layoutLines(const QFontMetrics& fm, QString text, int width, quint32 flags)
{
    if (!(flags & DT::NoPrefix))
        text = stripPrefix(text);
    QStringList lines;
    if (flags & DT::SingleLine) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << text;
        return lines;
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& para : paragraphs) {
        if (flags & DT::WordBreak)
            wrapParagraph(fm, para, width, lines);
        else
            lines << para;
    }
    return lines;
}

} // namespace

void FillRect(QPainter& p, const QRect& r, const QColor& color)
{
    if (r.width() > 0 && r.height() > 0)
        p.fillRect(r, color);
}

void FrameRect(QPainter& p, const QRect& r, const QColor& color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int l = r.left(), t = r.top(), w = r.width(), h = r.height();
    p.fillRect(QRect(l, t, w, 1), color);
    p.fillRect(QRect(l, t + h - 1, w, 1), color);
    p.fillRect(QRect(l, t, 1, h), color);
    p.fillRect(QRect(l + w - 1, t, 1, h), color);
}

void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& color, int width)
{
    width = std::max(width, 1);
    const int before = (width - 1) / 2;
    if (y1 == y2) {
        if (x1 == x2)
            return;
        const int from = x1 < x2 ? x1 : x2 + 1;
        const int to = x1 < x2 ? x2 : x1 + 1;
        p.fillRect(QRect(from, y1 - before, to - from, width), color);
        return;
    }
    if (x1 == x2) {
        const int from = y1 < y2 ? y1 : y2 + 1;
        const int to = y1 < y2 ? y2 : y1 + 1;
        p.fillRect(QRect(x1 - before, from, width, to - from), color);
        return;
    }
    // Bresenham, stopping before the end point.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy, x = x1, y = y1;
    while (x != x2 || y != y2) {
        p.fillRect(QRect(x - before, y - before, width, width), color);
        const int e2 = 2 * err;
        if (e2 >= dy)
            err += dy, x += sx;
        if (e2 <= dx)
            err += dx, y += sy;
    }
}

void RoundRect(QPainter& p, const QRect& r, int cornerWidth, int cornerHeight, const QColor& pen,
               const QColor& brush)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pen.isValid() ? QPen(pen) : QPen(Qt::NoPen));
    p.setBrush(brush.isValid() ? QBrush(brush) : QBrush(Qt::NoBrush));
    p.drawRoundedRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1), cornerWidth / 2.0,
                      cornerHeight / 2.0);
    p.restore();
}

std::vector<QRgb> GradientRamp(const QColor& from, const QColor& to, int n)
{
    if (n <= 0)
        return {qRgb(from.red() / 2 + to.red() / 2, from.green() / 2 + to.green() / 2,
                     from.blue() / 2 + to.blue() / 2)};
    std::vector<QRgb> ramp(static_cast<size_t>(n) + 1);
    const int dr = to.red() - from.red(), dg = to.green() - from.green(), db = to.blue() - from.blue();
    for (int i = 0; i <= n; ++i)
        ramp[static_cast<size_t>(i)] =
            qRgb(from.red() + dr * i / n, from.green() + dg * i / n, from.blue() + db * i / n);
    return ramp;
}

void Gradient(QPainter& p, const QRect& r, const QColor& from, const QColor& to, GradientDirection direction)
{
    const int w = r.width(), h = r.height();
    if (w <= 0 || h <= 0)
        return;
    switch (direction) {
    case GradientDirection::Horizontal: {
        const auto ramp = GradientRamp(from, to, w - 1);
        for (int c = 0; c < w; ++c)
            p.fillRect(QRect(r.left() + c, r.top(), 1, h), QColor::fromRgb(ramp[static_cast<size_t>(c)]));
        return;
    }
    case GradientDirection::Vertical: {
        const auto ramp = GradientRamp(from, to, h - 1);
        for (int row = 0; row < h; ++row)
            p.fillRect(QRect(r.left(), r.top() + row, w, 1), QColor::fromRgb(ramp[static_cast<size_t>(row)]));
        return;
    }
    case GradientDirection::Diagonal:
    case GradientDirection::DiagonalUp: {
        const auto ramp = GradientRamp(from, to, w + h - 2);
        QImage block(w, h, QImage::Format_RGB32);
        for (int row = 0; row < h; ++row) {
            auto* line = reinterpret_cast<QRgb*>(block.scanLine(row));
            const int offset = direction == GradientDirection::Diagonal ? row : h - 1 - row;
            for (int c = 0; c < w; ++c)
                line[c] = ramp[static_cast<size_t>(c + offset)];
        }
        p.drawImage(r.topLeft(), block);
        return;
    }
    }
}

void DrawEdge(QPainter& p, const QRect& r, Edge edge)
{
    const QColor highlight = sys(OleColor::ButtonHighlight), light = sys(OleColor::Light3D),
                 shadow = sys(OleColor::ButtonShadow), dark = sys(OleColor::DarkShadow3D);
    // One ring: top and left in the first colour (stopping one short), bottom and right in the second.
    auto ring = [&p](const QRect& b, const QColor& topLeft, const QColor& bottomRight) {
        if (b.width() <= 0 || b.height() <= 0)
            return;
        p.fillRect(QRect(b.left(), b.top(), b.width() - 1, 1), topLeft);
        p.fillRect(QRect(b.left(), b.top(), 1, b.height() - 1), topLeft);
        p.fillRect(QRect(b.left(), b.bottom(), b.width(), 1), bottomRight);
        p.fillRect(QRect(b.right(), b.top(), 1, b.height()), bottomRight);
    };
    const QRect inner = r.adjusted(1, 1, -1, -1);
    switch (edge) {
    case Edge::RaisedOuter:
        ring(r, light, dark);
        break;
    case Edge::SunkenOuter:
        ring(r, shadow, highlight);
        break;
    case Edge::RaisedInner:
        ring(r, highlight, shadow);
        break;
    case Edge::SunkenInner:
        ring(r, dark, light);
        break;
    case Edge::Raised:
        ring(r, light, dark), ring(inner, highlight, shadow);
        break;
    case Edge::Sunken:
        ring(r, shadow, highlight), ring(inner, dark, light);
        break;
    case Edge::Etched:
        ring(r, shadow, highlight), ring(inner, highlight, shadow);
        break;
    case Edge::Bump:
        ring(r, light, dark), ring(inner, dark, light);
        break;
    }
}

void DrawFocusRect(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QVector<QPoint> dots;
    const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, b = r.top() + r.height() - 1;
    auto dot = [&dots](int x, int y) {
        if (((x + y) & 1) == 0)
            dots.append(QPoint(x, y));
    };
    for (int x = l; x <= rr; ++x) {
        dot(x, t);
        if (b != t)
            dot(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        dot(l, y);
        if (rr != l)
            dot(rr, y);
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // Each dot is a whole pixel of the control, also on a surface of higher density.
    for (const QPoint& d : dots)
        p.fillRect(QRect(d, QSize(1, 1)), Qt::white);
    p.restore();
}

int QtTextFlags(quint32 flags)
{
    int qt = 0;
    if (flags & DT::Right)
        qt |= Qt::AlignRight;
    else if (flags & DT::Center)
        qt |= Qt::AlignHCenter;
    else
        qt |= Qt::AlignLeft;
    if ((flags & DT::SingleLine) && (flags & DT::Bottom))
        qt |= Qt::AlignBottom;
    else if ((flags & DT::SingleLine) && (flags & DT::VCenter))
        qt |= Qt::AlignVCenter;
    else
        qt |= Qt::AlignTop;
    if (flags & DT::SingleLine)
        qt |= Qt::TextSingleLine;
    else if (flags & DT::WordBreak)
        qt |= Qt::TextWordWrap;
    if (flags & DT::ExpandTabs)
        qt |= Qt::TextExpandTabs;
    if (flags & DT::NoClip)
        qt |= Qt::TextDontClip;
    if (!(flags & DT::NoPrefix))
        qt |= Qt::TextShowMnemonic;
    return qt;
}

QString ElideLine(const QFontMetrics& fm, const QString& text, int width, quint32 flags)
{
    if (!hasEllipsis(flags) || fm.horizontalAdvance(text) <= width)
        return text;
    return fm.elidedText(text, (flags & DT::PathEllipsis) ? Qt::ElideMiddle : Qt::ElideRight,
                         std::max(width, 0));
}

QRect CalcTextRect(const QFont& font, const QString& text, const QRect& r, quint32 flags)
{
    const QFontMetrics fm(font);
    const QStringList lines = layoutLines(fm, text, r.width(), flags);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    QRect out = r;
    out.setHeight(static_cast<int>(lines.size()) * fm.height());
    if (!(flags & DT::WordBreak) || (flags & DT::SingleLine) || widest > r.width())
        out.setWidth(widest);
    return out;
}

int DrawText(QPainter& p, const QString& text, QRect& r, quint32 flags)
{
    if (flags & DT::CalcRect) {
        r = CalcTextRect(p.font(), text, r, flags);
        return r.height();
    }
    const QFontMetrics fm(p.font());
    QStringList lines = layoutLines(fm, text, r.width(), flags);
    const int lineHeight = fm.height();
    const int total = static_cast<int>(lines.size()) * lineHeight;
    int y = r.top();
    if (flags & DT::SingleLine) {
        if (flags & DT::Bottom)
            y = r.top() + r.height() - lineHeight;
        else if (flags & DT::VCenter)
            y = r.top() + (r.height() - lineHeight) / 2;
    }
    p.save();
    if (!(flags & DT::NoClip))
        p.setClipRect(r, Qt::IntersectClip);
    for (QString& line : lines) {
        line = ElideLine(fm, line, r.width(), flags);
        const int w = fm.horizontalAdvance(line);
        int x = r.left();
        if (flags & DT::Right)
            x = r.left() + r.width() - w;
        else if (flags & DT::Center)
            x = r.left() + (r.width() - w) / 2;
        p.drawText(x, y + fm.ascent(), line);
        y += lineHeight;
    }
    p.restore();
    return total;
}

namespace {

QStyle* styleFor(const QWidget* widget)
{
    return widget ? widget->style() : QApplication::style();
}

void initOption(QStyleOption& opt, const QRect& r, PartState state, const QWidget* widget)
{
    opt.rect = r;
    opt.palette = widget ? widget->palette() : QApplication::palette();
    opt.state = QStyle::State_None;
    if (state != PartState::Disabled)
        opt.state |= QStyle::State_Enabled;
    if (state == PartState::Hot)
        opt.state |= QStyle::State_MouseOver;
    if (state == PartState::Pressed)
        opt.state |= QStyle::State_Sunken;
}

} // namespace

void DrawPushButton(QPainter& p, const QRect& r, PartState state, bool flat, const QWidget* widget)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QStyleOptionButton opt;
    initOption(opt, r, state, widget);
    if (state != PartState::Pressed)
        opt.state |= QStyle::State_Raised;
    if (flat)
        opt.features |= QStyleOptionButton::Flat;
    p.fillRect(r, opt.palette.button());
    styleFor(widget)->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, widget);
}

void DrawCheckBox(QPainter& p, const QRect& r, bool checked, PartState state, const QWidget* widget)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QStyleOptionButton opt;
    initOption(opt, r, state, widget);
    opt.state |= checked ? QStyle::State_On : QStyle::State_Off;
    styleFor(widget)->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p, widget);
}

void DrawHeaderSection(QPainter& p, const QRect& r, PartState state, const QWidget* widget)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QStyleOptionHeader opt;
    initOption(opt, r, state, widget);
    opt.state |= QStyle::State_Horizontal;
    if (state != PartState::Pressed)
        opt.state |= QStyle::State_Raised;
    opt.orientation = Qt::Horizontal;
    opt.position = QStyleOptionHeader::Middle;
    styleFor(widget)->drawControl(QStyle::CE_HeaderSection, &opt, &p, widget);
}

} // namespace Gdi

namespace ColorMath {

namespace {
int clampChannel(int v)
{
    return std::clamp(v, 0, 255);
}
} // namespace

quint32 Blend(quint32 a, quint32 b, int w)
{
    w = std::clamp(w, 0, 255);
    const quint32 ta = OleColor::Translate(a), tb = OleColor::Translate(b);
    auto mix = [w](int x, int y) {
        return clampChannel(static_cast<int>(RoundHalfEven((x * w + y * (255 - w)) / 255.0)));
    };
    return OleColor::Rgb(mix(OleColor::Red(ta), OleColor::Red(tb)),
                         mix(OleColor::Green(ta), OleColor::Green(tb)),
                         mix(OleColor::Blue(ta), OleColor::Blue(tb)));
}

quint32 Shift(quint32 c, int n)
{
    const quint32 t = OleColor::Translate(c);
    return OleColor::Rgb(clampChannel(OleColor::Red(t) + n), clampChannel(OleColor::Green(t) + n),
                         clampChannel(OleColor::Blue(t) + n));
}

quint32 RawShift(quint32 c, int n)
{
    auto step = [n](int ch) { return n > 0 ? std::min(ch + n, 255) : std::max(ch + n, 0); };
    return OleColor::Rgb(step(OleColor::Red(c)), step(OleColor::Green(c)), step(OleColor::Blue(c)));
}

} // namespace ColorMath
} // namespace brenlow
