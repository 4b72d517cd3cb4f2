#include "core/DataSetTable.h"

#include "core/NumberText.h"
#include "core/TDateTime.h"

namespace thermo4::core {

QString IntervalText(std::int32_t intervalSeconds) {
    return QStringLiteral("%1:%2")
        .arg(intervalSeconds / 60, 2, 10, QLatin1Char('0'))
        .arg(intervalSeconds % 60, 2, 10, QLatin1Char('0'));
}

QString OffsetText(std::int8_t offset, bool celsius, const QLocale& locale) {
    const double value = celsius ? offset * 5.0 / 90.0 : offset * 0.1;
    return FixedText(value, 1, locale);
}

std::array<QString, kDataSetTableColumns> DataSetTableRow(int number, const DataSet& set,
                                                          const QLocale& locale) {
    const QDateTime start = DateTimeFromTDateTime(set.startTime);
    std::array<QString, kDataSetTableColumns> row;
    row[0] = QString::number(number);
    row[1] = locale.toString(start.date(), QLocale::ShortFormat);
    row[2] = start.time().toString(QStringLiteral("HH:mm:ss"));
    row[3] = IntervalText(set.intervalSeconds);
    row[4] = QString::number(set.pointCount);
    row[5] = set.celsius ? QStringLiteral("C") : QStringLiteral("F");
    row[6] = QString::fromLatin1(ThermocoupleLetter(set.thermocoupleType));
    for (std::size_t c = 0; c < 4; ++c) {
        row[7 + c] = OffsetText(set.offsets[c], set.celsius, locale);
    }
    return row;
}

} // namespace thermo4::core
