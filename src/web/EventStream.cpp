#include "web/EventStream.h"

#include <QHttpServerResponder>
#include <QTcpSocket>

#include <algorithm>

namespace thermo4::web {

EventStream::EventStream(QObject* parent) : QObject(parent) {
    m_ping.setInterval(std::chrono::seconds(15));
    connect(&m_ping, &QTimer::timeout, this, [this] { writeAll(QByteArrayLiteral(": ping\n\n")); });
}

EventStream::~EventStream() = default;

QByteArray EventStream::format(const QByteArray& event, const QByteArray& data) {
    QByteArray out;
    out.reserve(event.size() + data.size() + 16);
    if (!event.isEmpty()) {
        out += "event: " + event + '\n';
    }
    out += "data: " + data + "\n\n";
    return out;
}

void EventStream::send(const QByteArray& event, const QByteArray& data) {
    writeAll(format(event, data));
}

void EventStream::accept(QHttpServerResponder&& responder) {
    QTcpSocket* socket = responder.socket();
    responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    responder.writeHeaders({{"Content-Type", "text/event-stream; charset=utf-8"},
                            {"Cache-Control", "no-cache"},
                            {"X-Content-Type-Options", "nosniff"}});
    // The browser reconnects this long after the stream breaks (ms).
    QByteArray first = QByteArrayLiteral("retry: 2000\n\n");
    if (m_welcome) {
        first += m_welcome();
    }
    responder.writeBody(first);
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    m_clients.push_back({std::make_unique<QHttpServerResponder>(std::move(responder)), socket});
    if (!m_ping.isActive()) {
        m_ping.start();
    }
    emit clientCountChanged(clientCount());
}

void EventStream::writeAll(const QByteArray& bytes) {
    const auto before = m_clients.size();
    std::vector<QPointer<QTcpSocket>> stalled;
    std::erase_if(m_clients, [&bytes, &stalled](Client& client) {
        if (!client.socket || client.socket->state() != QAbstractSocket::ConnectedState) {
            return true;
        }
        if (client.socket->bytesToWrite() > kMaxBacklog) {
            stalled.push_back(client.socket);
            return true;
        }
        client.responder->writeBody(bytes);
        return false;
    });
    // Closed only now: closing may emit disconnected, which drop() handles, while m_clients is whole.
    for (const QPointer<QTcpSocket>& socket : stalled) {
        if (socket) {
            socket->disconnectFromHost();
        }
    }
    settle(before);
}

void EventStream::drop(QTcpSocket* socket) {
    const auto before = m_clients.size();
    std::erase_if(m_clients, [socket](const Client& client) { return client.socket == socket; });
    settle(before);
}

void EventStream::settle(std::size_t before) {
    if (m_clients.empty()) {
        m_ping.stop();
    }
    if (m_clients.size() != before) {
        emit clientCountChanged(clientCount());
    }
}

} // namespace thermo4::web
