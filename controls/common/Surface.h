#pragma once

#include <QImage>
#include <QSize>

namespace brenlow {

/** A control's drawing surface of `pixels` device pixels. A large one gets its memory mapped in
 *  whole at once, in huge pages where the system gives them: touched page by page while the first
 *  picture is drawn, a surface the size of a high-density screen's list costs a thousand page
 *  faults, a good part of a window's first paint.
 *  Behaves as any QImage (implicitly shared; the memory goes with the last copy). */
[[nodiscard]] QImage NewSurface(QSize pixels, QImage::Format format);

/** Asks the system for every page of `image`'s memory at once, without changing its pixels: one
 *  call in place of a fault per page at its first painting, which a large window's first frame
 *  otherwise pays on a virtual machine. For memory the caller did not make, such as the window's
 *  backing store. */
void FillInPages(const QImage& image);

} // namespace brenlow
