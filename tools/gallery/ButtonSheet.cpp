#include "ButtonSheet.h"

#include "app/ButtonDesign.h"

#include "controls/button/ButtonPainter.h"
#include "controls/button/ButtonPictures.h"
#include "controls/button/glintbutton.h"
#include "controls/common/PropertyBag.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

using namespace brenlow;

namespace {

const char* const StyleNames[] = {
    "Standard",        "Flat",        "RoundedGradient", "GlossyStrips", "HoverBox",
    "ToolbarGradient", "SilverLines", "WarmHover",       "OrangeGloss",  "WhiteGloss",
    "PastelGloss",     "HoverRaised", "HoverFlat",       "VisualStyle"};

/** A main-window button, set up from the design the window stores for CommandN. */
glintbutton* mainWindowButton(QWidget* parent, int n, int widthPx)
{
    auto* b = new glintbutton(parent);
    b->ReadProperties(MainWindowButtonDesign(n));
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

/** A style-1 button with one contents option changed by `tweak`. */
template <typename Tweak>
QLabel* contentsLook(const QString& title, ButtonState state, QSize size, Tweak tweak)
{
    ButtonProperties p = ButtonProperties::Fresh(QFont(QStringLiteral("Tahoma"), 9), QString());
    p.ButtonStyle = StyleFlat;
    p.ApplyStyleColorScheme();
    p.ApplyStyleColors();
    p.BackColor = 0xC8C8C8;
    p.Caption = title;
    p.PictureNormal = BundledButtonPicture(QStringLiteral("add")).scaled(16, 16);
    p.MaskColor = ButtonPictureMaskColor;
    tweak(p);
    ButtonPaintContext ctx;
    ctx.state = state;
    QImage surface(size, QImage::Format_RGB32);
    PaintButton(surface, p, ctx);
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(surface));
    return label;
}

} // namespace

void ButtonSheet::ShowLiveStates()
{
    // Browse hot, Delete held down, Download focused.
    const QPoint mid(20, 15);
    QMouseEvent move(QEvent::MouseMove, mid, m_live[1]->mapToGlobal(mid), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m_live[1], &move);
    QMouseEvent press(QEvent::MouseButtonPress, mid, m_live[3]->mapToGlobal(mid), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_live[3], &press);
    m_live[4]->setFocus();
}

ButtonSheet::ButtonSheet(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("glintbutton gallery"));
    auto* outer = new QVBoxLayout(this);

    auto* live = new QHBoxLayout;
    m_live << mainWindowButton(this, 1, 129) << mainWindowButton(this, 2, 97) << mainWindowButton(this, 3, 97)
           << mainWindowButton(this, 4, 97) << mainWindowButton(this, 5, 105);
    for (glintbutton* b : m_live)
        live->addWidget(b);
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

    // Caption effects, picture effects and picture places.
    auto* effects = new QGridLayout;
    effects->setHorizontalSpacing(6);
    effects->setVerticalSpacing(3);
    const QSize small(104, 28);
    for (int e = 1; e <= 5; ++e)
        effects->addWidget(contentsLook(QStringLiteral("Effect %1").arg(e), ButtonState::Normal, small,
                                        [e](ButtonProperties& p) { p.CaptionEffects = e; }),
                           0, e - 1);
    effects->addWidget(contentsLook(QStringLiteral("Shadow"), ButtonState::Normal, small,
                                    [](ButtonProperties& p) { p.PictureShadow = true; }),
                       0, 5);
    effects->addWidget(contentsLook(QStringLiteral("Pushed"), ButtonState::Hot, small,
                                    [](ButtonProperties& p) { p.PicturePushOnHover = true; }),
                       0, 6);
    effects->addWidget(contentsLook(QStringLiteral("Lighten"), ButtonState::Hot, small,
                                    [](ButtonProperties& p) { p.PictureEffectOnOver = 1; }),
                       1, 0);
    effects->addWidget(contentsLook(QStringLiteral("Darken"), ButtonState::Down, small,
                                    [](ButtonProperties& p) { p.PictureEffectOnDown = 2; }),
                       1, 1);
    effects->addWidget(contentsLook(QStringLiteral("Grey"), ButtonState::Normal, small,
                                    [](ButtonProperties& p) {
                                        p.Enabled = false;
                                        p.DisabledPictureMode = 1;
                                    }),
                       1, 2);
    effects->addWidget(contentsLook(QStringLiteral("Half"), ButtonState::Normal, small,
                                    [](ButtonProperties& p) { p.PictureOpacity = 128; }),
                       1, 3);
    effects->addWidget(contentsLook(QStringLiteral("No mask"), ButtonState::Normal, small,
                                    [](ButtonProperties& p) { p.UseMaskColor = false; }),
                       1, 4);
    effects->addWidget(contentsLook(QStringLiteral("Right"), ButtonState::Normal, small,
                                    [](ButtonProperties& p) { p.CaptionAlign = 2; }),
                       1, 5);
    effects->addWidget(contentsLook(QStringLiteral("Left"), ButtonState::Normal, small,
                                    [](ButtonProperties& p) { p.CaptionAlign = 0; }),
                       1, 6);
    for (int a = 0; a <= 8; ++a)
        effects->addWidget(contentsLook(QStringLiteral("Align %1").arg(a), ButtonState::Normal,
                                        QSize(104, 56), [a](ButtonProperties& p) { p.PictureAlign = a; }),
                           2 + a / 7, a % 7);
    outer->addLayout(effects);
    outer->addStretch();
}
