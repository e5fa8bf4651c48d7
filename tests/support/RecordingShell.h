#pragma once

#include "platform/Host.h"
#include "platform/Shell.h"

#include <QStringList>

/** A Shell double that records every address it is asked to open. */
class RecordingShell final : public brenlow::Shell
{
public:
    bool Open(const QString& address) override
    {
        opened << address;
        return true;
    }
    QStringList opened;
};

/** Installs a RecordingShell as the host's shell for the lifetime of the object. */
class ScopedRecordingShell
{
public:
    ScopedRecordingShell() { brenlow::Host::setShell(&shell); }
    ~ScopedRecordingShell() { brenlow::Host::setShell(nullptr); }
    RecordingShell shell;
};
