#pragma once

#include "alarm/AlarmRule.h"
#include "core/MeterStatus.h"
#include "mqtt/ReadingJson.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <deque>
#include <vector>

namespace thermo4::web {

class EventStream;
class WebServer;

/// One meter's live page: keeps the latest reading and the last hour of them, the meter's state,
/// whether a recording runs and the alarms on, and serves them to the page:
///   /              the page (its script and style beside it)
///   /api/live      the latest reading as the MQTT messages carry it (503 before the first)
///   /api/history   ?minutes=N (1..60, default 60): the readings held, oldest first, as an array
///   /api/status    the meter's state, recording, the alarms on and the age of the latest reading
///   /api/events    Server-Sent Events: "reading" with /api/live's JSON, "status" with /api/status's
class LiveFeed : public QObject {
    Q_OBJECT
public:
    static constexpr int kHistoryMinutes = 60;
    /// Upper bound on the readings held, whatever their times say: an hour at 10 per second.
    static constexpr std::size_t kHistoryCapacity = 36000;

    /// Where the meter is, as the page says it.
    enum class MeterState { Waiting, Connected, Lost };

    explicit LiveFeed(QObject* parent = nullptr);
    ~LiveFeed() override;

    /// Adds the page and its API to server. A feed is served on one server: a later call moves the
    /// pushed events to the new server's stream.
    void serveOn(WebServer& server);

    void setMeter(const mqtt::MeterIdentity& meter);
    void addReading(const QDateTime& time, const core::MeterStatus& status);
    void setMeterState(MeterState state);
    void setRecording(bool running);
    /// The alarms on now (their beginnings).
    void setAlarms(const std::vector<alarm::AlarmEvent>& active);

    /// The latest reading's JSON; empty before the first.
    QByteArray liveJson() const;
    /// The readings of the last minutes before the latest one, oldest first, as a JSON array.
    QByteArray historyJson(int minutes) const;
    QByteArray statusJson() const;
    std::size_t historySize() const { return m_history.size(); }

private:
    struct Entry {
        QDateTime time;
        QByteArray json;
    };

    void statusChanged();

    mqtt::MeterIdentity m_meter;
    MeterState m_state = MeterState::Waiting;
    bool m_recording = false;
    std::vector<alarm::AlarmEvent> m_alarms;
    std::deque<Entry> m_history;
    /// Since the latest reading arrived; its age on the page is measured on this, not on clocks.
    QElapsedTimer m_sinceReading;
    /// The events stream of the server this feed is served on (gone with its server).
    QPointer<EventStream> m_stream;
};

} // namespace thermo4::web
