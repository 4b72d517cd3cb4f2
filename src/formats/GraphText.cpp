#include "formats/GraphText.h"

#include "core/GraphStatistics.h"
#include "core/NumberText.h"
#include "core/TDateTime.h"
#include "formats/RegionalText.h"

#include <cmath>

namespace thermo4::formats {

bool IsOverRangeForText(double value) {
    return !core::IsTemperature(value);
}

QString GraphTextValue(double value, const QString& decimalPoint) {
    if (IsOverRangeForText(value))
        return QString::fromLatin1(kOverRangeText);
    return core::FixedText(value, 1, decimalPoint);
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
