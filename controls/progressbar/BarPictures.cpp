#include "controls/progressbar/BarPictures.h"

#include <QDir>
#include <QFileInfo>

// Outside any namespace: the macro declares a function of the resource library.
static void initProgressBarResources()
{
    Q_INIT_RESOURCE(progressbar);
}

namespace brenlow {

QImage LoadBarResource(const QString& name)
{
    static const bool initialised = (initProgressBarResources(), true);
    Q_UNUSED(initialised);
    const QDir dir(QStringLiteral(":/progressbar"));
    const QFileInfoList entries = dir.entryInfoList(QDir::Files);
    for (const QFileInfo& entry : entries) {
        if (entry.completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
            return QImage(entry.filePath()).convertToFormat(QImage::Format_RGB32);
    }
    return {};
}

} // namespace brenlow
