// GetInfo: the classic locale information items, numbered as callers of the grid know them, answered
// from the user's locale.
#include "controls/grid/ListGrid.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

/** Classic date and time pictures: Qt's "AP" marker is written "tt". */
QString classicPicture(QString format)
{
    format.replace(QLatin1String("AP"), QLatin1String("tt"));
    format.replace(QLatin1String("ap"), QLatin1String("tt"));
    format.replace(QLatin1String("A"), QLatin1String("tt"));
    return format;
}

/** Digits per group from the last (rightmost) group on, "3;0" or "3;2;0". */
QString grouping(const QLocale& loc)
{
    const QStringList groups = loc.toString(1234567890LL).split(loc.groupSeparator());
    if (groups.size() < 2 || loc.groupSeparator().isEmpty())
        return QStringLiteral("0");
    const auto last = groups.last().size();
    const auto before = groups.size() > 2 ? groups.at(groups.size() - 2).size() : last;
    return before == last ? QStringLiteral("%1;0").arg(last)
                          : QStringLiteral("%1;%2;0").arg(last).arg(before);
}

/** A formatted amount reduced to its pattern: the number as "1", the symbol as "$", minus as "-",
 *  any space as " ". */
QString pattern(const QLocale& loc, QString text, const QString& symbol)
{
    if (!symbol.isEmpty())
        text.replace(symbol, QLatin1String("$"));
    text.replace(loc.negativeSign(), QLatin1String("-"));
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    text.replace(QChar(0x202F), QLatin1Char(' '));
    static const QRegularExpression number(QStringLiteral("[0-9][0-9.,'\\x{00A0}\\x{202F} ]*[0-9]|[0-9]"));
    QString digits = text;
    for (const QString& d : {loc.decimalPoint(), loc.groupSeparator()})
        if (!d.isEmpty() && d != QLatin1String(" "))
            digits.replace(d, QLatin1String("."));
    digits.replace(number, QLatin1String("1"));
    return digits;
}

int indexIn(const QString& value, std::initializer_list<const char*> table)
{
    int i = 0;
    for (const char* entry : table) {
        if (value == QLatin1String(entry))
            return i;
        ++i;
    }
    return -1;
}

QString orNothing(int index)
{
    return index < 0 ? QString() : QString::number(index);
}

/** 0 month-day-year, 1 day-month-year, 2 year-month-day. */
QString dateOrder(const QString& format)
{
    const auto d = format.indexOf(QLatin1Char('d')), m = format.indexOf(QLatin1Char('M')),
               y = format.indexOf(QLatin1Char('y'));
    if (y >= 0 && y < m && y < d)
        return QStringLiteral("2");
    return d >= 0 && d < m ? QStringLiteral("1") : QStringLiteral("0");
}

QString displayName(QLocale::Language language, QLocale::Territory territory)
{
    return QLocale::languageToString(language) + QStringLiteral(" (") +
           QLocale::territoryToString(territory) + QLatin1Char(')');
}

QString info(const QLocale& loc, int item)
{
    const QString shortDate = loc.dateFormat(QLocale::ShortFormat);
    const QString longDate = loc.dateFormat(QLocale::LongFormat);
    const QString time = loc.timeFormat(QLocale::LongFormat);
    const QString symbol = loc.currencySymbol();
    // Day and month names: Monday first, as the classic numbering has them.
    if (item >= 0x2A && item <= 0x30)
        return loc.dayName(item - 0x2A + 1, QLocale::LongFormat);
    if (item >= 0x31 && item <= 0x37)
        return loc.dayName(item - 0x31 + 1, QLocale::ShortFormat);
    if (item >= 0x38 && item <= 0x43)
        return loc.monthName(item - 0x38 + 1, QLocale::LongFormat);
    if (item >= 0x44 && item <= 0x4F)
        return loc.monthName(item - 0x44 + 1, QLocale::ShortFormat);
    switch (item) {
    case 0x02: // language, localised display name
    case 0x72: // English display name
        return displayName(loc.language(), loc.territory());
    case 0x04: // native language name
        return loc.nativeLanguageName();
    case 0x06: // country name
    case 0x1002:
        return QLocale::territoryToString(loc.territory());
    case 0x08: // native country name
        return loc.nativeTerritoryName();
    case 0x0B: // OEM and ANSI code pages: the locale's text is UTF-8
    case 0x1004:
        return QStringLiteral("65001");
    case 0x0C: // list separator
        return loc.decimalPoint() == QStringLiteral(",") ? QStringLiteral(";") : QStringLiteral(",");
    case 0x0D: // measurement: 0 metric, 1 U.S.
        return loc.measurementSystem() == QLocale::MetricSystem ? QStringLiteral("0") : QStringLiteral("1");
    case 0x0E: // decimal separator
    case 0x16: // monetary decimal separator
        return loc.decimalPoint();
    case 0x0F: // thousands separator
    case 0x17:
        return loc.groupSeparator();
    case 0x10: // digit grouping
    case 0x18:
        return grouping(loc);
    case 0x11: // fractional digits
        return QStringLiteral("2");
    case 0x12: // leading zero in decimal fractions
        return loc.toString(0.5).startsWith(loc.zeroDigit()) ? QStringLiteral("1") : QStringLiteral("0");
    case 0x13: { // native digits
        QString digits;
        for (int i = 0; i < 10; ++i)
            digits += loc.toString(i);
        return digits;
    }
    case 0x14: // currency symbol
        return symbol;
    case 0x15: // international currency symbol
        return loc.currencySymbol(QLocale::CurrencyIsoCode);
    case 0x19: // currency fractional digits
    case 0x1A: {
        const QString amount = loc.toCurrencyString(1.0);
        const auto point = amount.indexOf(loc.decimalPoint());
        int n = 0;
        for (auto i = point + 1; point >= 0 && i < amount.size() && amount.at(i).isDigit(); ++i)
            ++n;
        return QString::number(n);
    }
    case 0x1B: // positive currency: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
        return orNothing(
            indexIn(pattern(loc, loc.toCurrencyString(1.0), symbol), {"$1", "1$", "$ 1", "1 $"}));
    case 0x1C: // negative currency, the sixteen classic forms
        return orNothing(indexIn(pattern(loc, loc.toCurrencyString(-1.0), symbol),
                                 {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-", "-1 $", "-$ 1",
                                  "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"}));
    case 0x1D: { // date separator
        static const QRegularExpression sep(QStringLiteral("[dMy]+([^dMy]+)[dMy]"));
        const auto match = sep.match(shortDate);
        return match.hasMatch() ? match.captured(1) : QString();
    }
    case 0x1E: { // time separator
        static const QRegularExpression sep(QStringLiteral("[hH]+([^hHms ]+)m"));
        const auto match = sep.match(time);
        return match.hasMatch() ? match.captured(1) : QString();
    }
    case 0x1F: // short date format
        return classicPicture(shortDate);
    case 0x20: // long date format
        return classicPicture(longDate);
    case 0x21: // short date order
        return dateOrder(shortDate);
    case 0x22: // long date order
        return dateOrder(longDate);
    case 0x23: // 0 AM/PM 12-hour clock, 1 24-hour clock
        return time.contains(QLatin1Char('H')) ? QStringLiteral("1") : QStringLiteral("0");
    case 0x24: // full century in short dates
        return shortDate.contains(QLatin1String("yyyy")) ? QStringLiteral("1") : QStringLiteral("0");
    case 0x25: // leading zero in hours
        return time.contains(QLatin1String("hh"), Qt::CaseInsensitive) ? QStringLiteral("1")
                                                                       : QStringLiteral("0");
    case 0x26: // leading zero in days
        return shortDate.contains(QLatin1String("dd")) ? QStringLiteral("1") : QStringLiteral("0");
    case 0x27: // leading zero in months
        return shortDate.contains(QLatin1String("MM")) ? QStringLiteral("1") : QStringLiteral("0");
    case 0x28: // AM designator
        return loc.amText();
    case 0x29: // PM designator
        return loc.pmText();
    case 0x50: // positive sign
        return loc.positiveSign() == QLatin1String("+") ? QString() : loc.positiveSign();
    case 0x51: // negative sign
        return loc.negativeSign();
    case 0x59: // ISO language name
        return loc.name().section(QLatin1Char('_'), 0, 0);
    case 0x5A: // ISO country name
        return loc.name().section(QLatin1Char('_'), 1, 1);
    case 0x5C: // locale name
        return loc.name().replace(QLatin1Char('_'), QLatin1Char('-'));
    case 0x69: // not a number
        return loc.toString(std::numeric_limits<double>::quiet_NaN());
    case 0x6A: // positive infinity
        return loc.toString(std::numeric_limits<double>::infinity());
    case 0x6B: // negative infinity
        return loc.toString(-std::numeric_limits<double>::infinity());
    case 0x73: // native display name
        return loc.nativeLanguageName() + QStringLiteral(" (") + loc.nativeTerritoryName() + QLatin1Char(')');
    case 0x76: // percent sign
        return loc.percent();
    case 0x79: // short time format
        return classicPicture(loc.timeFormat(QLocale::ShortFormat));
    case 0x1001: // English language name
        return QLocale::languageToString(loc.language());
    case 0x1003: // time format
        return classicPicture(time);
    case 0x1005: // AM/PM before the time: 1, after: 0
        return time.startsWith(QLatin1Char('A'), Qt::CaseInsensitive) ? QStringLiteral("1")
                                                                      : QStringLiteral("0");
    case 0x1007: // currency names
    case 0x1008:
        return loc.currencySymbol(QLocale::CurrencyDisplayName);
    case 0x1009: // calendar: Gregorian
        return QStringLiteral("1");
    case 0x100A: // paper size: 1 letter, 9 A4
        return loc.territory() == QLocale::UnitedStates || loc.territory() == QLocale::Canada ||
                       loc.territory() == QLocale::Mexico
                   ? QStringLiteral("1")
                   : QStringLiteral("9");
    case 0x100C: // first day of the week, 0 Monday .. 6 Sunday
        return QString::number(static_cast<int>(loc.firstDayOfWeek()) - 1);
    case 0x1010: // negative numbers: 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
        return orNothing(indexIn(pattern(loc, loc.toString(-1.1), {}), {"(1)", "-1", "- 1", "1-", "1 -"}));
    default:
        return {};
    }
}

} // namespace

QString ListGrid::GetInfo(int lInfo) const
{
    return info(QLocale(), lInfo).left(256);
}
