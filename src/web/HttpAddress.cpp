#include "web/HttpAddress.h"

#include "mqtt/BrokerAddresses.h"

namespace thermo4::web {

namespace {

std::optional<HttpAddress> fail(QString* error, const QString& message) {
    if (error) {
        *error = message;
    }
    return std::nullopt;
}

} // namespace

bool HttpAddress::openToNetwork() const {
    return !address.isLoopback();
}

QString HttpAddress::text() const {
    return mqtt::HostAndPort(address.toString(), port);
}

QString HttpAddress::url() const {
    return QStringLiteral("http://%1/").arg(text());
}

QString HttpAddress::exposureWarning(const QString& page) const {
    if (!openToNetwork()) {
        return {};
    }
    return QStringLiteral("the %1 at %2 is open to the network: anyone who reaches this machine on port %3 "
                          "can read it")
        .arg(page, url())
        .arg(port);
}

std::optional<HttpAddress> HttpAddress::parse(const QString& text, QString* error) {
    const QString trimmed = text.trimmed();
    QString host;
    QString portText = trimmed;
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QStringLiteral("]:"));
        if (close < 0) {
            return fail(error,
                        QStringLiteral("web address \"%1\": write an IPv6 address as [ADDR]:PORT").arg(text));
        }
        host = trimmed.mid(1, close - 1);
        portText = trimmed.mid(close + 2);
    } else if (const qsizetype colon = trimmed.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        if (trimmed.indexOf(QLatin1Char(':')) != colon) {
            return fail(error,
                        QStringLiteral("web address \"%1\": write an IPv6 address as [ADDR]:PORT").arg(text));
        }
        host = trimmed.left(colon);
        portText = trimmed.mid(colon + 1);
    }

    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port > 65535 || portText.isEmpty() || !portText.front().isDigit()) {
        return fail(
            error, QStringLiteral("web address \"%1\": the port must be a number from 0 to 65535").arg(text));
    }
    HttpAddress address;
    address.port = static_cast<quint16>(port);
    if (!host.isEmpty() || trimmed.contains(QLatin1Char(':'))) {
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
            host = QStringLiteral("127.0.0.1");
        }
        if (!address.address.setAddress(host)) {
            return fail(error,
                        QStringLiteral("web address \"%1\": \"%2\" is not an IP address").arg(text, host));
        }
    }
    return address;
}

} // namespace thermo4::web
