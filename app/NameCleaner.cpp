#include "app/NameCleaner.h"

#include <QRegularExpression>

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

QString NameFromOutput(const QString& output)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = output.split(lineBreak);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (!it->trimmed().isEmpty())
            return *it;
    }
    return {};
}

} // namespace brenlow
