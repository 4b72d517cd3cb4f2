#include "mqtt/MqttPublisher.h"

#include <mosquitto.h>

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace thermo4::mqtt {

namespace {

constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";
constexpr int kQosAtLeastOnce = 1;
/// How long stop() waits for the broker to take the "offline" and the disconnect.
constexpr auto kStopWait = std::chrono::seconds(2);
/// Longest wait of the network loop for its socket, ms: bounds how long stop()
/// waits for a connection attempt in progress.
constexpr int kLoopWaitMs = 500;

/// The system's certificate folder: SSL_CERT_DIR's first entry as OpenSSL reads it, else Debian's.
QByteArray SystemCertificateFolder() {
    const QByteArray fromEnvironment = qgetenv("SSL_CERT_DIR");
    return fromEnvironment.isEmpty() ? QByteArrayLiteral("/etc/ssl/certs")
                                     : fromEnvironment.split(':').first();
}

int messageSize(const QByteArray& bytes) {
    return static_cast<int>(bytes.size());
}

} // namespace

QString MqttPublisher::errorText(int rc) const {
    if (rc == MOSQ_ERR_ERRNO) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    if (rc == MOSQ_ERR_EAI) {
        return QStringLiteral("host name not found");
    }
    QString text = QString::fromUtf8(mosquitto_strerror(rc)).remove(QLatin1Char('.'));
    if (rc == MOSQ_ERR_TLS) {
        std::lock_guard lock(m_statusMutex);
        if (!m_lastLibraryError.isEmpty()) {
            text += QStringLiteral(": ") + m_lastLibraryError;
        }
    }
    return text;
}

MqttPublisher::MqttPublisher(BrokerUrl broker, PublisherOptions options, QObject* parent)
    : QObject(parent), m_broker(std::move(broker)), m_options(options),
      m_statusTopic(m_broker.topic(QStringLiteral("status")).toUtf8()),
      m_liveTopic(m_broker.topic(QStringLiteral("live")).toUtf8()),
      m_recordingTopic(m_broker.topic(QStringLiteral("recording")).toUtf8()) {}

MqttPublisher::~MqttPublisher() {
    stop();
}

bool MqttPublisher::start(QString* error) {
    if (m_client != nullptr) {
        return true;
    }
    static std::once_flag libraryReady;
    std::call_once(libraryReady, [] { mosquitto_lib_init(); });

    auto fail = [&](const QString& reason) {
        if (error != nullptr) {
            *error = QStringLiteral("MQTT client for %1: %2").arg(m_broker.displayName(), reason);
        }
        if (m_client != nullptr) {
            mosquitto_destroy(m_client);
            m_client = nullptr;
        }
        return false;
    };

    // mosquitto_new sets SIGPIPE to ignored for the whole process; the program
    // keeps its own disposition (a closed stdout pipe still ends thermo4-cli),
    // and the network thread blocks the signal instead (runNetwork).
    struct sigaction previous {};
    sigaction(SIGPIPE, nullptr, &previous);
    m_client = mosquitto_new(nullptr, true, this);
    sigaction(SIGPIPE, &previous, nullptr);
    if (m_client == nullptr) {
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    mosquitto_connect_callback_set(m_client, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(m_client, &MqttPublisher::onPublish);
    mosquitto_log_callback_set(m_client, &MqttPublisher::onLog);

    // Publishing from this thread only queues the message and wakes the network thread.
    int rc = mosquitto_threaded_set(m_client, true);
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_will_set(m_client, m_statusTopic.constData(), static_cast<int>(std::strlen(kOffline)),
                                kOffline, kQosAtLeastOnce, true);
    }
    if (rc == MOSQ_ERR_SUCCESS && !m_broker.user.isEmpty()) {
        const QByteArray user = m_broker.user.toUtf8();
        const QByteArray password = m_broker.password.toUtf8();
        rc = mosquitto_username_pw_set(m_client, user.constData(),
                                       password.isEmpty() ? nullptr : password.constData());
    }
    if (rc == MOSQ_ERR_SUCCESS && m_broker.tls) {
        rc = mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        // The system's authorities alone serve the first connection only: the
        // library refuses to set TLS up again on reconnection without a CA path.
        if (rc == MOSQ_ERR_SUCCESS) {
            rc = mosquitto_tls_set(m_client, nullptr, SystemCertificateFolder().constData(), nullptr, nullptr,
                                   nullptr);
        }
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        return fail(errorText(rc));
    }
    m_stopping = false;
    m_quit = false;
    m_inOutage = false;
    m_everConnected = false;
    m_network = std::thread([this] { runNetwork(); });
    return true;
}

void MqttPublisher::runNetwork() {
    // A write to a socket the broker has closed then fails with EPIPE instead of raising SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    // libmosquitto's own loop, supervised: unlike mosquitto_loop_start's thread,
    // which ends for good on a TLS error, this one always tries again.
    const QByteArray host = m_broker.host.toUtf8();
    int rc = mosquitto_connect_async(m_client, host.constData(), m_broker.port, m_options.keepAliveS);
    auto delay = std::chrono::seconds(m_options.reconnectMinS);
    while (!m_quit.load()) {
        if (rc == MOSQ_ERR_SUCCESS) {
            rc = mosquitto_loop(m_client, kLoopWaitMs, 1);
            if (rc == MOSQ_ERR_SUCCESS) {
                continue;
            }
        }
        // No connection: say so once, then wait before the next attempt.
        if (!m_stopping.load()) {
            noteOutage(errorText(rc));
        }
        if (m_connectedSinceWait.exchange(false)) {
            delay = std::chrono::seconds(m_options.reconnectMinS);
        }
        {
            std::unique_lock lock(m_stateMutex);
            m_changed.wait_for(lock, delay, [this] { return m_quit.load(); });
        }
        if (m_quit.load() || m_stopping.load()) {
            continue;
        }
        delay = std::min(delay * 2,
                         std::chrono::seconds(std::max(m_options.reconnectMaxS, m_options.reconnectMinS)));
        rc = mosquitto_reconnect_async(m_client);
    }
}

void MqttPublisher::stop() {
    if (m_client == nullptr) {
        return;
    }
    bool wasConnected = false;
    {
        std::lock_guard lock(m_stateMutex);
        m_stopping = true;
        wasConnected = m_connected.load();
    }
    if (wasConnected) {
        // QoS 0 goes out ahead of the DISCONNECT queued next; should the
        // connection fail before, the broker sends the will, which says the same.
        mosquitto_publish(m_client, nullptr, m_statusTopic.constData(),
                          static_cast<int>(std::strlen(kOffline)), kOffline, 0, true);
        mosquitto_disconnect(m_client);
        std::unique_lock lock(m_stateMutex);
        m_changed.wait_for(lock, kStopWait, [this] { return m_cleanlyDisconnected; });
    }
    {
        std::lock_guard lock(m_stateMutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_network.join();
    mosquitto_destroy(m_client);
    m_client = nullptr;
    m_connected = false;
    m_cleanlyDisconnected = false;
    deliverStatus();
}

bool MqttPublisher::publishLive(const QDateTime& time, const core::MeterStatus& status) {
    deliverStatus();
    if (m_client == nullptr || !m_connected.load()) {
        ++m_dropped;
        return false;
    }
    return publish(m_liveTopic, ReadingJson(time, status, m_meter));
}

bool MqttPublisher::publishRecording(int sample, const QDateTime& time, const core::MeterStatus& status) {
    deliverStatus();
    if (m_client == nullptr || !m_connected.load()) {
        ++m_dropped;
        return false;
    }
    return publish(m_recordingTopic, ReadingJson(time, status, m_meter, sample));
}

bool MqttPublisher::publish(const QByteArray& topic, const QByteArray& payload) {
    if (m_pending.fetch_add(1) >= m_options.maxPending) {
        --m_pending;
        ++m_dropped;
        return false;
    }
    const int rc = mosquitto_publish(m_client, nullptr, topic.constData(), messageSize(payload),
                                     payload.constData(), kQosAtLeastOnce, false);
    if (rc != MOSQ_ERR_SUCCESS) {
        --m_pending;
        ++m_dropped;
        return false;
    }
    return true;
}

void MqttPublisher::deliverStatus() {
    if (!m_statusWaiting.exchange(false)) {
        return;
    }
    QList<StatusLine> lines;
    {
        std::lock_guard lock(m_statusMutex);
        lines.swap(m_statusLines);
    }
    for (const StatusLine& line : lines) {
        emit statusMessage(line.text, line.connected);
    }
}

void MqttPublisher::report(const QString& text, bool connected) {
    {
        std::lock_guard lock(m_statusMutex);
        m_statusLines.append({text, connected});
        m_statusWaiting = true;
    }
    QMetaObject::invokeMethod(
        this, [this] { deliverStatus(); }, Qt::QueuedConnection);
}

void MqttPublisher::noteOutage(const QString& reason) {
    if (m_stopping.load() || m_inOutage.exchange(true)) {
        return;
    }
    report(QStringLiteral("MQTT: no connection to %1 (%2); readings are dropped until it is back")
               .arg(m_broker.displayName(), reason),
           false);
}

void MqttPublisher::onConnect(mosquitto* client, void* self, int rc) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    if (rc != 0) {
        publisher->noteOutage(QString::fromUtf8(mosquitto_connack_string(rc)).remove(QLatin1Char('.')));
        return;
    }
    {
        std::lock_guard lock(publisher->m_stateMutex);
        if (publisher->m_stopping.load()) {
            return;
        }
        // Whatever was unacknowledged before is the library's to resend now.
        publisher->m_pending = 0;
        if (mosquitto_publish(client, nullptr, publisher->m_statusTopic.constData(),
                              static_cast<int>(std::strlen(kOnline)), kOnline, kQosAtLeastOnce,
                              true) == MOSQ_ERR_SUCCESS) {
            ++publisher->m_pending;
        }
        publisher->m_connected = true;
        publisher->m_connectedSinceWait = true;
    }
    const QString where = publisher->m_broker.displayName();
    if (publisher->m_inOutage.exchange(false)) {
        publisher->report(QStringLiteral("MQTT: connected to %1 again").arg(where), true);
    } else if (!publisher->m_everConnected.load()) {
        publisher->report(QStringLiteral("MQTT: publishing to %1").arg(where), true);
    }
    publisher->m_everConnected = true;
}

void MqttPublisher::onDisconnect(mosquitto* /*client*/, void* self, int rc) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    {
        std::lock_guard lock(publisher->m_stateMutex);
        publisher->m_connected = false;
        if (rc == MOSQ_ERR_SUCCESS) {
            publisher->m_cleanlyDisconnected = true;
        }
    }
    publisher->m_changed.notify_all();
    if (rc != MOSQ_ERR_SUCCESS) {
        publisher->noteOutage(publisher->errorText(rc));
    }
}

void MqttPublisher::onLog(mosquitto* /*client*/, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR || text == nullptr) {
        return;
    }
    // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed": keep the last part.
    QString message = QString::fromUtf8(text);
    if (const qsizetype cut = message.lastIndexOf(QLatin1String("::")); cut >= 0) {
        message = message.mid(cut + 2);
    }
    auto* publisher = static_cast<MqttPublisher*>(self);
    std::lock_guard lock(publisher->m_statusMutex);
    publisher->m_lastLibraryError = message;
}

void MqttPublisher::onPublish(mosquitto* /*client*/, void* self, int /*mid*/) {
    auto& pending = static_cast<MqttPublisher*>(self)->m_pending;
    int now = pending.load();
    while (now > 0 && !pending.compare_exchange_weak(now, now - 1)) {
    }
}

} // namespace thermo4::mqtt
