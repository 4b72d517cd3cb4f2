#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>

namespace thermo4::formats {

/// Written for a reading beyond the limits.
inline constexpr char kOverRangeText[] = "OL";
/// Ends every line of a text export.
inline constexpr char kTextLineEnd[] = "\r\n";

/// Whether a reading is written as "OL": no temperature (core::IsTemperature), such as a
/// missing probe, over range or the chart's null value.
bool IsOverRangeForText(double value);

/// One reading as a graph text export writes it: "OL" or one decimal (core::FixedText).
QString GraphTextValue(double value, const QString& decimalPoint);

/// Builds the lines of one graph text export: the locale's formats are looked
/// up once and the date text is kept while the day stays the same.
class GraphTextFormatter {
public:
    GraphTextFormatter(QChar separator, const QLocale& locale);

    /// One line without its line end: the point's X value (days since
    /// 1899-12-30) as the locale's short date and long time, then the readings
    /// of T1 to T4, all separated by the separator.
    QString line(double x, const std::array<double, 4>& y);

private:
    QChar m_separator;
    QLocale m_locale;
    QString m_timeFormat;
    QString m_decimalPoint;
    QDate m_day;
    QString m_dayText;
};

/// One line of a graph text export (see GraphTextFormatter::line).
QString GraphTextLine(double x, const std::array<double, 4>& y, QChar separator, const QLocale& locale);

/// One line of a table text export without its line end: every cell followed
/// by the separator (so the line ends with one).
QString TableTextLine(const QStringList& cells, QChar separator);

} // namespace thermo4::formats
