#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace brenlow::test {

/** Reads CSV as spreadsheet programs do: fields separated by commas, a field that starts with a quote
 *  runs to the matching quote (doubled quotes stand for one), records end with CR LF. A quote still
 *  open at the end (it would swallow the rest of the file) sets `unbalanced`. */
inline QList<QStringList> ReadCsv(const QString& text, bool& unbalanced)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            records << (record << field);
            record.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else {
            field += c;
        }
    }
    unbalanced = quoted;
    if (!field.isEmpty() || !record.isEmpty())
        records << (record << field);
    return records;
}

} // namespace brenlow::test
