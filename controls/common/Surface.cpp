#include "controls/common/Surface.h"

#include <cstdint>
#include <limits>

#include <sys/mman.h>
#include <unistd.h>

namespace brenlow {

namespace {

/** Below this many bytes the heap serves the surface as well. */
constexpr qsizetype MappedFrom = 512 * 1024;
/** The size of a huge page on x86-64 and most 64-bit ARM systems. */
constexpr size_t HugePage = size_t{2} << 20;

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

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

/** `value` rounded up to a multiple of `unit`, a power of two. */
constexpr uintptr_t alignUp(uintptr_t value, uintptr_t unit)
{
    return (value + unit - 1) & ~(unit - 1);
}

/** Maps `length` bytes starting on a huge-page boundary and asks for huge pages: a first paint
 *  then faults once per 2 MB instead of once per 4 KB, which on a virtual machine is the larger
 *  part of its cost. The pages are filled in ahead where the system can. Null when the memory
 *  cannot be had. */
void* mapAligned(size_t length)
{
    void* reserved = ::mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reserved == MAP_FAILED)
        return nullptr;
    const auto at = reinterpret_cast<uintptr_t>(reserved);
    const uintptr_t aligned = alignUp(at, HugePage);
    if (aligned > at)
        ::munmap(reserved, aligned - at);
    // What is left of the extra huge page lies after the surface (at least one page).
    ::munmap(reinterpret_cast<void*>(aligned + length), at + HugePage - aligned);
    void* start = reinterpret_cast<void*>(aligned);
    // Both are advice: without them the surface is as good, only slower to fill the first time.
    ::madvise(start, length, MADV_HUGEPAGE);
    ::madvise(start, length, MADV_POPULATE_WRITE);
    return start;
}

} // namespace

void FillInPages(const QImage& image)
{
    if (image.constBits() == nullptr)
        return;
    // Only whole pages inside the image: the first and last may be shared with other memory.
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(image.constBits());
    const uintptr_t from = alignUp(begin, page);
    const uintptr_t to = (begin + static_cast<uintptr_t>(image.sizeInBytes())) & ~(page - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
}

QImage NewSurface(QSize pixels, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (pixels.isEmpty() || depth <= 0)
        return QImage(pixels, format);
    const qint64 bytesPerLine = (qint64(pixels.width()) * depth + 31) / 32 * 4;
    const qint64 length = bytesPerLine * pixels.height();
    if (length < MappedFrom || bytesPerLine > std::numeric_limits<int>::max())
        return QImage(pixels, format);
    // A tail short of a whole huge page would take small pages, a fault each: the mapping ends on a
    // huge-page boundary (under 2 MB more; only large surfaces, of which a window has one or two).
    const auto mapped = static_cast<size_t>(alignUp(static_cast<uintptr_t>(length), HugePage));
    void* start = mapAligned(mapped);
    if (start == nullptr)
        return QImage(pixels, format);
    auto* mapping = new Mapping{start, mapped};
    QImage surface(static_cast<uchar*>(start), pixels.width(), pixels.height(),
                   static_cast<qsizetype>(bytesPerLine), format, unmap, mapping);
    if (surface.isNull())
        unmap(mapping);
    return surface;
}

} // namespace brenlow
