// do.dll's side of the media part: the functions of Picture.h and DirectLink.h, and WriteDemoPicture,
// forwarded to the module, which is loaded when the first of them is called (see MediaPart.h).

#include "DirectLink.h"
#include "MediaPart.h"
#include "Picture.h"
#include "Simulator.h"

#include <dlfcn.h>
#include <cstddef>
#include <vector>
#include <unistd.h>

namespace brenlow::tool {
namespace {

/** The folder of this program, links resolved: the module's folder lies in it. */
QByteArray programFolder()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    const QByteArray self(path, n);
    return self.left(self.lastIndexOf('/'));
}

/** The module from the folders the loader searches for this program's libraries (its run path
 *  first). Asked of the loader, not left to dlopen's own search: a sanitizer's dlopen searches from
 *  the sanitizer's library, whose run path is not the program's. */
void* fromSearchPath()
{
    void* self = ::dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (!self || ::dlinfo(self, RTLD_DI_SERINFOSIZE, &size) != 0 || size.dls_size < sizeof(Dl_serinfo))
        return nullptr;
    std::vector<std::max_align_t> buffer(size.dls_size / sizeof(std::max_align_t) + 1);
    auto* info = reinterpret_cast<Dl_serinfo*>(buffer.data());
    *info = size;
    if (::dlinfo(self, RTLD_DI_SERINFOSIZE, info) != 0 || ::dlinfo(self, RTLD_DI_SERINFO, info) != 0)
        return nullptr;
    for (unsigned int i = 0; i < info->dls_cnt; ++i) {
        const QByteArray path = QByteArray(info->dls_serpath[i].dls_name) + '/' + kMediaPartFile;
        if (void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return nullptr;
}

/** The module's table, or nothing with the reason in error. Loaded once. */
const MediaPart* mediaPart(QString* error)
{
    static QString failure;
    static const MediaPart* const part = []() -> const MediaPart* {
        // Next to the program; else where the build put it (its run path), for a copy of the
        // program elsewhere.
        void* module =
            ::dlopen(programFolder() + '/' + kMediaPartFolder + '/' + kMediaPartFile, RTLD_NOW | RTLD_LOCAL);
        if (!module)
            module = fromSearchPath();
        if (!module) {
            failure = QStringLiteral("do.dll could not load %1: %2")
                          .arg(QLatin1String(kMediaPartFile), QString::fromLocal8Bit(::dlerror()));
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
