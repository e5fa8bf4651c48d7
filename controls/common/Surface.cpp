#include "controls/common/Surface.h"

#include <limits>

#include <sys/mman.h>

namespace brenlow {

namespace {

/** Below this many bytes the heap serves the surface as well. */
constexpr qsizetype MappedFrom = 512 * 1024;

struct Mapping
{
    void* start;
    size_t length;
};

void unmap(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    ::munmap(mapping->start, mapping->length);
    delete mapping;
}

} // namespace

QImage NewSurface(QSize pixels, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (pixels.isEmpty() || depth <= 0)
        return QImage(pixels, format);
    const qint64 bytesPerLine = (qint64(pixels.width()) * depth + 31) / 32 * 4;
    const qint64 length = bytesPerLine * pixels.height();
    if (length < MappedFrom || bytesPerLine > std::numeric_limits<int>::max())
        return QImage(pixels, format);
    void* start = ::mmap(nullptr, static_cast<size_t>(length), PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (start == MAP_FAILED)
        return QImage(pixels, format);
    auto* mapping = new Mapping{start, static_cast<size_t>(length)};
    QImage surface(static_cast<uchar*>(start), pixels.width(), pixels.height(),
                   static_cast<qsizetype>(bytesPerLine), format, unmap, mapping);
    if (surface.isNull())
        unmap(mapping);
    return surface;
}

} // namespace brenlow
