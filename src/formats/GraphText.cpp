#include "formats/GraphText.h"

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

QString GraphTextLine(double x, const std::array<double, 4>& y, QChar separator, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    QString line = DateText(x, locale);
    line += separator;
    line += TimeText(x, locale);
    for (const double value : y) {
        line += separator;
        line += GraphTextValue(value, point);
    }
    return line;
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
