#include "app/ButtonDesign.h"

#include "controls/button/ButtonPictures.h"

#include <QApplication>
#include <QFont>

namespace brenlow {

namespace {

struct ButtonLook
{
    const char* caption;
    const char* picture;
    bool bold;
};

// Indexed by the button's number; 0 is unused.
constexpr ButtonLook Looks[] = {
    {"", "", false},
    {"Add Video Link", "add", false},
    {"Browse...", "browse", false},
    {"Cancel", "cancel", true},
    {"Delete", "delete", false},
    {"Download", "download", true},
};

} // namespace

PropertyBag MainWindowButtonDesign(int n)
{
    PropertyBag bag;
    if (n < 1 || n > 5)
        return bag;
    const ButtonLook& look = Looks[n];
    bag.WriteProperty(QStringLiteral("ButtonStyle"), 3);
    bag.WriteProperty(QStringLiteral("ColorScheme"), 2);
    bag.WriteProperty(QStringLiteral("BackColor"), 0xE3E3E3u);
    bag.WriteProperty(QStringLiteral("MaskColor"), ButtonPictureMaskColor);
    bag.WriteProperty(QStringLiteral("PictureEffectOnOver"), 0);
    bag.WriteProperty(QStringLiteral("PictureEffectOnDown"), 0);
    bag.WriteProperty(QStringLiteral("CaptionEffects"), 0);
    bag.WriteProperty(QStringLiteral("TooltipBackColor"), 0);
    bag.WriteProperty(
        QStringLiteral("PictureNormal"),
        BundledButtonPicture(QString::fromLatin1(look.picture), qApp ? qApp->devicePixelRatio() : 1.0));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(look.bold ? 9.75 : 8.25);
    font.setBold(look.bold);
    bag.WriteProperty(QStringLiteral("Font"), font);
    if (look.bold)
        bag.WriteProperty(QStringLiteral("ForeColor"), 0xFF0000u);
    if (n == 3)
        bag.WriteProperty(QStringLiteral("Enabled"), false);
    bag.WriteProperty(QStringLiteral("Caption"), QString::fromLatin1(look.caption));
    return bag;
}

} // namespace brenlow
