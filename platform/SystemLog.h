#pragma once

#include <QString>

namespace brenlow {

/** The system event log. Controls write their own failures here as error entries; the program keeps
 *  no log file of its own. */
class SystemLog
{
public:
    virtual ~SystemLog() = default;

    /** Writes one line as an error entry. */
    virtual void Error(const QString& line) = 0;

    /** The installed log; the syslog one when none was installed. */
    static SystemLog& instance();
    /** Installs a log (tests install a recorder); nullptr goes back to syslog. Not owned. */
    static void setInstance(SystemLog* log);
};

/** Error entries through syslog(LOG_ERR), under the program's name. */
class SysLog final : public SystemLog
{
public:
    void Error(const QString& line) override;
};

} // namespace brenlow
