// The display format of a column: named formats and number, date and text pictures.
#include "controls/grid/ListGridFormat.h"

#include "base/Numbers.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <vector>

namespace brenlow {

namespace {

/** One character of a picture; quoted text and \x escapes are literal, never read as places. */
struct Symbol
{
    QChar ch;
    bool literal = false;
};
using Picture = std::vector<Symbol>;

/** The sections of a format (split at ";" outside quotes and escapes), each as its symbols. */
std::vector<Picture> splitSections(const QString& format)
{
    std::vector<Picture> sections(1);
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\\') && i + 1 < format.size()) {
            sections.back().push_back({format[++i], true});
        } else if (c == QLatin1Char('"')) {
            for (++i; i < format.size() && format[i] != QLatin1Char('"'); ++i)
                sections.back().push_back({format[i], true});
        } else if (c == QLatin1Char(';')) {
            sections.emplace_back();
        } else {
            sections.back().push_back({c, false});
        }
    }
    return sections;
}

bool isPlace(const Symbol& s)
{
    return !s.literal && (s.ch == QLatin1Char('0') || s.ch == QLatin1Char('#'));
}

enum class Kind
{
    Number,
    Date,
    Text
};

Kind kindOf(const std::vector<Picture>& sections)
{
    bool date = false, text = false;
    for (const Picture& section : sections) {
        for (const Symbol& s : section) {
            if (s.literal)
                continue;
            if (isPlace(s))
                return Kind::Number;
            const QChar c = s.ch.toLower();
            if (QStringLiteral("dmyhnswqc/:").contains(c) || (c == QLatin1Char('t')))
                date = true;
            if (QStringLiteral("@&<>!").contains(c))
                text = true;
        }
    }
    return date ? Kind::Date : (text ? Kind::Text : Kind::Number);
}

// ---- Numbers

QString formatNumber(double value, const Picture& pic, bool withMinus, const QLocale& locale)
{
    // Where the parts of the picture are: integer places, the point, decimal places, the exponent.
    const int n = static_cast<int>(pic.size());
    int point = -1, exponent = -1;
    for (int i = 0; i < n; ++i) {
        const Symbol& s = pic[static_cast<size_t>(i)];
        if (s.literal)
            continue;
        if (point < 0 && exponent < 0 && s.ch == QLatin1Char('.'))
            point = i;
        if (exponent < 0 && (s.ch == QLatin1Char('E') || s.ch == QLatin1Char('e')) && i + 1 < n &&
            !pic[static_cast<size_t>(i + 1)].literal &&
            (pic[static_cast<size_t>(i + 1)].ch == QLatin1Char('+') ||
             pic[static_cast<size_t>(i + 1)].ch == QLatin1Char('-')))
            exponent = i;
    }
    const int intEnd = point >= 0 ? point : (exponent >= 0 ? exponent : n);
    const int fracEnd = exponent >= 0 ? exponent : n;

    int intPlaces = 0, minInt = 0, fracPlaces = 0, minFrac = 0, percents = 0, scale = 0;
    int firstPlace = -1, lastPlace = -1;
    for (int i = 0; i < n; ++i) {
        const Symbol& s = pic[static_cast<size_t>(i)];
        if (!s.literal && s.ch == QLatin1Char('%'))
            ++percents;
        if (!isPlace(s))
            continue;
        if (i < intEnd) {
            ++intPlaces;
            if (firstPlace < 0)
                firstPlace = i;
            lastPlace = i;
            if (s.ch == QLatin1Char('0') && minInt == 0)
                minInt = -1; // counted below from here on
        } else if (i > point && point >= 0 && i < fracEnd) {
            ++fracPlaces;
            if (s.ch == QLatin1Char('0'))
                minFrac = fracPlaces;
        }
    }
    // Every integer place from the first "0" on shows a digit.
    if (minInt < 0) {
        minInt = 0;
        bool zeroSeen = false;
        for (int i = 0; i < intEnd; ++i) {
            const Symbol& s = pic[static_cast<size_t>(i)];
            zeroSeen |= isPlace(s) && s.ch == QLatin1Char('0');
            minInt += zeroSeen && isPlace(s) ? 1 : 0;
        }
    }
    // Commas between integer places group the digits; commas right after the last one scale by 1000.
    bool grouping = false;
    for (int i = 0; i < intEnd; ++i) {
        const Symbol& s = pic[static_cast<size_t>(i)];
        if (s.literal || s.ch != QLatin1Char(','))
            continue;
        if (i > firstPlace && i < lastPlace && firstPlace >= 0)
            grouping = true;
        else if (lastPlace >= 0 && i > lastPlace)
            ++scale;
    }

    double v = std::fabs(value) * std::pow(100.0, percents) / std::pow(1000.0, scale);
    int exp = 0;
    if (exponent >= 0) {
        const int lead = std::max(1, intPlaces);
        if (v != 0 && std::isfinite(v)) {
            exp = static_cast<int>(std::floor(std::log10(v))) - (lead - 1);
            v /= std::pow(10.0, exp);
            if (QString::number(v, 'f', fracPlaces).indexOf(QLatin1Char('.')) > lead ||
                (fracPlaces == 0 && QString::number(v, 'f', 0).size() > lead)) {
                v /= 10;
                ++exp;
            }
        }
    }
    const QString digits = QString::number(v, 'f', fracPlaces);
    const qsizetype dot = digits.indexOf(QLatin1Char('.'));
    QString intDigits = dot < 0 ? digits : digits.left(dot);
    QString fracDigits = dot < 0 ? QString() : digits.mid(dot + 1);
    while (fracDigits.size() > minFrac && fracDigits.endsWith(QLatin1Char('0')))
        fracDigits.chop(1);
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(QLatin1Char('0'));
    const bool allZero = !(intDigits + fracDigits).contains(QRegularExpression(QStringLiteral("[1-9]")));

    const QString groupSep = locale.groupSeparator();
    const int d = static_cast<int>(intDigits.size());
    QString out;
    auto emitDigit = [&](int k) {
        out += intDigits[k];
        const int fromRight = d - 1 - k;
        if (grouping && fromRight > 0 && fromRight % 3 == 0)
            out += groupSep;
    };
    auto emitAllInt = [&] {
        for (int k = 0; k < d; ++k)
            emitDigit(k);
    };
    int intIndex = 0, fracIndex = 0;
    bool expDigitsDone = false;
    for (int i = 0; i < n; ++i) {
        const Symbol& s = pic[static_cast<size_t>(i)];
        if (s.literal) {
            out += s.ch;
            continue;
        }
        if (i < intEnd) {
            if (isPlace(s)) {
                const int last = intIndex - (intPlaces - d);
                if (intIndex == 0) {
                    for (int k = 0; k <= last; ++k)
                        emitDigit(k);
                } else if (last >= 0) {
                    emitDigit(last);
                }
                ++intIndex;
            } else if (s.ch != QLatin1Char(',')) {
                out += s.ch;
            }
        } else if (i == point) {
            if (intPlaces == 0)
                emitAllInt();
            out += locale.decimalPoint();
        } else if (i < fracEnd) {
            if (isPlace(s)) {
                if (fracIndex < fracDigits.size())
                    out += fracDigits[fracIndex];
                ++fracIndex;
            } else if (s.ch != QLatin1Char(',')) {
                out += s.ch;
            }
        } else if (i == exponent) {
            if (intPlaces == 0 && point < 0)
                emitAllInt();
            out += s.ch;
            const bool plus = pic[static_cast<size_t>(i + 1)].ch == QLatin1Char('+');
            out += exp < 0 ? QStringLiteral("-") : (plus ? QStringLiteral("+") : QString());
            ++i; // the sign
        } else if (isPlace(s)) {
            if (!expDigitsDone) {
                int zeros = 0;
                for (int j = i; j < n; ++j)
                    zeros += isPlace(pic[static_cast<size_t>(j)]) &&
                             pic[static_cast<size_t>(j)].ch == QLatin1Char('0');
                QString e = QString::number(std::abs(exp));
                while (e.size() < zeros)
                    e.prepend(QLatin1Char('0'));
                out += e;
                expDigitsDone = true;
            }
        } else {
            out += s.ch;
        }
    }
    if (withMinus && !allZero)
        out.prepend(locale.negativeSign());
    return out;
}

QString numberPicture(double value, const std::vector<Picture>& sections, const QLocale& locale)
{
    // Positive; negative (shown without its sign); zero. A missing or empty section takes the first.
    const auto has = [&](size_t k) { return sections.size() > k && !sections[k].empty(); };
    if (value < 0 && has(1))
        return formatNumber(value, sections[1], false, locale);
    if (value == 0 && has(2))
        return formatNumber(value, sections[2], false, locale);
    return formatNumber(value, sections[0], value < 0, locale);
}

// ---- Dates

/** The days of an OLE date: day 0 is 30 December 1899, the fraction the time of day. */
QDateTime fromOleDate(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    const double whole = std::floor(days);
    const qint64 msecs = std::llround((days - whole) * 86400000.0);
    return QDateTime(QDate(1899, 12, 30).addDays(static_cast<qint64>(whole)), QTime(0, 0)).addMSecs(msecs);
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString dateSeparator(const QLocale& locale)
{
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat))
        if (!c.isLetter())
            return QString(c);
    return QStringLiteral("/");
}

QString longTime(const QLocale& locale, const QTime& t)
{
    // The locale's long time without a time zone: a cell holds no zone.
    QString form = locale.timeFormat(QLocale::LongFormat);
    form.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.toString(t, form.trimmed());
}

QString generalDate(const QDateTime& dt, const QLocale& locale)
{
    const bool hasTime = dt.time() != QTime(0, 0);
    const bool hasDate = dt.date() != QDate(1899, 12, 30);
    QString out;
    if (hasDate || !hasTime)
        out = locale.toString(dt.date(), QLocale::ShortFormat);
    if (hasTime)
        out += (out.isEmpty() ? QString() : QStringLiteral(" ")) + longTime(locale, dt.time());
    return out;
}

bool matchesAt(const Picture& pic, size_t i, const QString& word, bool caseSensitive = false)
{
    if (i + static_cast<size_t>(word.size()) > pic.size())
        return false;
    for (qsizetype k = 0; k < word.size(); ++k) {
        const Symbol& s = pic[i + static_cast<size_t>(k)];
        if (s.literal)
            return false;
        if (caseSensitive ? s.ch != word[k] : s.ch.toLower() != word[k].toLower())
            return false;
    }
    return true;
}

QString formatDate(const QDateTime& dt, const Picture& pic, const QLocale& locale)
{
    const QDate date = dt.date();
    const QTime time = dt.time();
    bool twelveHour = false;
    for (size_t i = 0; i < pic.size(); ++i)
        twelveHour |= matchesAt(pic, i, QStringLiteral("am/pm")) ||
                      matchesAt(pic, i, QStringLiteral("a/p")) || matchesAt(pic, i, QStringLiteral("ampm"));
    const int hour = twelveHour ? (time.hour() % 12 == 0 ? 12 : time.hour() % 12) : time.hour();

    QString out;
    bool afterHour = false; // "m" right after an hour means minutes
    for (size_t i = 0; i < pic.size();) {
        const Symbol& s = pic[i];
        if (s.literal) {
            out += s.ch;
            ++i;
            continue;
        }
        const bool pm = time.hour() >= 12;
        if (matchesAt(pic, i, QStringLiteral("am/pm"))) {
            const bool lower = s.ch.isLower();
            out += pm ? (lower ? QStringLiteral("pm") : QStringLiteral("PM"))
                      : (lower ? QStringLiteral("am") : QStringLiteral("AM"));
            i += 5;
            continue;
        }
        if (matchesAt(pic, i, QStringLiteral("a/p"))) {
            const bool lower = s.ch.isLower();
            out += pm ? (lower ? QStringLiteral("p") : QStringLiteral("P"))
                      : (lower ? QStringLiteral("a") : QStringLiteral("A"));
            i += 3;
            continue;
        }
        if (matchesAt(pic, i, QStringLiteral("ampm"))) {
            out += pm ? locale.pmText() : locale.amText();
            i += 4;
            continue;
        }
        const QChar c = s.ch.toLower();
        size_t run = 1;
        while (i + run < pic.size() && !pic[i + run].literal && pic[i + run].ch.toLower() == c)
            ++run;
        const int count = static_cast<int>(run);
        bool minutesNext = false;
        if (c == QLatin1Char('m')) {
            // "m" before seconds means minutes too.
            size_t j = i + run;
            while (j < pic.size() && (pic[j].literal || !pic[j].ch.isLetter()))
                ++j;
            minutesNext = j < pic.size() && pic[j].ch.toLower() == QLatin1Char('s');
        }
        switch (c.unicode()) {
        case 'c':
            out += generalDate(dt, locale);
            break;
        case 'd':
            if (count == 1)
                out += QString::number(date.day());
            else if (count == 2)
                out += twoDigits(date.day());
            else if (count == 3)
                out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else if (count == 4)
                out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            else if (count == 5)
                out += locale.toString(date, QLocale::ShortFormat);
            else
                out += locale.toString(date, QLocale::LongFormat);
            break;
        case 'w':
            if (count == 1) {
                out += QString::number(date.dayOfWeek() % 7 + 1); // Sunday is day 1
            } else {
                const int jan1 = QDate(date.year(), 1, 1).dayOfWeek() % 7;
                out += QString::number((date.dayOfYear() - 1 + jan1) / 7 + 1);
            }
            break;
        case 'm':
            if ((afterHour || minutesNext) && count <= 2)
                out += count == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            else if (count == 1)
                out += QString::number(date.month());
            else if (count == 2)
                out += twoDigits(date.month());
            else if (count == 3)
                out += locale.monthName(date.month(), QLocale::ShortFormat);
            else
                out += locale.monthName(date.month(), QLocale::LongFormat);
            break;
        case 'q':
            out += QString::number((date.month() - 1) / 3 + 1);
            break;
        case 'y':
            if (count == 1)
                out += QString::number(date.dayOfYear());
            else if (count <= 3)
                out += twoDigits(date.year() % 100);
            else
                out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        case 'h':
            out += count == 1 ? QString::number(hour) : twoDigits(hour);
            break;
        case 'n':
            out += count == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
            break;
        case 's':
            out += count == 1 ? QString::number(time.second()) : twoDigits(time.second());
            break;
        case 't':
            if (count >= 5)
                out += longTime(locale, time);
            else
                out += QString(count, s.ch);
            break;
        case '/':
            for (int k = 0; k < count; ++k)
                out += dateSeparator(locale);
            break;
        default:
            out += QString(count, s.ch);
            break;
        }
        if (c.isLetter())
            afterHour = c == QLatin1Char('h');
        i += run;
    }
    return out;
}

// ---- Text

QString formatText(const QString& text, const Picture& pic)
{
    bool leftFill = false, lower = false, upper = false;
    int places = 0;
    for (const Symbol& s : pic) {
        if (s.literal)
            continue;
        leftFill |= s.ch == QLatin1Char('!');
        lower |= s.ch == QLatin1Char('<');
        upper |= s.ch == QLatin1Char('>');
        places += s.ch == QLatin1Char('@') || s.ch == QLatin1Char('&');
    }
    const QString t = lower ? text.toLower() : (upper ? text.toUpper() : text);
    // Places take one character each, from the right (or from the left after "!"); the characters
    // beyond the places go with the first (or the last) place.
    const int extra = std::max(0, static_cast<int>(t.size()) - places);
    const int missing = std::max(0, places - static_cast<int>(t.size()));
    QString out;
    int place = 0, next = 0;
    for (const Symbol& s : pic) {
        const bool isPlaceChar = !s.literal && (s.ch == QLatin1Char('@') || s.ch == QLatin1Char('&'));
        if (!isPlaceChar) {
            if (s.literal || !QStringLiteral("<>!").contains(s.ch))
                out += s.ch;
            continue;
        }
        const bool empty = leftFill ? place >= t.size() : place < missing;
        if (empty) {
            if (s.ch == QLatin1Char('@'))
                out += QLatin1Char(' ');
        } else {
            int take = 1;
            if (!leftFill && next == 0)
                take += extra;
            if (leftFill && place == places - 1)
                take += extra;
            out += t.mid(next, take);
            next += take;
        }
        ++place;
    }
    return places == 0 ? out + t : out;
}

// ---- Named formats

std::optional<QString> named(const QString& text, const QString& format, const QLocale& locale)
{
    const QString name = format.trimmed().toLower();
    static const QStringList numberNames = {
        QStringLiteral("general number"), QStringLiteral("currency"),   QStringLiteral("fixed"),
        QStringLiteral("standard"),       QStringLiteral("percent"),    QStringLiteral("scientific"),
        QStringLiteral("yes/no"),         QStringLiteral("true/false"), QStringLiteral("on/off")};
    static const QStringList dateNames = {QStringLiteral("general date"), QStringLiteral("long date"),
                                          QStringLiteral("medium date"),  QStringLiteral("short date"),
                                          QStringLiteral("long time"),    QStringLiteral("medium time"),
                                          QStringLiteral("short time")};
    if (numberNames.contains(name)) {
        // The three two-word names also read "True" and "False".
        const bool isBool = name.contains(QLatin1Char('/'));
        const QString t = text.trimmed();
        const bool word = t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                          t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
        if (!FormsANumber(text) && !(isBool && word))
            return text;
        const double v = rVal(text);
        if (name == QLatin1String("general number")) {
            QLocale plain = locale;
            plain.setNumberOptions(QLocale::OmitGroupSeparator);
            return plain.toString(v, 'g', 15);
        }
        if (name == QLatin1String("currency"))
            return locale.toCurrencyString(v);
        if (name == QLatin1String("fixed"))
            return FormatCellText(text, QStringLiteral("0.00"));
        if (name == QLatin1String("standard"))
            return FormatCellText(text, QStringLiteral("#,##0.00"));
        if (name == QLatin1String("percent"))
            return FormatCellText(text, QStringLiteral("0.00%"));
        if (name == QLatin1String("scientific"))
            return FormatCellText(text, QStringLiteral("0.00E+00"));
        if (name == QLatin1String("yes/no"))
            return v != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
        if (name == QLatin1String("true/false"))
            return v != 0 ? QStringLiteral("True") : QStringLiteral("False");
        return v != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    }
    if (dateNames.contains(name)) {
        std::optional<QDateTime> dt = ReadDate(text);
        if (!dt && FormsANumber(text))
            dt = fromOleDate(rVal(text));
        if (!dt || !dt->isValid())
            return text;
        if (name == QLatin1String("general date"))
            return generalDate(*dt, locale);
        if (name == QLatin1String("long date"))
            return locale.toString(dt->date(), QLocale::LongFormat);
        if (name == QLatin1String("medium date"))
            return locale.toString(dt->date(), QStringLiteral("dd-MMM-yy"));
        if (name == QLatin1String("short date"))
            return locale.toString(dt->date(), QLocale::ShortFormat);
        if (name == QLatin1String("long time"))
            return longTime(locale, dt->time());
        if (name == QLatin1String("medium time"))
            return locale.toString(dt->time(), QStringLiteral("hh:mm AP"));
        return locale.toString(dt->time(), QStringLiteral("HH:mm"));
    }
    return std::nullopt;
}

} // namespace

std::optional<QDateTime> ReadDate(const QString& text)
{
    const QString s = text.trimmed();
    if (s.isEmpty() || !s.at(0).isDigit())
        return std::nullopt;
    static const QStringList dateForms = {QStringLiteral("yyyy-MM-dd"), QStringLiteral("M/d/yyyy"),
                                          QStringLiteral("M/d/yy"),     QStringLiteral("d.M.yyyy"),
                                          QStringLiteral("d.M.yy"),     QStringLiteral("yyyy/M/d"),
                                          QStringLiteral("d-M-yyyy")};
    static const QStringList timeForms = {QString(),
                                          QStringLiteral(" h:mm:ss AP"),
                                          QStringLiteral(" h:mm AP"),
                                          QStringLiteral(" H:mm:ss"),
                                          QStringLiteral(" H:mm"),
                                          QStringLiteral("THH:mm:ss")};
    const QLocale locale;
    QStringList forms = dateForms;
    forms.prepend(locale.dateFormat(QLocale::ShortFormat));
    for (const QString& date : forms) {
        for (const QString& time : timeForms) {
            const QDateTime dt = QDateTime::fromString(s, date + time);
            if (dt.isValid())
                return dt;
        }
    }
    return std::nullopt;
}

QString FormatCellText(const QString& text, const QString& format)
{
    if (format.isEmpty())
        return text;
    const QLocale locale = NumberLocale();
    if (std::optional<QString> done = named(text, format, locale))
        return *done;
    const std::vector<Picture> sections = splitSections(format);
    switch (kindOf(sections)) {
    case Kind::Text:
        if (text.isEmpty())
            return sections.size() > 1 ? formatText(text, sections[1]) : text;
        return formatText(text, sections[0]);
    case Kind::Date: {
        if (text.trimmed().isEmpty())
            return text;
        std::optional<QDateTime> dt = ReadDate(text);
        if (!dt && FormsANumber(text))
            dt = fromOleDate(rVal(text));
        return dt && dt->isValid() ? formatDate(*dt, sections[0], locale) : text;
    }
    case Kind::Number:
        break;
    }
    if (text.trimmed().isEmpty())
        return sections.size() > 3 ? formatNumber(0, sections[3], false, locale) : text;
    if (!FormsANumber(text))
        return text;
    const double value = rVal(text);
    return std::isfinite(value) ? numberPicture(value, sections, locale) : text;
}

} // namespace brenlow
