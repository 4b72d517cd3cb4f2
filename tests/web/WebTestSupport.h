#pragma once

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

namespace thermo4::web::test {

constexpr int kDeadlineMs = 10000;

struct Answer {
    int status = 0;
    QByteArray type;
    QByteArray allow;
    QByteArray body;
};

/// One request from a real HTTP client, waited for on its finished signal.
inline Answer Fetch(quint16 port, const QString& target, const QByteArray& method = "GET") {
    QNetworkAccessManager manager;
    const QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(target)));
    QNetworkReply* reply = manager.sendCustomRequest(request, method);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    EXPECT_TRUE(finished.wait(kDeadlineMs)) << target.toStdString();
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                  reply->rawHeader("Content-Type"), reply->rawHeader("Allow"), reply->readAll()};
    reply->deleteLater();
    return answer;
}

/// A raw client of an event stream: the bytes it received so far.
struct StreamClient {
    QTcpSocket socket;
    QByteArray received;

    StreamClient(quint16 port, const QByteArray& path) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n\r\n");
    }
    bool waitFor(const QByteArray& text) {
        return QTest::qWaitFor([&] { return received.contains(text); }, kDeadlineMs);
    }
};

} // namespace thermo4::web::test
