#include "runner/CommandLine.h"

namespace brenlow {

QStringList SplitCommandLine(const QString& commandLine)
{
    QStringList args;
    QString current;
    bool inArgument = false; // something (even an empty quoted part) belongs to the current argument
    bool inQuotes = false;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = commandLine.at(i);
        if (c == u'\\') {
            qsizetype slashes = 0;
            while (i < n && commandLine.at(i) == u'\\') {
                ++slashes;
                ++i;
            }
            if (i < n && commandLine.at(i) == u'"') {
                current.append(QString(slashes / 2, u'\\'));
                if (slashes % 2 == 1) {
                    current.append(u'"');
                    ++i;
                }
                // An even run leaves the quote to the quote handling below.
            } else {
                current.append(QString(slashes, u'\\'));
            }
            inArgument = true;
            continue;
        }
        if (c == u'"') {
            inArgument = true;
            if (inQuotes && i + 1 < n && commandLine.at(i + 1) == u'"') {
                current.append(u'"');
                i += 2;
                continue;
            }
            inQuotes = !inQuotes;
            ++i;
            continue;
        }
        if (!inQuotes && (c == u' ' || c == u'\t')) {
            if (inArgument) {
                args.append(current);
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        current.append(c);
        inArgument = true;
        ++i;
    }
    if (inArgument)
        args.append(current);
    return args;
}

} // namespace brenlow
