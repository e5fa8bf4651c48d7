// The command-line splitter over any command line: quotes, backslashes, blanks and controls.
#include "FuzzInput.h"

#include "runner/CommandLine.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    const QString line = in.rest();
    const QStringList args = brenlow::SplitCommandLine(line);
    // Every character of an argument comes from the line; separators and grouping quotes do not.
    qsizetype total = 0;
    for (const QString& a : args)
        total += a.size();
    BRENLOW_FUZZ_CHECK(total <= line.size());
    BRENLOW_FUZZ_CHECK(args.size() <= line.size() / 2 + 1);
    return 0;
}
