#pragma once

#include "mqtt/BrokerUrl.h"
#include "mqtt/MqttPublisher.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <memory>
#include <optional>

namespace thermo4::session {
class Meter;
}

namespace thermo4::cli {

/// The --mqtt URL option (with --mqtt-password-file FILE) of a polling command:
/// checks the URL before anything starts, then publishes every printed reading
/// and prints the publisher's status lines on stderr. Publishes "offline" when it
/// goes out of scope.
class MqttOption {
public:
    /// description: the help text of --mqtt; empty for the publishing commands' own.
    explicit MqttOption(const QString& description = {});

    void addTo(QCommandLineParser& parser) const {
        parser.addOption(m_option);
        parser.addOption(m_passwordFileOption);
    }
    /// Takes the URL (password possibly from the file or the environment); on a bad
    /// one prints why and returns false. A password in the URL is taken with a warning.
    bool read(const QCommandLineParser& parser);
    /// The broker read, or none without --mqtt.
    const std::optional<mqtt::BrokerUrl>& broker() const { return m_broker; }
    bool isSet(const QCommandLineParser& parser) const { return parser.isSet(m_option); }
    /// With the option given: starts publishing every reading meter's session announces,
    /// from a meter on link, named as the meter names itself once this program holds it.
    /// False, with the reason printed, when the client cannot start.
    bool start(session::Meter& meter, mqtt::LinkName link);
    /// The running publisher, or none without --mqtt.
    mqtt::MqttPublisher* publisher() const { return m_publisher.get(); }

private:
    QCommandLineOption m_option;
    QCommandLineOption m_passwordFileOption;
    std::optional<mqtt::BrokerUrl> m_broker;
    std::unique_ptr<mqtt::MqttPublisher> m_publisher;
};

} // namespace thermo4::cli
