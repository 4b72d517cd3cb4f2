#include "mqtt/BrokerAddresses.h"

#include <netdb.h>
#include <sys/socket.h>

namespace thermo4::mqtt {

namespace {

bool isIpv6(const QByteArray& address) {
    return address.contains(':');
}

QByteArray wildcardFor(const QByteArray& address) {
    return isIpv6(address) ? QByteArrayLiteral("::") : QByteArrayLiteral("0.0.0.0");
}

} // namespace

QList<QByteArray> ResolveBroker(const QString& host, QString* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found);
    if (rc != 0) {
        if (error != nullptr) {
            *error = rc == EAI_NONAME || rc == EAI_NODATA
                         ? QStringLiteral("host name not found")
                         : QStringLiteral("host name lookup failed: %1")
                               .arg(QString::fromLocal8Bit(gai_strerror(rc)));
        }
        return {};
    }
    QList<QByteArray> addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6) {
            continue;
        }
        char text[NI_MAXHOST];
        if (::getnameinfo(entry->ai_addr, entry->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) ==
                0 &&
            !addresses.contains(QByteArray(text))) {
            addresses.append(QByteArray(text));
        }
    }
    ::freeaddrinfo(found);
    if (addresses.isEmpty() && error != nullptr) {
        *error = QStringLiteral("host name not found");
    }
    return addresses;
}

QList<ConnectTarget> ConnectTargets(const QString& host, const QList<QByteArray>& addresses, bool tls) {
    QList<ConnectTarget> targets;
    const QByteArray name = host.toUtf8();
    for (const QByteArray& address : addresses) {
        ConnectTarget target{tls ? name : address, wildcardFor(address)};
        if (!targets.contains(target)) {
            targets.append(target);
        }
    }
    return targets;
}

QString HostAndPort(const QString& host, int port) {
    return (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
           QLatin1Char(':') + QString::number(port);
}

} // namespace thermo4::mqtt
