#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace thermo4::mqtt {

/// One connection attempt as the MQTT library takes it: the host it looks up and
/// connects to, and the local wildcard address ("::" or "0.0.0.0") it binds first,
/// which keeps its attempt to that one address family.
struct ConnectTarget {
    QByteArray host;
    QByteArray bind;

    bool operator==(const ConnectTarget&) const = default;
};

/// The numeric addresses of host for a TCP connection, in the resolver's order
/// (IPv6 and IPv4 alike, each once). Empty, with the reason in error, when the
/// name cannot be resolved. Blocks while the resolver works.
QList<QByteArray> ResolveBroker(const QString& host, QString* error);

/// The attempts that reach the broker's addresses, in their order. A plain
/// connection goes to each address itself. A TLS connection keeps the host name,
/// which its certificate is checked against, and is held to one family per
/// attempt: it reaches the first address of each family.
QList<ConnectTarget> ConnectTargets(const QString& host, const QList<QByteArray>& addresses, bool tls);

/// host:port for messages, an IPv6 address in brackets: "[::1]:1883".
QString HostAndPort(const QString& host, int port);

} // namespace thermo4::mqtt
