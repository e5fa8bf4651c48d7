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
    /** Why the last Open returned false, in words for the status line; empty after a success. */
    [[nodiscard]] virtual QString LastError() const { return {}; }
};

/** QDesktopServices::openUrl; a plain path opens as a local file. */
class QtShell final : public Shell
{
public:
    bool Open(const QString& address) override;
    [[nodiscard]] QString LastError() const override { return m_lastError; }

private:
    QString m_lastError;
};

} // namespace brenlow
