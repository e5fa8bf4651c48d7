#include "app/LinkIntake.h"

namespace brenlow {

CheckedLink CheckLink(const QString& typed)
{
    CheckedLink checked{typed.trimmed(), {}};
    if (checked.Link.startsWith(QLatin1Char('-'))) {
        checked.Refusal = QStringLiteral("Not a video link: a link cannot begin with \"-\"");
        return checked;
    }
    if (checked.Link.size() > MaxLinkLength) {
        checked.Refusal =
            QStringLiteral("Not a video link: a link cannot be longer than %1 characters").arg(MaxLinkLength);
        return checked;
    }
    for (QChar c : checked.Link) {
        if (c.category() == QChar::Other_Control) {
            checked.Refusal = QStringLiteral(
                "Not a video link: a link cannot hold tabs, line breaks or control characters");
            return checked;
        }
    }
    return checked;
}

} // namespace brenlow
