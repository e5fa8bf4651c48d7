// The 1-based searches and GetBetween over any texts and any start position.
#include "FuzzInput.h"

#include "base/Text.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    int lSearch = in.int32();
    const QString start = in.text();
    const QString stop = in.text();
    const QString text = in.rest();

    const int found = brenlow::InStr(lSearch, text, start);
    BRENLOW_FUZZ_CHECK(found >= 0 && found <= text.size() + 1);
    if (found > 0)
        BRENLOW_FUZZ_CHECK(text.mid(found - 1, start.size()) == start);
    const int foundNoCase = brenlow::InStrNoCase(lSearch, text, start);
    BRENLOW_FUZZ_CHECK(foundNoCase >= 0 && foundNoCase <= text.size() + 1);

    const QString between = brenlow::GetBetween(text, start, stop, lSearch);
    BRENLOW_FUZZ_CHECK(lSearch >= 0);
    if (!between.isEmpty()) {
        BRENLOW_FUZZ_CHECK(lSearch > 0);
        BRENLOW_FUZZ_CHECK(text.mid(lSearch - 1, between.size()) == between);
        BRENLOW_FUZZ_CHECK(text.mid(lSearch - 1 + between.size(), stop.size()) == stop);
    }
    (void)brenlow::GetBetween(text, start, stop);
    return 0;
}
