#include "app/LiveWebFeed.h"

#include "app/AlarmWatch.h"
#include "app/LivePublishing.h"
#include "session/MeterSession.h"
#include "web/LiveFeed.h"

namespace thermo4::ui {

LiveWebFeed::LiveWebFeed(session::MeterSession& session, web::LiveFeed& feed, const AlarmWatch& alarms,
                         bool simulated, QObject* parent)
    : QObject(parent), m_session(session), m_feed(feed), m_simulated(simulated) {
    connect(&session, &session::MeterSession::connectionChanged, this,
            [this](session::ConnectionChange change) {
                updateMeter();
                if (change == session::ConnectionChange::Lost)
                    m_feed.setMeterState(web::LiveFeed::MeterState::Lost);
            });
    connect(&session, &session::MeterSession::reading, this, [this](const session::Reading& reading) {
        updateMeter();
        m_feed.addReading(reading.time, reading.status);
    });
    connect(&session.recording(), &session::RecordingState::recordingChanged, this,
            [this](bool running) { m_feed.setRecording(running); });
    // changed follows the events of each reading and any change of the limits.
    const auto alarmsOn = [this, &alarms] { m_feed.setAlarms(alarms.monitor().active()); };
    connect(&alarms, &AlarmWatch::changed, this, alarmsOn);
    m_feed.setRecording(session.recording().recording());
    alarmsOn();
    updateMeter();
}

void LiveWebFeed::setMeterName(std::function<QString()> name) {
    m_meterName = std::move(name);
    updateMeter();
}

void LiveWebFeed::updateMeter() {
    m_feed.setMeter(MeterIdentityOf(m_session, m_simulated, m_meterName));
}

} // namespace thermo4::ui
