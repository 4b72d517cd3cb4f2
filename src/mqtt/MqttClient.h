#pragma once

#include "mqtt/BrokerUrl.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

struct mosquitto;

namespace thermo4::mqtt {

/// Tuning of a broker connection; the defaults suit a broker on the local network.
struct ClientOptions {
    /// MQTT keep-alive, s: a silent connection counts as lost after 1.5 times this.
    int keepAliveS = 30;
    /// Longest wait, s, for one address of the broker to take the connection and
    /// answer it; then the next address is tried.
    int connectTimeoutS = 10;
    /// Wait before the first reconnection attempt, s; doubles up to reconnectMaxS,
    /// and starts again from here after a successful connection.
    unsigned reconnectMinS = 1;
    unsigned reconnectMaxS = 30;
};

/// One connection to an MQTT broker kept up in the background, the common part of
/// the publisher and the subscriber: user and password, TLS against the system's
/// certificate authorities, and a network thread running libmosquitto's loop that
/// does all network work (host look-up, connection, TLS). Each connection attempt
/// tries the broker's addresses in turn (IPv6 and IPv4), each for at most
/// connectTimeoutS; a lost connection is tried again with back-off, and
/// statusMessage says so once per outage. A subclass sets up its callbacks and
/// will in prepare(), acts on each accepted connection in connected(), and calls
/// stop() in its own destructor (the hooks are virtual).
/// Use it from one thread (the one that owns it); statusMessage arrives there.
class MqttClient : public QObject {
    Q_OBJECT
public:
    explicit MqttClient(BrokerUrl broker, ClientOptions options, QObject* parent = nullptr);
    ~MqttClient() override;
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    const BrokerUrl& broker() const { return m_broker; }

    /// Starts connecting in the background and returns at once (the host name is
    /// looked up off this thread too). False, with the reason in error, only when
    /// the client cannot be set up at all; a broker that cannot be reached is not
    /// an error here but a statusMessage. Calling it again does nothing.
    bool start(QString* error = nullptr);
    /// Disconnects (after beforeDisconnect) and ends the network thread; waits at
    /// most kStopWaitMs for the broker and returns within about kLoopWaitMs more,
    /// whatever the broker does. Safe to call more than once.
    void stop();

    /// What stop() waits at most for the broker to take the disconnect, ms.
    static constexpr int kStopWaitMs = 100;
    /// Longest wait of the network loop for its socket, ms: bounds how long stop()
    /// waits for a connection attempt in progress.
    static constexpr int kLoopWaitMs = 50;

    /// Whether the broker has accepted the connection and not lost it since.
    bool isConnected() const { return m_connected.load(); }

    /// Emits the statusMessage lines that the network thread left, now. The
    /// event loop does it too (and the publisher's calls, for callers such as
    /// thermo4-cli live that run no event loop).
    void deliverStatus();

    /// The last line statusMessage emitted; empty text before the first.
    struct Status {
        QString text;
        bool connected = false;
    };
    Status lastStatus() const;

signals:
    /// One line when the connection is first up ("connected to …"), once per
    /// outage from the first failed attempt on (the broker cannot be reached,
    /// does not answer or went away), and when it is back ("connected to …
    /// again"); connected says which. Emitted on the client's thread.
    void statusMessage(const QString& text, bool connected);

protected:
    /// Sets the new client up (its callbacks, its will) before the first connection;
    /// the connection, disconnection and log callbacks are the base's. A libmosquitto result.
    virtual int prepare(mosquitto* client) = 0;
    /// The broker accepted a connection: on the network thread, with the state lock held.
    virtual void connected(mosquitto* client) = 0;
    /// stop() is about to disconnect a connection that is up.
    virtual void beforeDisconnect(mosquitto* /*client*/) {}
    /// What an outage means to this client, the end of its outage line
    /// ("readings are dropped until it is back").
    virtual QString outageConsequence() const = 0;

    /// The library's client between start() and stop(), else null.
    mosquitto* client() const { return m_client; }
    /// Guards what connected() and the owner's thread share.
    std::mutex& stateMutex() { return m_stateMutex; }
    /// The reason behind a libmosquitto result, read right after the call.
    QString errorText(int rc) const;

    /// The client that the library's callback with this userdata belongs to.
    static MqttClient* from(void* userdata) { return static_cast<MqttClient*>(userdata); }

private:
    /// How one connection to one address ended.
    struct Attempt {
        bool wasConnected = false;
        QString reason;
    };

    void runNetwork();
    /// Looks the broker up and tries its addresses until one connection is up and
    /// ends again, every address failed, or the thread is to end.
    Attempt connectOnce();
    /// The broker's addresses, or nothing when the client stops meanwhile;
    /// empty with the reason in error when the name cannot be resolved.
    std::optional<QList<QByteArray>> lookUp(QString* error);
    /// Runs the library's loop on the connection just started; seenError: a
    /// connection error (errno) its start left, 0 for none.
    Attempt runConnection(int seenError);
    void report(const QString& text, bool connected);
    void noteOutage(const QString& reason);

    static void onConnect(mosquitto* client, void* self, int rc);
    static void onDisconnect(mosquitto* client, void* self, int rc);
    static void onLog(mosquitto* client, void* self, int level, const char* text);

    const BrokerUrl m_broker;
    const ClientOptions m_options;
    mosquitto* m_client = nullptr;
    std::thread m_network;

    std::atomic<bool> m_connected{false};
    /// stop() has begun: no more reconnection attempts or outage lines.
    std::atomic<bool> m_stopping{false};
    /// The network thread is to end.
    std::atomic<bool> m_quit{false};
    /// Why the broker refused the connection in its answer; empty without one (network thread).
    QString m_refusal;
    // Network-thread bookkeeping of the outage messages.
    std::atomic<bool> m_everConnected{false};
    std::atomic<bool> m_inOutage{false};

    // Guards the connected/stopping hand-over between stop(), the callbacks and
    // the network thread's waits.
    std::mutex m_stateMutex;
    std::condition_variable m_changed;
    bool m_cleanlyDisconnected = false;

    mutable std::mutex m_statusMutex;
    /// Last error line of the library's log (the TLS reason behind MOSQ_ERR_TLS).
    QString m_lastLibraryError;
    struct StatusLine {
        QString text;
        bool connected;
    };
    QList<StatusLine> m_statusLines;
    std::atomic<bool> m_statusWaiting{false};
    Status m_lastStatus;
};

} // namespace thermo4::mqtt
