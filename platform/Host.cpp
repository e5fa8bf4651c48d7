#include "platform/Host.h"

#include "platform/Dialogs.h"
#include "platform/Shell.h"

namespace brenlow::Host {

namespace {
Dialogs* g_dialogs = nullptr;
Shell* g_shell = nullptr;
} // namespace

Dialogs& dialogs()
{
    static QtDialogs fallback;
    return g_dialogs ? *g_dialogs : fallback;
}

void setDialogs(Dialogs* dialogs) { g_dialogs = dialogs; }

Shell& shell()
{
    static QtShell fallback;
    return g_shell ? *g_shell : fallback;
}

void setShell(Shell* shell) { g_shell = shell; }

} // namespace brenlow::Host
