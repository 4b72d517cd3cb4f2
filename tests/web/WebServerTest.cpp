#include "web/WebServer.h"
#include "web/EventStream.h"
#include "web/WebTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace thermo4::web {
namespace {

using test::Answer;
using test::Fetch;
using test::kDeadlineMs;
using test::StreamClient;

class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(m_server.listen(HttpAddress{}, &error)) << error.toStdString();
        ASSERT_NE(m_server.port(), 0);
    }

    WebServer m_server;
};

TEST_F(WebServerTest, ServesResourcesAndJsonToGetAndRefusesEveryOtherMethod) {
    m_server.addResource(QStringLiteral("/"), QStringLiteral(":/webtest/page.html"));
    m_server.addJson(QStringLiteral("/api/echo"), [](const QUrlQuery& query) {
        const QString n = query.queryItemValue(QStringLiteral("n"));
        if (n.isEmpty()) {
            return WebServer::Reply{"n is missing", 400};
        }
        return WebServer::Reply{"{\"n\":" + n.toUtf8() + "}"};
    });

    const Answer page = Fetch(m_server.port(), QStringLiteral("/"));
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.type, "text/html; charset=utf-8");
    EXPECT_EQ(page.body, "<!doctype html><title>\xc3\xa9</title>\n");

    const Answer json = Fetch(m_server.port(), QStringLiteral("/api/echo?n=7"));
    EXPECT_EQ(json.status, 200);
    EXPECT_EQ(json.type, "application/json");
    EXPECT_EQ(json.body, "{\"n\":7}");

    const Answer bad = Fetch(m_server.port(), QStringLiteral("/api/echo"));
    EXPECT_EQ(bad.status, 400);
    EXPECT_EQ(bad.body, "n is missing\n");

    EXPECT_EQ(Fetch(m_server.port(), QStringLiteral("/nothing")).status, 404);
    EXPECT_EQ(Fetch(m_server.port(), QStringLiteral("/api/echoes")).status, 404);
    for (const char* method : {"POST", "PUT", "DELETE"}) {
        for (const char* path : {"/", "/api/echo?n=1"}) {
            const Answer refused = Fetch(m_server.port(), QString::fromLatin1(path), method);
            EXPECT_EQ(refused.status, 405) << method << " " << path;
            EXPECT_EQ(refused.allow, "GET");
        }
    }
}

TEST_F(WebServerTest, APortInUseOrAnAddressNotOnThisHostIsOneClearLine) {
    WebServer second;
    QString error;
    EXPECT_FALSE(second.listen(HttpAddress{QHostAddress::LocalHost, m_server.port()}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("127.0.0.1:%1").arg(m_server.port()))) << error.toStdString();
    EXPECT_FALSE(error.contains(QLatin1Char('\n')));
    EXPECT_EQ(second.port(), 0);

    error.clear();
    // TEST-NET-1: never an address of this host.
    EXPECT_FALSE(second.listen(HttpAddress{QHostAddress(QStringLiteral("192.0.2.1")), 0}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("192.0.2.1"))) << error.toStdString();
}

TEST_F(WebServerTest, AnEventStreamStaysOpenPushesToEveryClientAndForgetsThoseThatLeft) {
    EventStream* stream = m_server.addEventStream(QStringLiteral("/api/events"));
    int welcomed = 0;
    stream->setWelcome([&welcomed] { return EventStream::format("hello", QByteArray::number(++welcomed)); });
    stream->setPingInterval(std::chrono::milliseconds(20));

    StreamClient first(m_server.port(), "/api/events");
    StreamClient second(m_server.port(), "/api/events");
    ASSERT_TRUE(first.waitFor("event: hello\ndata: "));
    ASSERT_TRUE(second.waitFor("event: hello\ndata: "));
    EXPECT_TRUE(first.received.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(first.received.contains("Content-Type: text/event-stream"));
    EXPECT_FALSE(first.received.contains("Content-Length"));
    EXPECT_EQ(stream->clientCount(), 2);

    stream->send("reading", R"({"T1":25.3})");
    stream->send({}, "plain");
    for (StreamClient* client : {&first, &second}) {
        ASSERT_TRUE(client->waitFor("event: reading\ndata: {\"T1\":25.3}\n\ndata: plain\n\n"));
        // An idle stream is kept alive by comment lines.
        EXPECT_TRUE(client->waitFor(": ping\n\n"));
        EXPECT_EQ(client->socket.state(), QAbstractSocket::ConnectedState);
    }

    QSignalSpy count(stream, &EventStream::clientCountChanged);
    first.socket.disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stream->clientCount() == 1; }, kDeadlineMs));
    EXPECT_EQ(count.count(), 1);
    stream->send("reading", "2");
    EXPECT_TRUE(second.waitFor("event: reading\ndata: 2\n\n"));
}

} // namespace
} // namespace thermo4::web
