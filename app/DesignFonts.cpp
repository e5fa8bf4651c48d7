#include "app/DesignFonts.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QHash>

namespace brenlow {

QStringList RegisterDesignFonts(const QString& folder, qreal devicePixelRatio)
{
    const bool bitmapStrikesFit = qFuzzyCompare(devicePixelRatio, 1.0);
    static const char* const files[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};
    // Font ids by file, so a second window does not add the same faces again.
    static QHash<QString, int> registered;
    QStringList families;
    for (const char* name : files) {
        if (!bitmapStrikesFit && qstrcmp(name, "ms_sans_serif.ttf") == 0)
            continue;
        const QString path = QDir(folder).absoluteFilePath(QString::fromLatin1(name));
        auto it = registered.constFind(path);
        if (it == registered.constEnd()) {
            if (!QFileInfo(path).isFile())
                continue;
            it = registered.insert(path, QFontDatabase::addApplicationFont(path));
        }
        if (*it < 0)
            continue;
        for (const QString& family : QFontDatabase::applicationFontFamilies(*it)) {
            if (!families.contains(family))
                families << family;
        }
    }
    // A scaled bitmap strike draws small glyphs far apart; the outline face reads well at any size.
    if (!bitmapStrikesFit && families.contains(QStringLiteral("Tahoma")) &&
        !QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")))
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
    return families;
}

} // namespace brenlow
