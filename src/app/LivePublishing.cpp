#include "app/LivePublishing.h"

#include "app/AlarmWatch.h"
#include "mqtt/MqttPublisher.h"
#include "session/MeterSession.h"

namespace thermo4::ui {

LivePublishing::LivePublishing(session::MeterSession& session, mqtt::MqttPublisher& publisher, bool simulated,
                               QObject* parent)
    : QObject(parent), m_session(session), m_publisher(publisher), m_simulated(simulated) {
    connect(&session, &session::MeterSession::connectionChanged, this, &LivePublishing::updateMeter);
    connect(&session, &session::MeterSession::reading, this, [this](const session::Reading& reading) {
        m_publisher.publishLive(reading.time, reading.status);
    });
    connect(&session.recording(), &session::RecordingState::sampleRecorded, this,
            [this](int number, const session::Reading& sample) {
                m_publisher.publishRecording(number, sample.time, sample.status);
            });
    connect(&publisher, &mqtt::MqttPublisher::statusMessage, this, &LivePublishing::notice);
    updateMeter();
}

void LivePublishing::publishAlarms(const AlarmWatch& alarms) {
    m_publisher.publishActiveAlarms(alarms.monitor().active());
    connect(&alarms, &AlarmWatch::alarmEvent, this, [this, &alarms](const alarm::AlarmEvent& event) {
        m_publisher.publishAlarm(event);
        m_publisher.publishActiveAlarms(alarms.monitor().active());
    });
}

void LivePublishing::setMeterName(std::function<QString()> name) {
    m_meterName = std::move(name);
    updateMeter();
}

mqtt::MeterIdentity MeterIdentityOf(const session::MeterSession& session, bool simulated,
                                    const std::function<QString()>& name) {
    mqtt::MeterIdentity meter;
    meter.link = session.serialLink() ? mqtt::LinkName::Serial
                 : simulated          ? mqtt::LinkName::Simulated
                                      : mqtt::LinkName::Usb;
    if (name)
        meter.serial = name();
    return meter;
}

void LivePublishing::updateMeter() {
    m_publisher.setMeter(MeterIdentityOf(m_session, m_simulated, m_meterName));
}

} // namespace thermo4::ui
