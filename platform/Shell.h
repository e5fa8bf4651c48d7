#pragma once

#include <QString>

namespace brenlow {

/** The shell's "open" verb: hands an address or a file to the user's own program for it. */
class Shell
{
public:
    virtual ~Shell() = default;
    /** Returns false when nothing could be opened. */
    virtual bool Open(const QString& address) = 0;
};

/** QDesktopServices::openUrl; a plain path opens as a local file. */
class QtShell final : public Shell
{
public:
    bool Open(const QString& address) override;
};

} // namespace brenlow
