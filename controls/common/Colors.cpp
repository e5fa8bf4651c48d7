#include "controls/common/Colors.h"

#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include <array>
#include <memory>

namespace brenlow::OleColor {

namespace {

const QPalette& fusionPalette()
{
    // The application forces Fusion; its standard palette keeps colours the same on every desktop.
    static const QPalette palette = [] {
        std::unique_ptr<QStyle> style(QStyleFactory::create(QStringLiteral("Fusion")));
        return style ? style->standardPalette() : QPalette();
    }();
    return palette;
}

quint32 role(QPalette::ColorRole r, QPalette::ColorGroup g = QPalette::Active)
{
    return FromQColor(fusionPalette().color(g, r));
}

std::array<quint32, 31> buildTable()
{
    std::array<quint32, 31> t{};
    t[0] = role(QPalette::Button);
    t[1] = Rgb(0, 78, 152);
    t[2] = role(QPalette::Highlight);
    t[3] = role(QPalette::Button, QPalette::Inactive);
    t[4] = role(QPalette::Window);
    t[5] = role(QPalette::Base);
    t[6] = role(QPalette::Shadow);
    t[7] = role(QPalette::WindowText);
    t[8] = role(QPalette::Text);
    t[9] = role(QPalette::HighlightedText);
    t[10] = role(QPalette::Window);
    t[11] = role(QPalette::Window);
    t[12] = role(QPalette::Dark);
    t[13] = role(QPalette::Highlight);
    t[14] = role(QPalette::HighlightedText);
    t[15] = role(QPalette::Button);
    t[16] = role(QPalette::Mid);
    t[17] = role(QPalette::Text, QPalette::Disabled);
    t[18] = role(QPalette::ButtonText);
    t[19] = role(QPalette::WindowText, QPalette::Disabled);
    t[20] = role(QPalette::Light);
    t[21] = role(QPalette::Shadow);
    t[22] = role(QPalette::Midlight);
    t[23] = role(QPalette::ToolTipText);
    t[24] = role(QPalette::ToolTipBase);
    t[25] = 0;
    t[26] = role(QPalette::Link);
    t[27] = role(QPalette::Highlight);
    t[28] = role(QPalette::Button, QPalette::Inactive);
    t[29] = role(QPalette::Highlight);
    t[30] = role(QPalette::Window);
    return t;
}

} // namespace

quint32 Translate(quint32 color)
{
    if (!IsSystem(color))
        return color & 0x00FFFFFFu;
    static const std::array<quint32, 31> table = buildTable();
    const quint32 index = color & 0x7FFFFFFFu;
    // A colour the system does not have fails to translate, which gives -1.
    return index < table.size() ? table[index] : 0xFFFFFFFFu;
}

QColor ToQColor(quint32 color)
{
    const quint32 c = Translate(color);
    return QColor(Red(c), Green(c), Blue(c));
}

quint32 FromQColor(const QColor& color)
{
    return Rgb(color.red(), color.green(), color.blue());
}

} // namespace brenlow::OleColor
