#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QHttpServerResponder;
class QTcpSocket;

namespace thermo4::web {

/// One Server-Sent Events stream: every event sent goes to every client still connected; a client
/// that went away, or that reads too slowly to keep up, is dropped. A comment line every ~15 s keeps
/// idle connections (and proxies) from timing out.
class EventStream : public QObject {
    Q_OBJECT
public:
    /// Bytes a client may fall behind before it is dropped, so a stalled reader cannot grow memory.
    static constexpr qint64 kMaxBacklog = 1 << 20;

    explicit EventStream(QObject* parent = nullptr);
    ~EventStream() override;

    /// "event: NAME\ndata: DATA\n\n" (no event line for an empty name); data must be one line.
    static QByteArray format(const QByteArray& event, const QByteArray& data);

    /// Sends one event to every client.
    void send(const QByteArray& event, const QByteArray& data);
    /// What a client gets first when it connects (formatted events, e.g. the latest state).
    void setWelcome(std::function<QByteArray()> welcome) { m_welcome = std::move(welcome); }
    void setPingInterval(std::chrono::milliseconds interval) { m_ping.setInterval(interval); }
    int clientCount() const { return static_cast<int>(m_clients.size()); }

    /// Takes over a request's responder: writes the stream's headers and keeps the connection open.
    void accept(QHttpServerResponder&& responder);

signals:
    void clientCountChanged(int count);

private:
    struct Client {
        std::unique_ptr<QHttpServerResponder> responder;
        QPointer<QTcpSocket> socket;
    };

    void writeAll(const QByteArray& bytes);
    void drop(QTcpSocket* socket);
    /// Stops the ping when nobody listens and reports a changed count (before: the count before).
    void settle(std::size_t before);

    std::vector<Client> m_clients;
    std::function<QByteArray()> m_welcome;
    QTimer m_ping;
};

} // namespace thermo4::web
