// Lenient number reading and the "forms a number" test over any text.
#include "FuzzInput.h"

#include "base/Numbers.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    const QString text = in.rest();
    const double value = brenlow::rVal(text);
    (void)value;
    const bool number = brenlow::FormsANumber(text);
    // Blanks around a number do not change the answer.
    BRENLOW_FUZZ_CHECK(brenlow::FormsANumber(QLatin1Char(' ') + text + QLatin1Char(' ')) == number ||
                       text.isEmpty() || text.front().isSpace() || text.back().isSpace());
    return 0;
}
