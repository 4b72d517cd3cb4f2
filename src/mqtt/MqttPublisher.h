#pragma once

#include "core/MeterStatus.h"
#include "mqtt/BrokerUrl.h"
#include "mqtt/ReadingJson.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

struct mosquitto;

namespace thermo4::mqtt {

/// Tuning of a publisher; the defaults suit a broker on the local network.
struct PublisherOptions {
    /// MQTT keep-alive, s: a silent connection counts as lost after 1.5 times this.
    int keepAliveS = 30;
    /// Longest wait, s, for one address of the broker to take the connection and
    /// answer it; then the next address is tried.
    int connectTimeoutS = 10;
    /// Wait before the first reconnection attempt, s; doubles up to reconnectMaxS,
    /// and starts again from here after a successful connection.
    unsigned reconnectMinS = 1;
    unsigned reconnectMaxS = 30;
    /// Messages handed over and not yet acknowledged by the broker beyond which
    /// readings are dropped instead of queued.
    int maxPending = 100;
};

/// Publishes live readings and recorded samples to an MQTT broker as JSON
/// (BASE/live, BASE/recording) and the program's presence as a retained
/// "online"/"offline" (BASE/status, "offline" also as the last will).
/// A network thread running libmosquitto's loop does all network work (host
/// look-up, connection, TLS), so the publish calls return at once: while the
/// broker is away readings are dropped, the client reconnects with back-off,
/// and statusMessage says so once per outage. Each connection attempt tries the
/// broker's addresses in turn (IPv6 and IPv4), each for at most connectTimeoutS.
/// Use it from one thread (the one that owns it); statusMessage arrives there.
class MqttPublisher : public QObject {
    Q_OBJECT
public:
    explicit MqttPublisher(BrokerUrl broker, PublisherOptions options = {}, QObject* parent = nullptr);
    /// Calls stop().
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    const BrokerUrl& broker() const { return m_broker; }

    /// Starts connecting in the background and returns at once (the host name is
    /// looked up off this thread too). False, with the reason in error, only when
    /// the client cannot be set up at all; a broker that cannot be reached is not
    /// an error here but a statusMessage. Calling it again does nothing.
    bool start(QString* error = nullptr);
    /// Publishes the retained "offline", disconnects and ends the network thread;
    /// waits at most kStopWaitMs for the broker (the last will says "offline" when
    /// the broker did not take it) and returns within about kLoopWaitMs more,
    /// whatever the broker does. Safe to call more than once.
    void stop();

    /// What stop() waits at most for the broker to take "offline" and the disconnect, ms.
    static constexpr int kStopWaitMs = 100;
    /// Longest wait of the network loop for its socket, ms: bounds how long stop()
    /// waits for a connection attempt in progress.
    static constexpr int kLoopWaitMs = 50;

    /// The meter the following readings come from (sent with each reading).
    void setMeter(const MeterIdentity& meter) { m_meter = meter; }
    const MeterIdentity& meter() const { return m_meter; }

    /// A valid live reading at time → BASE/live, QoS 1. False when it was
    /// dropped (not connected, or too many messages unacknowledged).
    bool publishLive(const QDateTime& time, const core::MeterStatus& status);
    /// Sample number sample of a running real-time recording → BASE/recording, QoS 1.
    bool publishRecording(int sample, const QDateTime& time, const core::MeterStatus& status);

    /// The beginning or end of an alarm → BASE/alarm, QoS 1, not retained. False when
    /// it was dropped, as a reading would be.
    bool publishAlarm(const alarm::AlarmEvent& event);
    /// The alarms on now → BASE/alarms, QoS 1, retained, so that a subscriber that comes
    /// later knows them. Kept and published again on every connection, so an outage
    /// loses no change of the list.
    void publishActiveAlarms(const std::vector<alarm::AlarmEvent>& active);

    /// Whether the broker has accepted the connection and not lost it since.
    bool isConnected() const { return m_connected.load(); }
    /// Readings dropped since start().
    std::uint64_t droppedCount() const { return m_dropped.load(); }

    /// Emits the statusMessage lines that the network thread left, now. The
    /// event loop does it too, and so does every publish call (for callers such
    /// as thermo4-cli that run no event loop).
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
    /// again"); connected says which. Emitted on the publisher's thread.
    void statusMessage(const QString& text, bool connected);

private:
    /// How one connection to one address ended.
    struct Attempt {
        bool wasConnected = false;
        QString reason;
    };

    bool publish(const QByteArray& topic, const QByteArray& payload, bool retain = false);
    void runNetwork();
    /// Looks the broker up and tries its addresses until one connection is up and
    /// ends again, every address failed, or the thread is to end.
    Attempt connectOnce();
    /// The broker's addresses, or nothing when the publisher stops meanwhile;
    /// empty with the reason in error when the name cannot be resolved.
    std::optional<QList<QByteArray>> lookUp(QString* error);
    /// Runs the library's loop on the connection just started; seenError: a
    /// connection error (errno) its start left, 0 for none.
    Attempt runConnection(int seenError);
    void report(const QString& text, bool connected);
    void noteOutage(const QString& reason);
    /// The reason behind a libmosquitto result, read right after the call.
    QString errorText(int rc) const;

    static void onConnect(mosquitto* client, void* self, int rc);
    static void onDisconnect(mosquitto* client, void* self, int rc);
    static void onPublish(mosquitto* client, void* self, int mid);
    static void onLog(mosquitto* client, void* self, int level, const char* text);

    const BrokerUrl m_broker;
    const PublisherOptions m_options;
    const QByteArray m_statusTopic;
    const QByteArray m_liveTopic;
    const QByteArray m_recordingTopic;
    const QByteArray m_alarmTopic;
    const QByteArray m_alarmsTopic;
    /// The last list of alarms on (guarded by m_stateMutex); empty until the first.
    QByteArray m_activeAlarms;
    MeterIdentity m_meter;

    mosquitto* m_client = nullptr;
    std::thread m_network;

    std::atomic<bool> m_connected{false};
    /// stop() has begun: no more reconnection attempts or outage lines.
    std::atomic<bool> m_stopping{false};
    /// The network thread is to end.
    std::atomic<bool> m_quit{false};
    /// Why the broker refused the connection in its answer; empty without one (network thread).
    QString m_refusal;
    std::atomic<int> m_pending{0};
    std::atomic<std::uint64_t> m_dropped{0};
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
