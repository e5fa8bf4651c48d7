#pragma once

#include "platform/Host.h"
#include "platform/Shell.h"

#include <QStringList>

/** A Shell double that records every address it is asked to open; with a failure reason set it
 *  opens none and gives that reason. */
class RecordingShell final : public brenlow::Shell
{
public:
    bool Open(const QString& address) override
    {
        opened << address;
        return failure.isEmpty();
    }
    [[nodiscard]] QString LastError() const override { return failure; }
    QStringList opened;
    QString failure;
};

/** Installs a RecordingShell as the host's shell for the lifetime of the object. */
class ScopedRecordingShell
{
public:
    ScopedRecordingShell() { brenlow::Host::setShell(&shell); }
    ~ScopedRecordingShell() { brenlow::Host::setShell(nullptr); }
    RecordingShell shell;
};
