#include "alarm/AlarmRule.h"

#include "core/NumberText.h"

#include <QRegularExpression>

#include <cmath>

namespace thermo4::alarm {

bool AlarmSettings::any() const {
    for (const ChannelLimits& limits : channel) {
        if (limits.limited()) {
            return true;
        }
    }
    return false;
}

QString AlarmKindText(AlarmKind kind) {
    switch (kind) {
    case AlarmKind::High:
        return QStringLiteral("high");
    case AlarmKind::Low:
        return QStringLiteral("low");
    case AlarmKind::NoReading:
        return QStringLiteral("no reading");
    case AlarmKind::MeterLost:
        break;
    }
    return QStringLiteral("meter lost");
}

QString AlarmChannelText(int channel) {
    return channel >= 0 && channel < 4 ? QStringLiteral("T%1").arg(channel + 1) : QString();
}

QString AlarmLimitText(double limit) {
    QString text = core::FixedText(limit, 3, u".");
    while (text.endsWith(QLatin1Char('0')) && text.indexOf(QLatin1Char('.')) < text.size() - 2) {
        text.chop(1);
    }
    return text;
}

QString AlarmConditionText(const AlarmEvent& event) {
    switch (event.kind) {
    case AlarmKind::High:
        return AlarmChannelText(event.channel) + QStringLiteral(" > ") + AlarmLimitText(event.limit);
    case AlarmKind::Low:
        return AlarmChannelText(event.channel) + QStringLiteral(" < ") + AlarmLimitText(event.limit);
    case AlarmKind::NoReading:
        return AlarmChannelText(event.channel) + QStringLiteral(" no reading");
    case AlarmKind::MeterLost:
        break;
    }
    return QStringLiteral("meter lost");
}

QString AlarmValueText(const AlarmEvent& event) {
    if (event.kind == AlarmKind::MeterLost) {
        return {};
    }
    switch (event.condition) {
    case core::ChannelCondition::OverRange:
        return QStringLiteral("OL");
    case core::ChannelCondition::NoReading:
        return QStringLiteral("----");
    case core::ChannelCondition::Reading:
        break;
    }
    return core::FixedText(event.value, 1, u".");
}

QString AlarmMarkText(const AlarmEvent& event) {
    if (event.on) {
        return AlarmConditionText(event);
    }
    return event.kind == AlarmKind::MeterLost ? QStringLiteral("meter back")
                                              : AlarmChannelText(event.channel) + QStringLiteral(" back");
}

QString AlarmEventLine(const AlarmEvent& event) {
    QString line = event.on ? QStringLiteral("ALARM ") : QStringLiteral("CLEAR ");
    line += AlarmConditionText(event);
    if (event.kind != AlarmKind::MeterLost) {
        line += QStringLiteral(" value ") + AlarmValueText(event);
    }
    return line + QStringLiteral(" at ") + event.time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QByteArray AlarmEventsCsv(const std::vector<AlarmEvent>& events) {
    QByteArray csv = "time,channel,kind,limit,value,state\n";
    for (const AlarmEvent& event : events) {
        const QString line = QStringList{event.time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")),
                                         AlarmChannelText(event.channel),
                                         AlarmKindText(event.kind),
                                         event.hasLimit() ? AlarmLimitText(event.limit) : QString(),
                                         AlarmValueText(event),
                                         event.on ? QStringLiteral("on") : QStringLiteral("off")}
                                 .join(QLatin1Char(','));
        csv += line.toUtf8() + '\n';
    }
    return csv;
}

bool AddAlarmLimit(const QString& text, AlarmSettings& settings, QString* error) {
    static const QRegularExpression pattern(
        QStringLiteral("^T([1-4])([<>])([-+]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+))$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const auto fail = [&](const QString& why) {
        if (error) {
            *error = QStringLiteral("alarm \"%1\": %2").arg(text, why);
        }
        return false;
    };
    if (!match.hasMatch()) {
        return fail(QStringLiteral("write Tn>X or Tn<X, with n from 1 to 4 and X a decimal number in °C"));
    }
    const int channel = match.captured(1).toInt() - 1;
    const bool high = match.captured(2) == QLatin1String(">");
    bool ok = false;
    const double limit = match.captured(3).toDouble(&ok);
    if (!ok || !std::isfinite(limit)) {
        return fail(QStringLiteral("%1 is not a number").arg(match.captured(3)));
    }
    ChannelLimits limits = settings.channel[static_cast<std::size_t>(channel)];
    std::optional<double>& slot = high ? limits.high : limits.low;
    if (slot) {
        return fail(QStringLiteral("T%1 has a %2 limit already").arg(channel + 1).arg(high ? "high" : "low"));
    }
    slot = limit;
    if (limits.high && limits.low && *limits.low >= *limits.high) {
        return fail(QStringLiteral("the low limit of T%1 must be below its high limit").arg(channel + 1));
    }
    limits.enabled = true;
    settings.channel[static_cast<std::size_t>(channel)] = limits;
    return true;
}

} // namespace thermo4::alarm
