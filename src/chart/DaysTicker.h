#pragma once

#include <qcustomplot.h>

#include <QDateTime>

namespace thermo4::chart {

/// Converts days since 1899-12-30 (local wall-clock time) to a date-time, to the millisecond;
/// invalid for days not finite or beyond ±1e7 (about 27 000 years).
QDateTime dateTimeFromDays(double days);
/// Days since 1899-12-30 of a local date-time; an invalid one gives 0.
double daysFromDateTime(const QDateTime& dateTime);

/// Axis ticker for X values in days since 1899-12-30: steps of whole seconds, minutes, hours
/// or days, labelled with the time and, when the range spans dates, the date.
class DaysTicker : public QCPAxisTicker {
public:
    DaysTicker();

protected:
    double getTickStep(const QCPRange& range) override;
    int getSubTickCount(double tickStep) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;

private:
    double m_stepSeconds = 1.0;
    bool m_showDate = false;
};

} // namespace thermo4::chart
