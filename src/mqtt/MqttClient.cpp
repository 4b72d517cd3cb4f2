#include "mqtt/MqttClient.h"

#include "mqtt/BrokerAddresses.h"

#include <mosquitto.h>

#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <optional>

#include <poll.h>
#include <sys/socket.h>

namespace thermo4::mqtt {

namespace {

/// Longest wait of the network loop for its socket while connected, ms.
constexpr int kConnectedLoopWaitMs = 1000;

/// The system's certificate folder: SSL_CERT_DIR's first entry as OpenSSL reads it, else Debian's.
QByteArray SystemCertificateFolder() {
    const QByteArray fromEnvironment = qgetenv("SSL_CERT_DIR");
    return fromEnvironment.isEmpty() ? QByteArrayLiteral("/etc/ssl/certs")
                                     : fromEnvironment.split(':').first();
}

/// Whether error is one a connection attempt ends in.
bool isConnectionError(int error) {
    return error == ECONNREFUSED || error == ECONNRESET || error == ECONNABORTED || error == EHOSTUNREACH ||
           error == ENETUNREACH || error == ETIMEDOUT;
}

/// Why the connection on socket ended before it was up; nothing while it goes on.
/// seen: a connection error the library's calls left in errno, for when it has
/// read the socket's own already.
std::optional<QString> failedConnection(int socket, int seen) {
    pollfd state{socket, POLLOUT, 0};
    if (socket < 0 || ::poll(&state, 1, 0) != 1 || (state.revents & (POLLERR | POLLHUP)) == 0) {
        return std::nullopt;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error == 0) {
        error = seen;
    }
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                      : QStringLiteral("the host refused or dropped the connection");
}

} // namespace

QString MqttClient::errorText(int rc) const {
    if (rc == MOSQ_ERR_ERRNO) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    if (rc == MOSQ_ERR_EAI) {
        return QStringLiteral("host name not found");
    }
    if (rc == MOSQ_ERR_KEEPALIVE) {
        return QStringLiteral("the broker at %1 stopped answering")
            .arg(HostAndPort(m_broker.host, m_broker.port));
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

MqttClient::MqttClient(BrokerUrl broker, ClientOptions options, QObject* parent)
    : QObject(parent), m_broker(std::move(broker)), m_options(options) {}

MqttClient::~MqttClient() {
    // The subclass has stopped the client already; this only catches a missed stop.
    stop();
}

bool MqttClient::start(QString* error) {
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
    mosquitto_connect_callback_set(m_client, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MqttClient::onDisconnect);
    mosquitto_log_callback_set(m_client, &MqttClient::onLog);

    // Publishing from this thread only queues the message and wakes the network thread.
    int rc = mosquitto_threaded_set(m_client, true);
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = prepare(m_client);
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

void MqttClient::runNetwork() {
    // A write to a socket the broker has closed then fails with EPIPE instead of raising SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    // libmosquitto's own loop, supervised: unlike mosquitto_loop_start's thread,
    // which ends for good on a TLS error, this one always tries again.
    const auto shortest = std::chrono::seconds(m_options.reconnectMinS);
    const auto longest = std::chrono::seconds(std::max(m_options.reconnectMaxS, m_options.reconnectMinS));
    auto delay = shortest;
    while (!m_quit.load()) {
        const Attempt attempt = connectOnce();
        if (m_quit.load()) {
            break;
        }
        // No connection: say so once, then wait before the next attempt.
        noteOutage(attempt.reason);
        if (attempt.wasConnected) {
            delay = shortest;
        }
        {
            std::unique_lock lock(m_stateMutex);
            m_changed.wait_for(lock, delay, [this] { return m_quit.load(); });
        }
        delay = std::min(delay * 2, longest);
    }
}

MqttClient::Attempt MqttClient::connectOnce() {
    // The library's own asynchronous connect tries the first address of a name only;
    // a host such as localhost has an IPv6 and an IPv4 address, and the broker may
    // listen on either.
    QString reason;
    const std::optional<QList<QByteArray>> addresses = lookUp(&reason);
    if (!addresses) {
        return {};
    }
    for (const ConnectTarget& target : ConnectTargets(m_broker.host, *addresses, m_broker.tls)) {
        if (m_quit.load() || m_stopping.load()) {
            return {};
        }
        errno = 0;
        const int rc = mosquitto_connect_bind_async(m_client, target.host.constData(), m_broker.port,
                                                    m_options.keepAliveS, target.bind.constData());
        if (rc != MOSQ_ERR_SUCCESS) {
            reason = errorText(rc);
            continue;
        }
        const Attempt attempt = runConnection(isConnectionError(errno) ? errno : 0);
        if (attempt.wasConnected) {
            return attempt;
        }
        reason = attempt.reason;
    }
    return {false, reason};
}

std::optional<QList<QByteArray>> MqttClient::lookUp(QString* error) {
    // On a thread of its own, left to finish by itself when the client stops:
    // stop() never waits for a slow resolver.
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        QList<QByteArray> addresses;
        QString error;
    };
    const auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host = m_broker.host] {
        QString reason;
        QList<QByteArray> addresses = ResolveBroker(host, &reason);
        {
            std::lock_guard lock(lookup->mutex);
            lookup->addresses = std::move(addresses);
            lookup->error = reason;
            lookup->finished = true;
        }
        lookup->done.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    while (!lookup->done.wait_for(lock, std::chrono::milliseconds(kLoopWaitMs),
                                  [&] { return lookup->finished; })) {
        if (m_quit.load() || m_stopping.load()) {
            return std::nullopt;
        }
    }
    *error = lookup->error;
    return lookup->addresses;
}

MqttClient::Attempt MqttClient::runConnection(int seenError) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(m_options.connectTimeoutS);
    m_refusal.clear();
    bool up = false;
    while (!m_quit.load()) {
        // The library takes a TLS connection that the host refused or dropped for one
        // still being made, and spins on it: ask the socket first.
        if (const auto failed = up ? std::nullopt : failedConnection(mosquitto_socket(m_client), seenError)) {
            return {false, *failed};
        }
        // Connected, stop() wakes the loop with its disconnect; while connecting, the
        // short wait bounds how long it waits for the loop.
        const int rc = mosquitto_loop(m_client, up ? kConnectedLoopWaitMs : kLoopWaitMs, 1);
        if (isConnectionError(errno) && seenError == 0) {
            seenError = errno;
        }
        // The callbacks run inside the loop, on this thread.
        up = up || m_connected.load();
        if (rc != MOSQ_ERR_SUCCESS) {
            return {up, !up && !m_refusal.isEmpty() ? m_refusal : errorText(rc)};
        }
        if (!up && !m_refusal.isEmpty()) {
            return {false, m_refusal};
        }
        if (!up && Clock::now() >= deadline) {
            // The next attempt closes this socket.
            return {false, QStringLiteral("the broker at %1 did not answer within %2 s")
                               .arg(HostAndPort(m_broker.host, m_broker.port))
                               .arg(m_options.connectTimeoutS)};
        }
    }
    return {up, {}};
}

void MqttClient::stop() {
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
        beforeDisconnect(m_client);
        mosquitto_disconnect(m_client);
        std::unique_lock lock(m_stateMutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(kStopWaitMs),
                           [this] { return m_cleanlyDisconnected; });
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

void MqttClient::deliverStatus() {
    if (!m_statusWaiting.exchange(false)) {
        return;
    }
    QList<StatusLine> lines;
    {
        std::lock_guard lock(m_statusMutex);
        lines.swap(m_statusLines);
    }
    for (const StatusLine& line : lines) {
        m_lastStatus = {line.text, line.connected};
        emit statusMessage(line.text, line.connected);
    }
}

MqttClient::Status MqttClient::lastStatus() const {
    return m_lastStatus;
}

void MqttClient::report(const QString& text, bool connected) {
    {
        std::lock_guard lock(m_statusMutex);
        m_statusLines.append({text, connected});
        m_statusWaiting = true;
    }
    QMetaObject::invokeMethod(
        this, [this] { deliverStatus(); }, Qt::QueuedConnection);
}

void MqttClient::noteOutage(const QString& reason) {
    if (m_stopping.load() || m_inOutage.exchange(true)) {
        return;
    }
    report(QStringLiteral("MQTT: no connection to %1 (%2); %3")
               .arg(m_broker.displayName(), reason, outageConsequence()),
           false);
}

void MqttClient::onConnect(mosquitto* client, void* self, int rc) {
    MqttClient* const connection = from(self);
    if (rc != 0) {
        connection->m_refusal = QString::fromUtf8(mosquitto_connack_string(rc)).remove(QLatin1Char('.'));
        return;
    }
    {
        std::lock_guard lock(connection->m_stateMutex);
        if (connection->m_stopping.load()) {
            return;
        }
        connection->connected(client);
        connection->m_connected = true;
    }
    const QString where = connection->m_broker.displayName();
    const bool returned = connection->m_everConnected.exchange(true);
    if (!returned) {
        connection->report(QStringLiteral("MQTT: connected to %1").arg(where), true);
    } else if (connection->m_inOutage.load()) {
        connection->report(QStringLiteral("MQTT: connected to %1 again").arg(where), true);
    }
    connection->m_inOutage = false;
}

void MqttClient::onDisconnect(mosquitto* /*client*/, void* self, int rc) {
    // The network thread says why, once it sees the loop end.
    MqttClient* const connection = from(self);
    {
        std::lock_guard lock(connection->m_stateMutex);
        connection->m_connected = false;
        if (rc == MOSQ_ERR_SUCCESS) {
            connection->m_cleanlyDisconnected = true;
        }
    }
    connection->m_changed.notify_all();
}

void MqttClient::onLog(mosquitto* /*client*/, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR || text == nullptr) {
        return;
    }
    // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed": keep the last part.
    QString message = QString::fromUtf8(text);
    if (const qsizetype cut = message.lastIndexOf(QLatin1String("::")); cut >= 0) {
        message = message.mid(cut + 2);
    }
    MqttClient* const connection = from(self);
    std::lock_guard lock(connection->m_statusMutex);
    connection->m_lastLibraryError = message;
}

} // namespace thermo4::mqtt
