// Which links the tool fetches itself: a question of the link alone, answered without the media part
// that does the fetching.

#include "DirectLink.h"

#include <QUrl>

namespace brenlow::tool {

bool IsDirectLink(const QString& link)
{
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"file")
        return true;
    if (scheme != u"http" && scheme != u"https")
        return false;
    // The simulated catalogue's own domain is never fetched.
    const QString host = url.host().toLower();
    return !host.isEmpty() && host != u"brenlow.example" &&
           !host.endsWith(QStringLiteral(".brenlow.example"));
}

} // namespace brenlow::tool
