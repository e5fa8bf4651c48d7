// The progress parse of download output chunks.
#include "FuzzInput.h"

#include "app/ProgressParser.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    const int stage = in.byte() % 8;
    const int frame = static_cast<int8_t>(in.byte());
    QString chunk = in.rest();
    // Chunks arrive padded with NULs to 256 characters.
    if (chunk.size() < 256)
        chunk += QString(256 - chunk.size(), QChar(u'\0'));
    const QString text = brenlow::ChunkText(chunk);
    BRENLOW_FUZZ_CHECK(!text.contains(QChar(u'\0')));
    const double percent = brenlow::ProgressPercent(text);
    BRENLOW_FUZZ_CHECK(std::isfinite(percent));
    (void)brenlow::StatusText(stage, frame);
    return 0;
}
