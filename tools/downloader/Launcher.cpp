// do.dll itself: the runs it can answer from the answers kept in the page cache it answers here,
// without Qt; every other run goes to the tool's core, a module in do-parts/ next to it.

#include "PartLoader.h"
#include "QuickAnswer.h"

#include <dlfcn.h>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (const std::optional<int> code = brenlow::tool::quick::Answer(argc, argv))
        return *code;
    std::string error;
    void* core = brenlow::tool::LoadPart("do-core.so", &error);
    using Entry = int (*)(int, char**);
    const auto entry = core ? reinterpret_cast<Entry>(::dlsym(core, "brenlow_tool_main")) : nullptr;
    if (!entry) {
        std::fprintf(stdout, "ERROR: do.dll could not load do-core.so: %s\r\n",
                     core ? "it does not belong to this do.dll" : error.c_str());
        return 1;
    }
    return entry(argc, argv);
}
