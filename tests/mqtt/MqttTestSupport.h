#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

struct mosquitto;
struct mosquitto_message;

namespace thermo4::mqtt::test {

/// Generous bound on every wait for a real event: the build machine is shared and loaded.
inline constexpr std::chrono::milliseconds kDeadline{30000};

/// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreePort();

/// Writes ca.pem, server.pem and server.key into folder: a certificate
/// authority and a server certificate for localhost signed by it. False when
/// openssl is missing or fails.
bool MakeTestCertificates(const QString& folder);

/// A mosquitto broker on 127.0.0.1, its configuration in a temporary folder.
class TestBroker {
public:
    /// The broker program, empty when it is not installed.
    static QString program();

    /// extraConfig lines go after the listener; without an allow_anonymous line
    /// of their own, anonymous clients are allowed.
    explicit TestBroker(QString extraConfig = {});
    ~TestBroker();
    TestBroker(const TestBroker&) = delete;
    TestBroker& operator=(const TestBroker&) = delete;

    /// Starts on port (0: a free one) and waits until the broker says it runs.
    bool start(int port = 0);
    /// Ends the broker (SIGTERM) and waits for it.
    void stop();
    /// Freezes the broker (SIGSTOP): connections stay up, nothing is answered.
    void pause();
    /// Lets a paused broker go on (SIGCONT).
    void resume();

    int port() const { return m_port; }
    QString url(const QString& baseTopic) const;
    /// A file path in the broker's temporary folder.
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString log() const { return QString::fromUtf8(m_log); }

private:
    QString m_extraConfig;
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_log;
    int m_port = 0;
};

/// One message as a subscriber received it.
struct Received {
    QString topic;
    QByteArray payload;
    bool retained = false;
};

/// A subscriber on its own libmosquitto network thread that keeps everything it
/// receives; it subscribes again after each reconnection.
class TestSubscriber {
public:
    TestSubscriber(int port, QString topicFilter, QString user = {}, QString password = {});
    ~TestSubscriber();
    TestSubscriber(const TestSubscriber&) = delete;
    TestSubscriber& operator=(const TestSubscriber&) = delete;

    /// Connects and waits until the broker confirms the subscription.
    bool connect();
    /// Waits until the broker has confirmed count subscriptions in all (one per connection).
    bool waitForSubscriptions(int count);
    /// Waits for a message on topic, among those from index from on, that accept
    /// takes (any without accept); returns it and its index.
    std::optional<std::pair<Received, int>>
    waitFor(const QString& topic, const std::function<bool(const Received&)>& accept = {}, int from = 0);
    /// Everything received so far.
    QList<Received> received() const;

private:
    static void onConnect(mosquitto* client, void* self, int rc);
    static void onSubscribe(mosquitto* client, void* self, int mid, int count, const int* granted);
    static void onMessage(mosquitto* client, void* self, const mosquitto_message* message);

    int m_port;
    QByteArray m_filter;
    mosquitto* m_client = nullptr;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QList<Received> m_received;
    int m_subscriptions = 0;
};

} // namespace thermo4::mqtt::test
