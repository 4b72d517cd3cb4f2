#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

namespace thermo4::core {

/// A number in fixed-point notation with `decimals` decimals, as every reading, average,
/// offset and exported value is written: ASCII digits and minus sign, decimalPoint as the
/// separator and never a group separator ("1234.5", "-1838,2"), since a grouped number
/// is unreadable where the decimal separator is a comma. A value that rounds to zero has
/// no minus sign.
QString FixedText(double value, int decimals, QStringView decimalPoint);
/// The same with the locale's decimal separator.
QString FixedText(double value, int decimals, const QLocale& locale);

} // namespace thermo4::core
