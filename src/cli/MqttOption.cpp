#include "cli/MqttOption.h"

#include "cli/CliSupport.h"
#include "link/HeadlessPoll.h"

namespace thermo4::cli {

MqttOption::MqttOption()
    : m_option(QStringLiteral("mqtt"),
               QStringLiteral("Also publish each reading to the MQTT broker at URL, "
                              "mqtt://[USER[:PASSWORD]@]HOST[:PORT]/BASE/TOPIC (mqtts:// for TLS with the "
                              "system's certificate authorities): JSON on BASE/live, \"online\"/\"offline\" "
                              "on BASE/status. The password may come from the environment variable %1 "
                              "instead, which keeps it out of process lists and shell history.")
                   .arg(QLatin1String(mqtt::kPasswordVariable)),
               QStringLiteral("URL")) {}

bool MqttOption::read(const QCommandLineParser& parser) {
    if (!parser.isSet(m_option)) {
        return true;
    }
    QString error;
    m_broker =
        mqtt::BrokerUrl::parse(parser.value(m_option), qEnvironmentVariable(mqtt::kPasswordVariable), &error);
    if (!m_broker) {
        PrintError(QStringLiteral("--mqtt: %1").arg(error));
        return false;
    }
    return true;
}

bool MqttOption::start(link::HeadlessPoll& poll, mqtt::LinkName link) {
    if (!m_broker) {
        return true;
    }
    m_publisher = std::make_unique<mqtt::MqttPublisher>(*m_broker);
    mqtt::MeterIdentity meter;
    meter.link = link;
    m_publisher->setMeter(meter);
    QObject::connect(m_publisher.get(), &mqtt::MqttPublisher::statusMessage,
                     [](const QString& text) { PrintError(text); });
    QString error;
    if (!m_publisher->start(&error)) {
        PrintError(error);
        return false;
    }
    poll.onReading = [publisher = m_publisher.get()](const QDateTime& time, const core::MeterStatus& status) {
        publisher->publishLive(time, status);
    };
    return true;
}

} // namespace thermo4::cli
