// do.dll's side of the media part: the functions of Picture.h and DirectLink.h, and WriteDemoPicture,
// forwarded to the module, which is loaded when the first of them is called (see MediaPart.h).

#include "DirectLink.h"
#include "MediaPart.h"
#include "Picture.h"
#include "Simulator.h"

#include "PartLoader.h"

#include <dlfcn.h>

namespace brenlow::tool {
namespace {

/** The module's table, or nothing with the reason in error. Loaded once. */
const MediaPart* mediaPart(QString* error)
{
    static QString failure;
    static const MediaPart* const part = []() -> const MediaPart* {
        std::string reason;
        void* module = LoadPart(kMediaPartFile, &reason);
        if (!module) {
            failure = QStringLiteral("do.dll could not load %1: %2")
                          .arg(QLatin1String(kMediaPartFile), QString::fromStdString(reason));
            return nullptr;
        }
        using Entry = const MediaPart* (*)();
        const auto entry = reinterpret_cast<Entry>(::dlsym(module, kMediaPartEntry));
        const MediaPart* found = entry ? entry() : nullptr;
        if (!found || found->version != kMediaPartVersion) {
            failure = QStringLiteral("%1 does not belong to this do.dll").arg(QLatin1String(kMediaPartFile));
            return nullptr;
        }
        return found;
    }();
    if (!part && error)
        *error = failure;
    return part;
}

} // namespace

QByteArray FetchForPicture(const QString& address, const QJsonObject& info, const QDeadlineTimer& deadline,
                           QString* error)
{
    const MediaPart* part = mediaPart(error);
    return part ? part->fetchForPicture(address, info, deadline, error) : QByteArray();
}

QByteArray PictureToJpeg(const QByteArray& data, const QDeadlineTimer& deadline, QString* error)
{
    const MediaPart* part = mediaPart(error);
    return part ? part->pictureToJpeg(data, deadline, error) : QByteArray();
}

bool WriteDemoPicture(const QString& colour, const QString& path, QString* error)
{
    const MediaPart* part = mediaPart(error);
    return part && part->writeDemoPicture(colour, path, error);
}

int RunDirect(const Options& options, Output& out)
{
    QString error;
    const MediaPart* part = mediaPart(&error);
    if (!part) {
        out.line(QStringLiteral("ERROR: ") + error);
        return 1;
    }
    return part->runDirect(options, out);
}

} // namespace brenlow::tool
