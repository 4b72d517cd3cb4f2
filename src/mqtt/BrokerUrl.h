#pragma once

#include <QString>

#include <optional>

namespace thermo4::mqtt {

/// Environment variable that may carry the broker password, so it stays out of
/// process lists and shell history.
inline constexpr char kPasswordVariable[] = "THERMO4_MQTT_PASSWORD";
inline constexpr int kDefaultPort = 1883;
inline constexpr int kDefaultTlsPort = 8883;

/// Where the readings go: mqtt://[user[:password]@]host[:port]/base/topic, or
/// mqtts://… for TLS checked against the system's certificate authorities.
struct BrokerUrl {
    QString host;
    int port = kDefaultPort;
    bool tls = false;
    /// Empty: connect without a user name.
    QString user;
    /// From the URL, else from kPasswordVariable; empty: none.
    QString password;
    /// Topic prefix without leading or trailing '/', e.g. "lab/meter1".
    QString baseTopic;

    /// baseTopic + "/" + leaf, e.g. "lab/meter1/live".
    QString topic(const QString& leaf) const { return baseTopic + QLatin1Char('/') + leaf; }
    /// The URL for messages: scheme, user, host, port and base topic, never the password.
    QString displayName() const;

    /// Parses text. environmentPassword is used when the URL carries no
    /// password (pass the variable's value; empty for none). On failure returns
    /// nothing and says what is wrong in error.
    static std::optional<BrokerUrl> parse(const QString& text, const QString& environmentPassword,
                                          QString* error);
};

} // namespace thermo4::mqtt
