#include "platform/SystemLog.h"

#include <syslog.h>

namespace brenlow {

namespace {
SystemLog* g_log = nullptr;
}

SystemLog& SystemLog::instance()
{
    static SysLog fallback;
    return g_log ? *g_log : fallback;
}

void SystemLog::setInstance(SystemLog* log)
{
    g_log = log;
}

void SysLog::Error(const QString& line)
{
    // The line goes through "%s": it may hold a per-cent sign of its own.
    syslog(LOG_ERR, "%s", line.toUtf8().constData());
}

} // namespace brenlow
