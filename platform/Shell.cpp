#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace brenlow {

bool QtShell::Open(const QString& address)
{
    m_lastError.clear();
    if (address.isEmpty()) {
        m_lastError = QStringLiteral("no address");
        return false;
    }
    QUrl url(address, QUrl::TolerantMode);
    if (url.scheme().isEmpty() || QFileInfo(address).isAbsolute())
        url = QUrl::fromLocalFile(address);
    if (QDesktopServices::openUrl(url))
        return true;
    // Qt hands addresses to xdg-open (xdg-utils), or to the desktop's own opener where it finds one.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        m_lastError =
            QStringLiteral("no web browser can be started (xdg-open is missing: install xdg-utils)");
    else
        m_lastError = QStringLiteral("the web browser could not be started");
    return false;
}

} // namespace brenlow
