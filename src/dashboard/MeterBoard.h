#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>

namespace thermo4::dashboard {

/// Whether a meter's program is connected to the broker, from its retained status and last will.
enum class Presence { Unknown, Online, Offline };

/// What the dashboard knows of one meter.
struct MeterTile {
    /// The meter's topic segment, BASE/<name>/live.
    QString name;
    Presence presence = Presence::Unknown;
    /// The last reading: time, unit, T1 to T4 (a number, "OL" or "----"), model,
    /// serial, link; empty before the first.
    QJsonObject reading;
    /// When the last reading arrived here, by this computer's clock (the meter's PC
    /// may keep another time), or its own time for a retained one; invalid before the first.
    QDateTime readingArrived;
    /// The alarms on now, each as its beginning was published.
    QList<QJsonObject> alarms;
};

/// The meters that publish under one base topic, learnt from their messages
/// (BASE/<name>/live, status, alarms and alarm): a meter appears with its first
/// message that makes sense, retained ones included, so a board started late
/// learns every meter the broker keeps a status of. A message on another topic
/// or with a payload that is not what the programs publish changes nothing.
class MeterBoard {
public:
    /// Tiles beyond which new names are ignored, so that a broker full of topics cannot exhaust memory.
    static constexpr int kMaxMeters = 1000;
    /// Longest payload taken, bytes; a reading is about 200.
    static constexpr qsizetype kMaxPayloadBytes = 65536;

    explicit MeterBoard(QString baseTopic);

    /// The topic filters a subscriber of baseTopic needs.
    static QStringList Filters(const QString& baseTopic);

    /// Takes one message that arrived at arrived; false when it was ignored. retained: the
    /// broker kept it from before, so a reading among such is an old one: it says nothing of
    /// the meter's presence, and its age counts from its own time.
    bool take(const QString& topic, const QByteArray& payload, bool retained, const QDateTime& arrived);

    const QString& baseTopic() const { return m_base; }
    /// The tiles by name.
    const std::map<QString, MeterTile>& tiles() const { return m_tiles; }

    /// {"base":…,"meters":[{"name":…,"state":"online"|"offline"|"unknown","reading":{…}|null,
    ///  "ageS":seconds since the reading arrived|null,"alarms":[…]}…]} in name order.
    QByteArray json(const QDateTime& now) const;

private:
    /// name's tile, added when new; null when the board is full.
    MeterTile* tile(const QString& name);

    const QString m_base;
    std::map<QString, MeterTile> m_tiles;
};

} // namespace thermo4::dashboard
