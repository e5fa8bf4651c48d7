#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace brenlow {

bool QtShell::Open(const QString& address)
{
    if (address.isEmpty())
        return false;
    QUrl url(address, QUrl::TolerantMode);
    if (url.scheme().isEmpty() || QFileInfo(address).isAbsolute())
        url = QUrl::fromLocalFile(address);
    return QDesktopServices::openUrl(url);
}

} // namespace brenlow
