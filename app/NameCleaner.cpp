#include "app/NameCleaner.h"

namespace brenlow {

QString CleanName(QString name)
{
    // The order matters only for the slashes, which become hyphens before anything else is removed.
    static const char16_t removedFirst[] = u"!@#$%^&*()";
    static const char16_t removedAfter[] = u"+|:\"<>?,{}[]\u060C\u061B'=";
    for (const char16_t* c = removedFirst; *c; ++c)
        name.remove(QChar(*c));
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.replace(QLatin1Char('\\'), QLatin1Char('-'));
    for (const char16_t* c = removedAfter; *c; ++c)
        name.remove(QChar(*c));
    return name;
}

} // namespace brenlow
