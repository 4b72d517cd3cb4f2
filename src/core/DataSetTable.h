#pragma once

#include "core/DataSet.h"

#include <QLocale>
#include <QString>

#include <array>

namespace thermo4::core {

inline constexpr int kDataSetTableColumns = 11;

/// The fixed header row of the data-set table.
inline constexpr std::array<const char*, kDataSetTableColumns> kDataSetTableHeader{
    "Set",    "DATE",      "TIME",      "Rate",      "Nums",     "Unit",
    "Couple", "T1 Offset", "T2 Offset", "T3 Offset", "T4 Offset"};

/// The texts of the table row of data set number (1-based): number, date in
/// locale's short format, time "hh:mm:ss", rate "mm:ss", points, unit, type
/// letter, four offsets with one decimal in locale's decimal separator.
std::array<QString, kDataSetTableColumns> DataSetTableRow(int number, const DataSet& set,
                                                          const QLocale& locale);

/// Rate column: minutes and seconds, each at least two digits (90 s → "01:30", 7200 s → "120:00").
QString IntervalText(std::int32_t intervalSeconds);
/// An offset column: tenths of °F shown in the set's unit with one decimal.
QString OffsetText(std::int8_t offset, bool celsius, const QLocale& locale);

} // namespace thermo4::core
