#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

namespace thermo4::web {

/// Where the web pages listen: "[ADDR:]PORT", e.g. "8080", "0.0.0.0:8080" or "[::1]:8080".
struct HttpAddress {
    /// 127.0.0.1 unless the text names another address.
    QHostAddress address{QHostAddress::LocalHost};
    /// 0 lets the system choose a free port.
    quint16 port = 0;

    /// True when other machines can reach the pages: any address but a loopback one.
    bool openToNetwork() const;
    /// "127.0.0.1:8080" or "[::1]:8080".
    QString text() const;
    /// "http://127.0.0.1:8080/".
    QString url() const;
    /// For an address open to the network, the one line that says so ("the live page at
    /// http://0.0.0.0:8080/ is open to the network: …"); empty for a loopback address.
    QString exposureWarning(const QString& page) const;

    /// Parses "[ADDR:]PORT". On failure returns nothing and says in one line what is wrong in error.
    static std::optional<HttpAddress> parse(const QString& text, QString* error);
};

} // namespace thermo4::web
