#include "dashboard/MeterBoard.h"

#include "mqtt/Topics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <cmath>
#include <optional>

namespace thermo4::dashboard {

namespace {

constexpr int kMaxAlarmsPerMeter = 64;
const QString kChannels[] = {QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"),
                             QStringLiteral("T4")};

std::optional<QJsonDocument> parse(const QByteArray& payload) {
    if (payload.size() > MeterBoard::kMaxPayloadBytes) {
        return std::nullopt;
    }
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError) {
        return std::nullopt;
    }
    return document;
}

/// A reading as a display shows it: a finite number, "OL" or "----".
bool isChannelValue(const QJsonValue& value) {
    if (value.isDouble()) {
        return std::isfinite(value.toDouble());
    }
    return value.toString() == QLatin1String("OL") || value.toString() == QLatin1String("----");
}

/// value when it is a string, else null: what the page may show as text.
QJsonValue textOrNull(const QJsonValue& value) {
    return value.isString() ? value : QJsonValue(QJsonValue::Null);
}

/// value when it is a finite number or a string, else null.
QJsonValue numberOrText(const QJsonValue& value) {
    const bool finiteNumber = value.isDouble() && std::isfinite(value.toDouble());
    return finiteNumber || value.isString() ? value : QJsonValue(QJsonValue::Null);
}

/// An alarm as published, with only the fields the page shows; nothing when it is not an alarm.
std::optional<QJsonObject> alarmOf(const QJsonValue& value) {
    const QJsonObject given = value.toObject();
    if (!given.value(QStringLiteral("kind")).isString()) {
        return std::nullopt;
    }
    return QJsonObject{{QStringLiteral("time"), textOrNull(given.value(QStringLiteral("time")))},
                       {QStringLiteral("channel"), textOrNull(given.value(QStringLiteral("channel")))},
                       {QStringLiteral("kind"), given.value(QStringLiteral("kind"))},
                       {QStringLiteral("limit"), numberOrText(given.value(QStringLiteral("limit")))},
                       {QStringLiteral("value"), numberOrText(given.value(QStringLiteral("value")))}};
}

/// Two alarms are the same while their channel and kind are.
bool sameAlarm(const QJsonObject& a, const QJsonObject& b) {
    return a.value(QStringLiteral("channel")) == b.value(QStringLiteral("channel")) &&
           a.value(QStringLiteral("kind")) == b.value(QStringLiteral("kind"));
}

/// A reading as published, with only the fields the page shows; nothing unless
/// all four channels hold a number, "OL" or "----".
std::optional<QJsonObject> readingOf(const QByteArray& payload) {
    const std::optional<QJsonDocument> document = parse(payload);
    if (!document || !document->isObject()) {
        return std::nullopt;
    }
    const QJsonObject given = document->object();
    QJsonObject reading{{QStringLiteral("time"), textOrNull(given.value(QStringLiteral("time")))},
                        {QStringLiteral("unit"), textOrNull(given.value(QStringLiteral("unit")))},
                        {QStringLiteral("model"), textOrNull(given.value(QStringLiteral("model")))},
                        {QStringLiteral("serial"), textOrNull(given.value(QStringLiteral("serial")))},
                        {QStringLiteral("link"), textOrNull(given.value(QStringLiteral("link")))}};
    for (const QString& channel : kChannels) {
        const QJsonValue value = given.value(channel);
        if (!isChannelValue(value)) {
            return std::nullopt;
        }
        reading.insert(channel, value);
    }
    return reading;
}

/// The retained list of the alarms on: an array of alarms, all of them valid.
std::optional<QList<QJsonObject>> alarmListOf(const QByteArray& payload) {
    const std::optional<QJsonDocument> document = parse(payload);
    if (!document || !document->isArray() || document->array().size() > kMaxAlarmsPerMeter) {
        return std::nullopt;
    }
    QList<QJsonObject> alarms;
    for (const QJsonValue& value : document->array()) {
        const std::optional<QJsonObject> alarm = alarmOf(value);
        if (!alarm) {
            return std::nullopt;
        }
        alarms.append(*alarm);
    }
    return alarms;
}

/// The beginning or end of one alarm.
struct AlarmChange {
    QJsonObject alarm;
    bool on = true;
};

std::optional<AlarmChange> alarmChangeOf(const QByteArray& payload) {
    const std::optional<QJsonDocument> document = parse(payload);
    const std::optional<QJsonObject> alarm = document ? alarmOf(document->object()) : std::nullopt;
    if (!alarm) {
        return std::nullopt;
    }
    // Anything but an explicit end counts as a beginning.
    return AlarmChange{*alarm,
                       document->object().value(QStringLiteral("state")).toString() != QLatin1String("off")};
}

QString presenceText(Presence presence) {
    switch (presence) {
    case Presence::Online:
        return QStringLiteral("online");
    case Presence::Offline:
        return QStringLiteral("offline");
    case Presence::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace

MeterBoard::MeterBoard(QString baseTopic) : m_base(std::move(baseTopic)) {}

QStringList MeterBoard::Filters(const QString& baseTopic) {
    QStringList filters;
    for (const char* leaf : {mqtt::kLiveLeaf, mqtt::kStatusLeaf, mqtt::kAlarmsLeaf, mqtt::kAlarmLeaf}) {
        filters.append(baseTopic + QStringLiteral("/+/") + QLatin1String(leaf));
    }
    return filters;
}

bool MeterBoard::take(const QString& topic, const QByteArray& payload, bool retained,
                      const QDateTime& arrived) {
    // BASE/<name>/<leaf>, the name one segment that is not empty.
    if (!topic.startsWith(m_base + QLatin1Char('/'))) {
        return false;
    }
    const QStringList rest = topic.mid(m_base.size() + 1).split(QLatin1Char('/'));
    if (rest.size() != 2 || rest[0].isEmpty()) {
        return false;
    }
    const QString& name = rest[0];
    const QString& leaf = rest[1];
    // Each payload is checked before its name gets a tile.
    if (leaf == QLatin1String(mqtt::kStatusLeaf)) {
        // The publisher's presence, and its last will "offline".
        const QByteArray text = payload.trimmed();
        const Presence presence = text == mqtt::kOnline    ? Presence::Online
                                  : text == mqtt::kOffline ? Presence::Offline
                                                           : Presence::Unknown;
        MeterTile* const meter = presence == Presence::Unknown ? nullptr : tile(name);
        if (meter != nullptr) {
            meter->presence = presence;
        }
        return meter != nullptr;
    }
    if (leaf == QLatin1String(mqtt::kLiveLeaf)) {
        const std::optional<QJsonObject> reading = readingOf(payload);
        MeterTile* const meter = reading ? tile(name) : nullptr;
        if (meter != nullptr) {
            meter->reading = *reading;
            meter->readingArrived = arrived;
            if (!retained) {
                // Readings come only while the publisher is connected.
                meter->presence = Presence::Online;
            } else if (const QDateTime stamped = QDateTime::fromString(
                           reading->value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
                       stamped.isValid() && stamped < arrived) {
                meter->readingArrived = stamped;
            }
        }
        return meter != nullptr;
    }
    if (leaf == QLatin1String(mqtt::kAlarmsLeaf)) {
        const std::optional<QList<QJsonObject>> alarms = alarmListOf(payload);
        MeterTile* const meter = alarms ? tile(name) : nullptr;
        if (meter != nullptr) {
            meter->alarms = *alarms;
        }
        return meter != nullptr;
    }
    if (leaf == QLatin1String(mqtt::kAlarmLeaf)) {
        const std::optional<AlarmChange> change = alarmChangeOf(payload);
        MeterTile* const meter = change ? tile(name) : nullptr;
        if (meter != nullptr) {
            meter->alarms.removeIf([&](const QJsonObject& known) { return sameAlarm(known, change->alarm); });
            if (change->on && meter->alarms.size() < kMaxAlarmsPerMeter) {
                meter->alarms.append(change->alarm);
            }
        }
        return meter != nullptr;
    }
    return false;
}

MeterTile* MeterBoard::tile(const QString& name) {
    const auto found = m_tiles.find(name);
    if (found != m_tiles.end()) {
        return &found->second;
    }
    if (static_cast<int>(m_tiles.size()) >= kMaxMeters) {
        return nullptr;
    }
    MeterTile& added = m_tiles[name];
    added.name = name;
    return &added;
}

QByteArray MeterBoard::json(const QDateTime& now) const {
    QJsonArray meters;
    for (const auto& [name, meter] : m_tiles) {
        QJsonArray alarms;
        for (const QJsonObject& alarm : meter.alarms) {
            alarms.append(alarm);
        }
        const bool hasReading = !meter.reading.isEmpty();
        meters.append(QJsonObject{
            {QStringLiteral("name"), name},
            {QStringLiteral("state"), presenceText(meter.presence)},
            {QStringLiteral("reading"),
             hasReading ? QJsonValue(meter.reading) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("ageS"),
             hasReading
                 ? QJsonValue(std::round(std::max<qint64>(0, meter.readingArrived.msecsTo(now)) / 100.0) /
                              10.0)
                 : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("alarms"), alarms}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("base"), m_base}, {QStringLiteral("meters"), meters}})
        .toJson(QJsonDocument::Compact);
}

} // namespace thermo4::dashboard
