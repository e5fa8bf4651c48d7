#include "app/DesignFonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>

namespace brenlow {

QStringList RegisterDesignFonts(const QString& folder)
{
    static const char* const files[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};
    // Font ids by file, so a second window does not add the same faces again.
    static QHash<QString, int> registered;
    QStringList families;
    for (const char* name : files) {
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
    return families;
}

} // namespace brenlow
