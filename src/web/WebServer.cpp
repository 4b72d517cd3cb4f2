#include "web/WebServer.h"

#include "web/EventStream.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QTcpServer>

namespace thermo4::web {

namespace {

using Status = QHttpServerResponder::StatusCode;

QHttpServerResponse textResponse(Status status, const QByteArray& text) {
    QHttpServerResponse response(QByteArrayLiteral("text/plain; charset=utf-8"), text + '\n', status);
    response.addHeader("X-Content-Type-Options", "nosniff");
    return response;
}

/// The content type of a page resource by its suffix: the pages are HTML, scripts and styles.
QByteArray contentType(const QString& fileName) {
    static const std::pair<QLatin1String, const char*> kTypes[] = {
        {QLatin1String("html"), "text/html; charset=utf-8"},
        {QLatin1String("js"), "text/javascript; charset=utf-8"},
        {QLatin1String("css"), "text/css; charset=utf-8"},
    };
    const QString suffix = fileName.section(QLatin1Char('.'), -1).toLower();
    for (const auto& [known, type] : kTypes) {
        if (suffix == known) {
            return QByteArray(type);
        }
    }
    return QByteArrayLiteral("application/octet-stream");
}

} // namespace

WebServer::WebServer(QObject* parent) : QObject(parent), m_http(std::make_unique<QHttpServer>()) {
    m_http->setMissingHandler([](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        if (request.method() == QHttpServerRequest::Method::Get) {
            responder.write(QByteArrayLiteral("Not found\n"), QByteArrayLiteral("text/plain; charset=utf-8"),
                            Status::NotFound);
            return;
        }
        // The pages only show what the program knows: nothing can be changed over HTTP.
        responder.write(QByteArrayLiteral("Method not allowed: the pages are read-only\n"),
                        {{"Content-Type", "text/plain; charset=utf-8"}, {"Allow", "GET"}},
                        Status::MethodNotAllowed);
    });
}

WebServer::~WebServer() {
    // The streams hold responders of sockets that the HTTP server owns: they go first.
    qDeleteAll(findChildren<EventStream*>(QString(), Qt::FindDirectChildrenOnly));
}

bool WebServer::listen(const HttpAddress& address, QString* error) {
    auto tcp = std::make_unique<QTcpServer>();
    if (!tcp->listen(address.address, address.port)) {
        if (error) {
            *error =
                QStringLiteral("cannot serve the web page on %1: %2").arg(address.text(), tcp->errorString());
        }
        return false;
    }
    m_address = address;
    m_address.port = tcp->serverPort();
    m_http->bind(tcp.release());
    return true;
}

void WebServer::addResource(const QString& path, const QString& resourceFile) {
    m_http->route(path, QHttpServerRequest::Method::Get, [resourceFile]() {
        QFile file(resourceFile);
        if (!file.open(QIODevice::ReadOnly)) {
            return textResponse(Status::InternalServerError,
                                "Missing page resource " + resourceFile.toUtf8());
        }
        QHttpServerResponse response(contentType(resourceFile), file.readAll());
        // Everything the page uses comes from this server; the browser refuses anything else.
        response.addHeader("Content-Security-Policy", "default-src 'self'; img-src 'self' data:");
        response.addHeader("X-Content-Type-Options", "nosniff");
        response.addHeader("Cache-Control", "no-cache");
        return response;
    });
}

void WebServer::addJson(const QString& path, JsonHandler handler) {
    m_http->route(path, QHttpServerRequest::Method::Get,
                  [handler = std::move(handler)](const QHttpServerRequest& request) {
                      const Reply reply = handler(request.query());
                      if (reply.status != 200) {
                          return textResponse(static_cast<Status>(reply.status), reply.body);
                      }
                      QHttpServerResponse response(QByteArrayLiteral("application/json"), reply.body);
                      response.addHeader("Cache-Control", "no-cache");
                      response.addHeader("X-Content-Type-Options", "nosniff");
                      return response;
                  });
}

EventStream* WebServer::addEventStream(const QString& path) {
    auto* stream = new EventStream(this);
    m_http->route(path, QHttpServerRequest::Method::Get,
                  [stream](const QHttpServerRequest&, QHttpServerResponder&& responder) {
                      stream->accept(std::move(responder));
                  });
    return stream;
}

} // namespace thermo4::web
