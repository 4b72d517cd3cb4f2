#pragma once

#include "alarm/AlarmRule.h"
#include "core/Commands.h"
#include "core/MeterStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace thermo4::mqtt {

/// How the program reaches the meter, as the messages name it.
enum class LinkName { Usb, Serial, Simulated };

/// "usb", "serial" or "simulated".
QString LinkNameText(LinkName link);

/// The meter behind the readings, sent with each of them.
struct MeterIdentity {
    /// Model code from the identify reply.
    QString model = QString::fromLatin1(core::kModelCode.data(), qsizetype(core::kModelCode.size()));
    /// Empty while unknown (sent as null).
    QString serial;
    LinkName link = LinkName::Usb;

    bool operator==(const MeterIdentity&) const = default;
};

/// The meter's members for a JSON object being written, each after a comma:
/// ,"model":"418","serial":null,"link":"usb".
void AppendMeterJson(QByteArray& out, const MeterIdentity& meter);

/// One reading as a compact JSON object:
/// {"time":"2024-03-01T09:30:00.250+01:00","unit":"C","T1":25.3,"T2":"OL","T3":"----","T4":19.0,
///  "model":"418","serial":null,"link":"usb"} plus "sample":N for a recorded sample.
/// time is local with milliseconds and the UTC offset; readings are °C with one
/// decimal, or "OL" / "----" as the channel state says.
QByteArray ReadingJson(const QDateTime& time, const core::MeterStatus& status, const MeterIdentity& meter,
                       std::optional<int> sample = std::nullopt);

/// One beginning or end of an alarm:
/// {"time":"…","channel":"T1","kind":"high","limit":300.0,"value":301.2,"state":"on",
///  "model":"418","serial":null,"link":"usb"}. kind is "high", "low", "no reading" or
/// "meter lost"; limit is null for the last two, channel null for "meter lost", value a
/// number, "OL" or "----" (null for "meter lost").
QByteArray AlarmJson(const alarm::AlarmEvent& event, const MeterIdentity& meter);
/// The alarms on now as a JSON array of their beginnings ([] for none).
QByteArray AlarmListJson(const std::vector<alarm::AlarmEvent>& active, const MeterIdentity& meter);

} // namespace thermo4::mqtt
