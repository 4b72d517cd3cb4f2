#include "formats/RegionalText.h"

#include "core/TDateTime.h"

#include <QDate>
#include <QRegularExpression>

#include <string>

namespace thermo4::formats {

namespace {

/// Years a two-digit year may lie before or after this year.
constexpr int kCenturyWindow = 50;

/// Order of day ('d'), month ('M') and year ('y') in a date format; day,
/// month, year when the format lacks one of them.
std::string fieldOrder(const QString& format) {
    std::string order;
    for (const QChar c : format) {
        const char field = c.toLatin1();
        if ((field == 'd' || field == 'M' || field == 'y') && order.find(field) == std::string::npos)
            order += field;
    }
    return order.size() == 3 ? order : std::string("dMy");
}

int fullYear(int year, int digits) {
    if (digits > 2)
        return year;
    const int thisYear = QDate::currentDate().year();
    int full = thisYear / 100 * 100 + year;
    if (full > thisYear + kCenturyWindow)
        full -= 100;
    else if (full <= thisYear - kCenturyWindow)
        full += 100;
    return full;
}

/// Numeric dates: two or three groups of digits separated by anything else.
std::optional<QDate> numericDate(const QString& text, const QLocale& locale) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,4})\D{1,3}(\d{1,4})(?:\D{1,3}(\d{1,4}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const std::string order = fieldOrder(locale.dateFormat(QLocale::ShortFormat));
    int day = 0, month = 0, year = QDate::currentDate().year();
    const bool withYear = !match.captured(3).isEmpty();
    int group = 1;
    for (const char field : order) {
        if (field == 'y' && !withYear)
            continue;
        const QString digits = match.captured(group++);
        const int value = digits.toInt();
        if (field == 'd')
            day = value;
        else if (field == 'M')
            month = value;
        else
            year = fullYear(value, static_cast<int>(digits.size()));
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

QString LongTimeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral(R"(\s*t+\s*)"));
    format.replace(zone, QStringLiteral(" "));
    return format.trimmed();
}

QString DateText(double days, const QLocale& locale) {
    return locale.toString(core::DateAndTimeFromTDateTime(days).first, QLocale::ShortFormat);
}

QString TimeText(double days, const QLocale& locale) {
    return locale.toString(core::DateAndTimeFromTDateTime(days).second, LongTimeFormat(locale));
}

std::optional<QDate> ParseDate(const QString& text, const QLocale& locale) {
    if (auto date = numericDate(text, locale))
        return date;
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDate date = locale.toDate(text.trimmed(), type);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

std::optional<QTime> ParseTime(const QString& text, const QLocale& locale) {
    QString rest = text.trimmed();
    int shift = -1; // -1: 24-hour clock; 0: AM; 12: PM
    auto takeMarker = [&rest, &shift](const QString& marker, int hours) {
        if (!marker.isEmpty() && rest.endsWith(marker, Qt::CaseInsensitive)) {
            rest.chop(marker.size());
            rest = rest.trimmed();
            shift = hours;
            return true;
        }
        return false;
    };
    takeMarker(locale.amText(), 0) || takeMarker(locale.pmText(), 12) ||
        takeMarker(QStringLiteral("AM"), 0) || takeMarker(QStringLiteral("PM"), 12);

    const QString decimal = QRegularExpression::escape(locale.decimalPoint());
    const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:(?:\.|%1)(\d{1,3}))?)?$)").arg(decimal));
    const QRegularExpressionMatch match = pattern.match(rest);
    if (!match.hasMatch()) {
        // A long time format with words ("14時05分30秒") reads only as written.
        const QTime time = locale.toTime(text.trimmed(), LongTimeFormat(locale));
        return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
    }
    int hour = match.captured(1).toInt();
    if (shift >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + shift;
    }
    const QString fraction = match.captured(4);
    const int ms = fraction.isEmpty() ? 0 : fraction.leftJustified(3, QLatin1Char('0')).toInt();
    const QTime time(hour, match.captured(2).toInt(), match.captured(3).toInt(), ms);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<double> ParseDateAndTime(const QString& date, const QString& time, const QLocale& locale) {
    const auto d = ParseDate(date, locale);
    const auto t = ParseTime(time, locale);
    if (!d || !t)
        return std::nullopt;
    return core::TDateTimeFromDateAndTime(*d, *t);
}

std::optional<double> ParseNumber(const QString& text, const QLocale& locale) {
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace thermo4::formats
