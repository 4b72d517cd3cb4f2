#include "core/NumberText.h"

#include <algorithm>

namespace thermo4::core {

QString FixedText(double value, int decimals, QStringView decimalPoint) {
    QString text = QString::number(value, 'f', decimals);
    const auto zero = [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); };
    if (text.startsWith(QLatin1Char('-')) && std::all_of(text.cbegin() + 1, text.cend(), zero))
        text.remove(0, 1); // "-0.0": the digits show no value below zero
    if (const qsizetype point = text.indexOf(QLatin1Char('.')); point >= 0 && decimalPoint != u".")
        text.replace(point, 1, decimalPoint.data(), decimalPoint.size());
    return text;
}

QString FixedText(double value, int decimals, const QLocale& locale) {
    return FixedText(value, decimals, locale.decimalPoint());
}

} // namespace thermo4::core
