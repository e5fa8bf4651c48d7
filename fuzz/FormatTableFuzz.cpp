// The format-table parse of the tool's output into a profile list and its entries.
#include "FuzzInput.h"

#include "app/ProfileParser.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    const QString output = in.rest();
    const brenlow::ParsedProfiles parsed = brenlow::ParseFormatTable(output);
    for (const QString& entry : parsed.Entries) {
        const std::optional<QString> code = brenlow::FormatCodeOf(entry);
        BRENLOW_FUZZ_CHECK(code.has_value());
    }
    // A stored profile list gives back the same entries, as long as no line holds the separator.
    if (!output.contains(QLatin1Char('<')))
        BRENLOW_FUZZ_CHECK(brenlow::EntriesOfProfileList(parsed.ProfileList) == parsed.Entries);
    (void)brenlow::EntriesOfProfileList(output);
    (void)brenlow::ProfileEntries(brenlow::SplitLines(output));
    return 0;
}
