#include "mqtt/ReadingJson.h"

#include <cmath>

namespace thermo4::mqtt {

namespace {

/// s as a JSON string literal.
void appendString(QByteArray& out, const QString& s) {
    out += '"';
    for (const char c : s.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += QByteArrayLiteral("\\u00");
            out += QByteArray::number(byte, 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    out += '"';
}

/// "2024-03-01T09:30:00.250+01:00"; null for an invalid time.
void appendTime(QByteArray& out, const QDateTime& time) {
    if (!time.isValid()) {
        out += "null";
        return;
    }
    const int offsetS = time.offsetFromUtc();
    const int offsetMin = std::abs(offsetS) / 60;
    const QString offset = QStringLiteral("%1%2:%3")
                               .arg(offsetS < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                               .arg(offsetMin / 60, 2, 10, QLatin1Char('0'))
                               .arg(offsetMin % 60, 2, 10, QLatin1Char('0'));
    appendString(out, time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + offset);
}

/// A reading as its display shows it: a number with one decimal, "OL" or "----".
void appendValue(QByteArray& out, core::ChannelCondition condition, double value) {
    switch (condition) {
    case core::ChannelCondition::OverRange:
        out += "\"OL\"";
        return;
    case core::ChannelCondition::NoReading:
        out += "\"----\"";
        return;
    case core::ChannelCondition::Reading:
        break;
    }
    if (!std::isfinite(value)) {
        out += "\"----\"";
        return;
    }
    const QByteArray number = QByteArray::number(value, 'f', 1);
    // A value that rounds to zero from below is written without its sign.
    out += number == "-0.0" ? QByteArrayLiteral("0.0") : number;
}

void appendChannel(QByteArray& out, const core::MeterStatus& status, int channel) {
    appendValue(out, core::ChannelConditionOf(status.channelState, channel),
                status.reading[static_cast<std::size_t>(channel)]);
}

} // namespace

void AppendMeterJson(QByteArray& out, const MeterIdentity& meter) {
    out += ",\"model\":";
    appendString(out, meter.model);
    out += ",\"serial\":";
    if (meter.serial.isEmpty()) {
        out += "null";
    } else {
        appendString(out, meter.serial);
    }
    out += ",\"link\":";
    appendString(out, LinkNameText(meter.link));
}

QString LinkNameText(LinkName link) {
    switch (link) {
    case LinkName::Usb:
        return QStringLiteral("usb");
    case LinkName::Serial:
        return QStringLiteral("serial");
    case LinkName::Simulated:
        return QStringLiteral("simulated");
    }
    return QStringLiteral("usb");
}

QByteArray ReadingJson(const QDateTime& time, const core::MeterStatus& status, const MeterIdentity& meter,
                       std::optional<int> sample) {
    QByteArray out;
    out.reserve(192);
    out += "{\"time\":";
    appendTime(out, time);
    out += ",\"unit\":\"C\"";
    for (int channel = 0; channel < 4; ++channel) {
        out += ",\"T";
        out += static_cast<char>('1' + channel);
        out += "\":";
        appendChannel(out, status, channel);
    }
    AppendMeterJson(out, meter);
    if (sample) {
        out += ",\"sample\":";
        out += QByteArray::number(*sample);
    }
    out += '}';
    return out;
}

QByteArray AlarmJson(const alarm::AlarmEvent& event, const MeterIdentity& meter) {
    QByteArray out;
    out.reserve(192);
    out += "{\"time\":";
    appendTime(out, event.time);
    out += ",\"channel\":";
    if (event.kind == alarm::AlarmKind::MeterLost) {
        out += "null";
    } else {
        appendString(out, alarm::AlarmChannelText(event.channel));
    }
    out += ",\"kind\":";
    appendString(out, alarm::AlarmKindText(event.kind));
    out += ",\"limit\":";
    if (event.hasLimit()) {
        out += QByteArray::number(event.limit, 'g', 10);
    } else {
        out += "null";
    }
    out += ",\"value\":";
    if (event.kind == alarm::AlarmKind::MeterLost) {
        out += "null";
    } else {
        appendValue(out, event.condition, event.value);
    }
    out += event.on ? ",\"state\":\"on\"" : ",\"state\":\"off\"";
    AppendMeterJson(out, meter);
    out += '}';
    return out;
}

QByteArray AlarmListJson(const std::vector<alarm::AlarmEvent>& active, const MeterIdentity& meter) {
    QByteArray out = "[";
    for (const alarm::AlarmEvent& event : active) {
        if (out.size() > 1) {
            out += ',';
        }
        out += AlarmJson(event, meter);
    }
    out += ']';
    return out;
}

} // namespace thermo4::mqtt
