#include "base/Numbers.h"

#include <cmath>

namespace brenlow {

QLocale NumberLocale()
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale;
}

namespace {

bool isHexDigit(QChar c)
{
    return c.isDigit() || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Reads "&Hxx" or "&Oxx" (already upper-cased); ok is false when nothing valid follows the prefix.
double radixValue(const QString& s, bool* ok)
{
    const int base = s.at(1) == QLatin1Char('H') ? 16 : 8;
    const QString digits = s.mid(2);
    bool good = !digits.isEmpty();
    double value = 0;
    for (QChar c : digits) {
        const int d = c.isDigit() ? c.digitValue() : (isHexDigit(c) ? c.unicode() - 'A' + 10 : -1);
        if (d < 0 || d >= base) {
            good = false;
            break;
        }
        value = value * base + d;
    }
    if (ok)
        *ok = good && std::isfinite(value);
    return good ? value : 0.0;
}

double convert(const QString& kept)
{
    if (kept.size() > 2 && kept.at(0) == QLatin1Char('&') &&
        (kept.at(1) == QLatin1Char('H') || kept.at(1) == QLatin1Char('O'))) {
        bool ok = false;
        const double v = radixValue(kept, &ok);
        return ok ? v : 0.0;
    }
    bool ok = false;
    const double v = NumberLocale().toDouble(kept, &ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

} // namespace

double rVal(const QString& vString)
{
    const QString s = vString.toUpper().trimmed();
    if (s.isEmpty())
        return 0.0;

    QString kept;
    qsizetype i = 0;
    if (s.startsWith(QLatin1String("&H")) || s.startsWith(QLatin1String("&O"))) {
        kept = s.left(2);
        i = 2;
    }
    const bool hex = kept == QLatin1String("&H");
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isDigit() && c.unicode() < 128)
            kept += c;
        else if (c == QLatin1Char('E') || c == QLatin1Char(',') || c == QLatin1Char('-') ||
                 c == QLatin1Char('.'))
            kept += c;
        else if (c == QLatin1Char('$') || c.unicode() == 163 || c == QLatin1Char(' ') ||
                 c == QLatin1Char('/'))
            continue;
        else if (hex && c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            kept += c;
        else
            break;
    }

    if (kept.isEmpty())
        return s == QLatin1String("TRUE") ? -1.0 : 0.0;

    double value = convert(kept);
    if (value == 0.0 && kept.contains(QLatin1Char('.'))) {
        QString swapped = kept;
        swapped.replace(QLatin1Char('.'), QLatin1Char(','));
        value = convert(swapped);
    }
    return value;
}

bool FormsANumber(const QString& text)
{
    const QString s = text.trimmed().toUpper();
    if (s.isEmpty())
        return false;
    if (s.size() > 2 && s.at(0) == QLatin1Char('&') &&
        (s.at(1) == QLatin1Char('H') || s.at(1) == QLatin1Char('O'))) {
        bool ok = false;
        (void)radixValue(s, &ok);
        return ok;
    }

    const QLocale locale = NumberLocale();
    const QString dec = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    qsizetype i = 0;
    if (s.at(0) == QLatin1Char('+') || s.at(0) == QLatin1Char('-'))
        ++i;
    bool digits = false, decimalSeen = false;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (!decimalSeen && QString(c) == dec) {
            decimalSeen = true;
        } else if (!decimalSeen && QString(c) == group && digits) {
            // Group separators are accepted anywhere among the whole digits.
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < s.size() && s.at(i) == QLatin1Char('E')) {
        ++i;
        if (i < s.size() && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
            ++i;
        const qsizetype expStart = i;
        while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128)
            ++i;
        if (i == expStart)
            return false;
    }
    return i == s.size();
}

} // namespace brenlow
