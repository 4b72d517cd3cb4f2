#include "cli/MqttOption.h"

#include "cli/CliSupport.h"
#include "mqtt/BrokerOptions.h"
#include "session/MeterFactory.h"
#include "session/MeterSession.h"

namespace thermo4::cli {

namespace {

QString PublishingHelp() {
    return QStringLiteral("Also publish each reading to the MQTT broker at URL, "
                          "mqtt://[USER[:PASSWORD]@]HOST[:PORT]/BASE/TOPIC (mqtts:// for TLS with the "
                          "system's certificate authorities): JSON on BASE/live, \"online\"/\"offline\" "
                          "on BASE/status. Give the password with --%1 or in the environment variable "
                          "%2 instead of in the URL, which every user sees in the list of processes.")
        .arg(QLatin1String(mqtt::kPasswordFileOption), QLatin1String(mqtt::kPasswordVariable));
}

} // namespace

MqttOption::MqttOption(const QString& description)
    : m_option(QStringLiteral("mqtt"), description.isEmpty() ? PublishingHelp() : description,
               QStringLiteral("URL")),
      m_passwordFileOption(QLatin1String(mqtt::kPasswordFileOption),
                           QStringLiteral("The broker password for --mqtt is the first line of FILE, which "
                                          "no other user may read (chmod 600)."),
                           QStringLiteral("FILE")) {}

bool MqttOption::read(const QCommandLineParser& parser) {
    if (!parser.isSet(m_option)) {
        if (parser.isSet(m_passwordFileOption)) {
            PrintError(
                QStringLiteral("--%1 goes with --mqtt URL").arg(QLatin1String(mqtt::kPasswordFileOption)));
            return false;
        }
        return true;
    }
    QString error;
    QString warning;
    m_broker = mqtt::BrokerFromOptions(parser.value(m_option), parser.value(m_passwordFileOption),
                                       qEnvironmentVariable(mqtt::kPasswordVariable), &error, &warning);
    if (!m_broker) {
        PrintError(error);
        return false;
    }
    if (!warning.isEmpty()) {
        PrintError(warning);
    }
    return true;
}

bool MqttOption::start(session::Meter& meter, mqtt::LinkName link) {
    if (!m_broker) {
        return true;
    }
    m_publisher = std::make_unique<mqtt::MqttPublisher>(*m_broker);
    mqtt::MeterIdentity identity;
    identity.link = link;
    m_publisher->setMeter(identity);
    QObject::connect(m_publisher.get(), &mqtt::MqttPublisher::statusMessage,
                     [](const QString& text) { PrintError(text); });
    QString error;
    if (!m_publisher->start(&error)) {
        PrintError(error);
        return false;
    }
    QObject::connect(
        &meter.session(), &session::MeterSession::reading, m_publisher.get(),
        [publisher = m_publisher.get(), &meter, identity](const session::Reading& reading) mutable {
            // The meter's name (serial number, else path) is known once this program holds it.
            if (const QString name = meter.meterName(); name != identity.serial) {
                identity.serial = name;
                publisher->setMeter(identity);
            }
            publisher->publishLive(reading.time, reading.status);
        });
    return true;
}

} // namespace thermo4::cli
