// The cleaning of a video name into a file name.
#include "FuzzInput.h"

#include "app/NameCleaner.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    const QString name = in.rest();
    const QString clean = brenlow::CleanName(name);
    for (const QChar c : u"/\\:*?\"<>|")
        BRENLOW_FUZZ_CHECK(c.isNull() || !clean.contains(c));
    BRENLOW_FUZZ_CHECK(brenlow::CleanName(clean) == clean);
    BRENLOW_FUZZ_CHECK(clean.size() <= name.size());
    return 0;
}
