#pragma once

#include "web/HttpAddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrlQuery>

#include <functional>
#include <memory>

class QHttpServer;

namespace thermo4::web {

class EventStream;

/// The read-only web pages over QHttpServer: resource files, JSON routes and Server-Sent Events
/// streams, GET only (anything else is 405).
class WebServer : public QObject {
    Q_OBJECT
public:
    /// What a JSON route answers.
    struct Reply {
        QByteArray body;
        /// 400 with a one-line message in body (sent as text) for a bad query.
        int status = 200;
    };
    using JsonHandler = std::function<Reply(const QUrlQuery& query)>;

    explicit WebServer(QObject* parent = nullptr);
    ~WebServer() override;

    /// Starts listening; false with one line in error for a port in use or an address not on this host.
    bool listen(const HttpAddress& address, QString* error);
    /// The address listened on, with the port the system chose for port 0; port 0 before listen.
    const HttpAddress& address() const { return m_address; }
    /// The port listened on (the chosen one for port 0); 0 before listen.
    quint16 port() const { return m_address.port; }

    /// Serves the Qt resource file (e.g. ":/web/live.html") at path, typed by its suffix.
    void addResource(const QString& path, const QString& resourceFile);
    /// Serves handler's answer at path as application/json.
    void addJson(const QString& path, JsonHandler handler);
    /// A Server-Sent Events stream at path, owned by the server.
    EventStream* addEventStream(const QString& path);

private:
    std::unique_ptr<QHttpServer> m_http;
    HttpAddress m_address;
};

} // namespace thermo4::web
