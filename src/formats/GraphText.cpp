#include "formats/GraphText.h"

#include "core/TDateTime.h"
#include "formats/RegionalText.h"

#include <cmath>

namespace thermo4::formats {

bool IsOverRangeForText(double value) {
    return !(value >= kTextLowLimit && value <= kTextHighLimit);
}

QString FixedText(double value, int decimals, const QString& decimalPoint) {
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) == text.size() - 2)
        text.remove(0, 1); // "-0.0": the digits show no value below zero
    if (decimalPoint != QLatin1String("."))
        text.replace(QLatin1Char('.'), decimalPoint);
    return text;
}

QString GraphTextValue(double value, const QString& decimalPoint) {
    if (IsOverRangeForText(value))
        return QString::fromLatin1(kOverRangeText);
    return FixedText(value, 1, decimalPoint);
}

GraphTextFormatter::GraphTextFormatter(QChar separator, const QLocale& locale)
    : m_separator(separator), m_locale(locale), m_timeFormat(LongTimeFormat(locale)),
      m_decimalPoint(locale.decimalPoint()) {}

QString GraphTextFormatter::line(double x, const std::array<double, 4>& y) {
    const auto [date, time] = core::DateAndTimeFromTDateTime(x);
    if (date != m_day || m_dayText.isNull()) {
        m_day = date;
        m_dayText = m_locale.toString(date, QLocale::ShortFormat);
    }
    QString text = m_dayText;
    text += m_separator;
    text += m_locale.toString(time, m_timeFormat);
    for (const double value : y) {
        text += m_separator;
        text += GraphTextValue(value, m_decimalPoint);
    }
    return text;
}

QString GraphTextLine(double x, const std::array<double, 4>& y, QChar separator, const QLocale& locale) {
    return GraphTextFormatter(separator, locale).line(x, y);
}

QString TableTextLine(const QStringList& cells, QChar separator) {
    QString line;
    for (const QString& cell : cells) {
        line += cell;
        line += separator;
    }
    return line;
}

} // namespace thermo4::formats
