#include "ButtonSheet.h"

#include "controls/button/ButtonPainter.h"
#include "controls/button/ButtonPictures.h"
#include "controls/button/glintbutton.h"
#include "controls/common/PropertyBag.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace brenlow;

namespace {

const char* const StyleNames[] = {
    "Standard",        "Flat",        "RoundedGradient", "GlossyStrips", "HoverBox",
    "ToolbarGradient", "SilverLines", "WarmHover",       "OrangeGloss",  "WhiteGloss",
    "PastelGloss",     "HoverRaised", "HoverFlat",       "VisualStyle"};

/** A main-window button, set up from stored values as the window stores them. */
glintbutton* mainWindowButton(QWidget* parent, const QString& caption, const QString& picture, bool bold,
                              bool enabled, int widthPx)
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("ButtonStyle"), 3);
    bag.WriteProperty(QStringLiteral("ColorScheme"), 2);
    bag.WriteProperty(QStringLiteral("BackColor"), 0xE3E3E3u);
    bag.WriteProperty(QStringLiteral("MaskColor"), ButtonPictureMaskColor);
    bag.WriteProperty(QStringLiteral("PictureEffectOnOver"), 0);
    bag.WriteProperty(QStringLiteral("PictureEffectOnDown"), 0);
    bag.WriteProperty(QStringLiteral("CaptionEffects"), 0);
    bag.WriteProperty(QStringLiteral("TooltipBackColor"), 0);
    bag.WriteProperty(QStringLiteral("PictureNormal"), BundledButtonPicture(picture));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(bold ? 9.75 : 8.25);
    font.setBold(bold);
    bag.WriteProperty(QStringLiteral("Font"), font);
    if (bold)
        bag.WriteProperty(QStringLiteral("ForeColor"), 0xFF0000u);
    if (!enabled)
        bag.WriteProperty(QStringLiteral("Enabled"), false);
    bag.WriteProperty(QStringLiteral("Caption"), caption);
    auto* b = new glintbutton(parent);
    b->ReadProperties(bag);
    b->setFixedSize(widthPx, 33);
    return b;
}

QLabel* look(int style, ButtonState state, bool enabled, bool focus, bool checked, bool dropDown)
{
    ButtonProperties p =
        ButtonProperties::Fresh(QFont(QStringLiteral("Tahoma"), 8), QStringLiteral("Button"));
    p.ButtonStyle = style;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    p.Caption = QStringLiteral("&Button");
    p.PictureNormal = BundledButtonPicture(QStringLiteral("download")).scaled(16, 16);
    p.MaskColor = ButtonPictureMaskColor;
    p.Enabled = enabled;
    p.Mode = checked ? ModeCheck : ModeCommand;
    p.Value = checked;
    p.DropDownSymbol = dropDown ? 6 : 0;
    p.DropDownSeparator = dropDown;
    p.ShowFocusRect = true;
    ButtonPaintContext ctx;
    ctx.state = checked && CheckedDrawsDown(style) ? ButtonState::Down : state;
    ctx.hasFocus = focus;
    QImage surface(104, 28, QImage::Format_RGB32);
    surface.fill(Qt::white);
    PaintButton(surface, p, ctx);
    // Show the window region's cut corners against the sheet.
    const QRegion region = ButtonRegion(style, surface.width(), surface.height());
    QImage shown(surface.size(), QImage::Format_ARGB32);
    shown.fill(Qt::transparent);
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (region.contains(QPoint(x, y)))
                shown.setPixel(x, y, surface.pixel(x, y));
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(shown));
    return label;
}

} // namespace

ButtonSheet::ButtonSheet(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("glintbutton gallery"));
    auto* outer = new QVBoxLayout(this);

    auto* live = new QHBoxLayout;
    live->addWidget(
        mainWindowButton(this, QStringLiteral("Add Video Link"), QStringLiteral("add"), false, true, 129));
    live->addWidget(
        mainWindowButton(this, QStringLiteral("Browse..."), QStringLiteral("browse"), false, true, 97));
    live->addWidget(
        mainWindowButton(this, QStringLiteral("Cancel"), QStringLiteral("cancel"), true, false, 97));
    live->addWidget(
        mainWindowButton(this, QStringLiteral("Delete"), QStringLiteral("delete"), false, true, 97));
    live->addWidget(
        mainWindowButton(this, QStringLiteral("Download"), QStringLiteral("download"), true, true, 105));
    live->addStretch();
    outer->addLayout(live);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    const char* const heads[] = {"Normal", "Hot", "Down", "Disabled", "Focused", "Checked", "Drop-down"};
    for (int c = 0; c < 7; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(heads[c])), 0, c + 1);
    for (int style = 0; style <= 13; ++style) {
        grid->addWidget(
            new QLabel(QStringLiteral("%1 %2").arg(style).arg(QString::fromLatin1(StyleNames[style]))),
            style + 1, 0);
        grid->addWidget(look(style, ButtonState::Normal, true, false, false, false), style + 1, 1);
        grid->addWidget(look(style, ButtonState::Hot, true, false, false, false), style + 1, 2);
        grid->addWidget(look(style, ButtonState::Down, true, false, false, false), style + 1, 3);
        grid->addWidget(look(style, ButtonState::Normal, false, false, false, false), style + 1, 4);
        grid->addWidget(look(style, ButtonState::Normal, true, true, false, false), style + 1, 5);
        grid->addWidget(look(style, ButtonState::Normal, true, false, true, false), style + 1, 6);
        grid->addWidget(look(style, ButtonState::Hot, true, false, false, true), style + 1, 7);
    }
    outer->addLayout(grid);
    outer->addStretch();
}
