#include "MqttTestSupport.h"

#include <mosquitto.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace thermo4::mqtt::test {

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool MakeTestCertificates(const QString& folder) {
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty()) {
        return false;
    }
    const auto run = [&](const QStringList& args) {
        QProcess process;
        process.setWorkingDirectory(folder);
        process.start(openssl, args);
        return process.waitForFinished(static_cast<int>(kDeadline.count())) &&
               process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    };
    QFile extensions(folder + QStringLiteral("/server.ext"));
    if (!extensions.open(QIODevice::WriteOnly)) {
        return false;
    }
    extensions.write("subjectAltName=DNS:localhost\n");
    extensions.close();
    // Elliptic-curve keys: made in milliseconds, unlike RSA.
    const QStringList newKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    return run(QStringList{"req", "-x509"} + newKey +
               QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj",
                           "/CN=thermo4 test CA"}) &&
           run(QStringList{"req"} + newKey +
               QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost"}) &&
           run({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                "-out", "server.pem", "-days", "2", "-extfile", "server.ext"});
}

QString TestBroker::program() {
    return QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                                           QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin")});
}

TestBroker::TestBroker(QString extraConfig) : m_extraConfig(std::move(extraConfig)) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

TestBroker::~TestBroker() {
    stop();
}

bool TestBroker::start(int port) {
    const bool anyPort = port == 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = anyPort ? FreePort() : port;
        QFile config(path(QStringLiteral("mosquitto.conf")));
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        QString text = QStringLiteral("listener %1 127.0.0.1\npersistence false\n").arg(m_port);
        if (!m_extraConfig.contains(QLatin1String("allow_anonymous"))) {
            text += QStringLiteral("allow_anonymous true\n");
        }
        if (::geteuid() == 0) {
            // Started as root the broker would become user "mosquitto", which cannot read the private folder.
            text += QStringLiteral("user root\n");
        }
        config.write((text + m_extraConfig + QLatin1Char('\n')).toUtf8());
        config.close();

        m_log.clear();
        m_process.start(program(), {QStringLiteral("-c"), config.fileName()});
        if (!m_process.waitForStarted(static_cast<int>(kDeadline.count()))) {
            return false;
        }
        const QDeadlineTimer deadline(kDeadline);
        while (!m_log.contains(" running") && m_process.state() == QProcess::Running &&
               !deadline.hasExpired()) {
            m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
            m_log += m_process.readAll();
        }
        if (m_log.contains(" running")) {
            return true;
        }
        stop();
        if (!anyPort || !m_log.contains("in use")) {
            return false;
        }
    }
    return false;
}

void TestBroker::stop() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    resume();
    m_process.terminate();
    if (!m_process.waitForFinished(static_cast<int>(kDeadline.count()))) {
        m_process.kill();
        m_process.waitForFinished();
    }
    m_log += m_process.readAll();
}

void TestBroker::pause() {
    ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP);
}

void TestBroker::resume() {
    ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT);
}

QString TestBroker::url(const QString& baseTopic) const {
    return QStringLiteral("mqtt://127.0.0.1:%1/%2").arg(m_port).arg(baseTopic);
}

TestSubscriber::TestSubscriber(int port, QString topicFilter, QString user, QString password)
    : m_port(port), m_filter(topicFilter.toUtf8()) {
    mosquitto_lib_init();
    m_client = mosquitto_new(nullptr, true, this);
    if (!user.isEmpty()) {
        mosquitto_username_pw_set(m_client, user.toUtf8().constData(), password.toUtf8().constData());
    }
    mosquitto_reconnect_delay_set(m_client, 1, 1, false);
    mosquitto_connect_callback_set(m_client, &TestSubscriber::onConnect);
    mosquitto_subscribe_callback_set(m_client, &TestSubscriber::onSubscribe);
    mosquitto_message_callback_set(m_client, &TestSubscriber::onMessage);
}

TestSubscriber::~TestSubscriber() {
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, true);
    mosquitto_destroy(m_client);
}

bool TestSubscriber::connect() {
    if (mosquitto_connect(m_client, "127.0.0.1", m_port, 5) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(m_client) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    return waitForSubscriptions(1);
}

bool TestSubscriber::waitForSubscriptions(int count) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, kDeadline, [&] { return m_subscriptions >= count; });
}

std::optional<std::pair<Received, int>>
TestSubscriber::waitFor(const QString& topic, const std::function<bool(const Received&)>& accept, int from) {
    std::optional<std::pair<Received, int>> found;
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, kDeadline, [&] {
        for (int i = from; i < m_received.size(); ++i) {
            const Received& message = m_received[i];
            if (message.topic == topic && (!accept || accept(message))) {
                found = {message, i};
                return true;
            }
        }
        return false;
    });
    return found;
}

QList<Received> TestSubscriber::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

void TestSubscriber::onConnect(mosquitto* client, void* self, int rc) {
    if (rc == 0) {
        mosquitto_subscribe(client, nullptr, static_cast<TestSubscriber*>(self)->m_filter.constData(), 1);
    }
}

void TestSubscriber::onSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* subscriber = static_cast<TestSubscriber*>(self);
    {
        std::lock_guard lock(subscriber->m_mutex);
        ++subscriber->m_subscriptions;
    }
    subscriber->m_changed.notify_all();
}

void TestSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<TestSubscriber*>(self);
    Received received{QString::fromUtf8(message->topic),
                      QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                      message->retain};
    {
        std::lock_guard lock(subscriber->m_mutex);
        subscriber->m_received.append(received);
    }
    subscriber->m_changed.notify_all();
}

} // namespace thermo4::mqtt::test
