#include "web/LiveFeed.h"

#include "web/EventStream.h"
#include "web/WebServer.h"

namespace thermo4::web {

namespace {

const char* stateText(LiveFeed::MeterState state) {
    switch (state) {
    case LiveFeed::MeterState::Waiting:
        return "waiting";
    case LiveFeed::MeterState::Connected:
        return "connected";
    case LiveFeed::MeterState::Lost:
        return "lost";
    }
    return "waiting";
}

} // namespace

LiveFeed::LiveFeed(QObject* parent) : QObject(parent) {}

LiveFeed::~LiveFeed() = default;

void LiveFeed::serveOn(WebServer& server) {
    server.addResource(QStringLiteral("/"), QStringLiteral(":/web/live.html"));
    server.addResource(QStringLiteral("/live.js"), QStringLiteral(":/web/live.js"));
    server.addResource(QStringLiteral("/live.css"), QStringLiteral(":/web/live.css"));
    server.addJson(QStringLiteral("/api/live"), [this](const QUrlQuery&) {
        const QByteArray live = liveJson();
        return live.isEmpty() ? WebServer::Reply{"No reading yet", 503} : WebServer::Reply{live};
    });
    server.addJson(QStringLiteral("/api/history"), [this](const QUrlQuery& query) {
        int minutes = kHistoryMinutes;
        if (query.hasQueryItem(QStringLiteral("minutes"))) {
            const QString text = query.queryItemValue(QStringLiteral("minutes"));
            bool ok = false;
            minutes = text.toInt(&ok);
            if (!ok || minutes < 1 || minutes > kHistoryMinutes) {
                return WebServer::Reply{
                    QStringLiteral("minutes must be a whole number from 1 to %1, not \"%2\"")
                        .arg(kHistoryMinutes)
                        .arg(text.left(40))
                        .toUtf8(),
                    400};
            }
        }
        return WebServer::Reply{historyJson(minutes)};
    });
    server.addJson(QStringLiteral("/api/status"),
                   [this](const QUrlQuery&) { return WebServer::Reply{statusJson()}; });
    EventStream* stream = server.addEventStream(QStringLiteral("/api/events"));
    stream->setWelcome([this] {
        QByteArray first = EventStream::format("status", statusJson());
        if (!m_history.empty()) {
            first += EventStream::format("reading", m_history.back().json);
        }
        return first;
    });
    m_stream = stream;
}

void LiveFeed::setMeter(const mqtt::MeterIdentity& meter) {
    if (meter == m_meter) {
        return;
    }
    m_meter = meter;
    statusChanged();
}

void LiveFeed::addReading(const QDateTime& time, const core::MeterStatus& status) {
    m_history.push_back({time, mqtt::ReadingJson(time, status, m_meter)});
    m_sinceReading.start();
    const QDateTime oldest = time.addSecs(-60LL * kHistoryMinutes);
    while (m_history.size() > kHistoryCapacity || m_history.front().time < oldest) {
        m_history.pop_front();
    }
    if (m_stream) {
        m_stream->send("reading", m_history.back().json);
    }
    if (m_state != MeterState::Connected) {
        setMeterState(MeterState::Connected);
    }
}

void LiveFeed::setMeterState(MeterState state) {
    if (state == m_state) {
        return;
    }
    m_state = state;
    statusChanged();
}

void LiveFeed::setRecording(bool running) {
    if (running == m_recording) {
        return;
    }
    m_recording = running;
    statusChanged();
}

void LiveFeed::setAlarms(const std::vector<alarm::AlarmEvent>& active) {
    if (active == m_alarms) {
        return;
    }
    m_alarms = active;
    statusChanged();
}

QByteArray LiveFeed::liveJson() const {
    return m_history.empty() ? QByteArray() : m_history.back().json;
}

QByteArray LiveFeed::historyJson(int minutes) const {
    QByteArray out = "[";
    if (!m_history.empty()) {
        const QDateTime from = m_history.back().time.addSecs(-60LL * minutes);
        auto first = std::find_if(m_history.begin(), m_history.end(),
                                  [&from](const Entry& entry) { return entry.time >= from; });
        out.reserve((m_history.end() - first) * (m_history.back().json.size() + 1) + 2);
        for (auto it = first; it != m_history.end(); ++it) {
            if (it != first) {
                out += ',';
            }
            out += it->json;
        }
    }
    out += ']';
    return out;
}

QByteArray LiveFeed::statusJson() const {
    QByteArray out = "{\"meter\":\"";
    out += stateText(m_state);
    out += "\",\"recording\":";
    out += m_recording ? "true" : "false";
    out += ",\"ageMs\":";
    out += m_sinceReading.isValid() ? QByteArray::number(m_sinceReading.elapsed()) : QByteArray("null");
    out += ",\"alarms\":";
    out += mqtt::AlarmListJson(m_alarms, m_meter);
    // The meter's model, serial and link as the readings carry them.
    mqtt::AppendMeterJson(out, m_meter);
    out += '}';
    return out;
}

void LiveFeed::statusChanged() {
    if (m_stream) {
        m_stream->send("status", statusJson());
    }
}

} // namespace thermo4::web
