#include "controls/progressbar/BarPictures.h"

#include "controls/common/BundledPicture.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

// Outside any namespace: the macro declares a function of the resource library.
static void initProgressBarResources()
{
    Q_INIT_RESOURCE(progressbar);
}

namespace brenlow {

namespace {

/** The bundled pictures by their names in lower case, listed once. */
const QHash<QString, QString>& barPicturePaths()
{
    static const QHash<QString, QString> paths = [] {
        initProgressBarResources();
        QHash<QString, QString> byName;
        for (const QFileInfo& entry : QDir(QStringLiteral(":/progressbar")).entryInfoList(QDir::Files))
            byName.insert(entry.completeBaseName().toLower(), entry.filePath());
        return byName;
    }();
    return paths;
}

} // namespace

QImage LoadBarResource(const QString& name)
{
    const QString path = barPicturePaths().value(name.toLower());
    if (path.isEmpty())
        return {};
    return ReadBundledPicture(path, "bmp", QImage::Format_RGB32);
}

QImage LoadDenseBarResource(const QString& name)
{
    QImage picture = LoadBarResource(name + QStringLiteral("@2x"));
    if (!picture.isNull())
        picture.setDevicePixelRatio(2.0);
    return picture;
}

void PrepareBarPictures(int colorSet)
{
    for (const int orientation : {0, 1}) {
        const QString name = QStringLiteral("prg%1%2").arg(colorSet).arg(orientation);
        (void)LoadBarResource(name);
        (void)LoadBarResource(name + QStringLiteral("@2x"));
    }
}

} // namespace brenlow
