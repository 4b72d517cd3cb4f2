#pragma once

#include "core/LinkResult.h"
#include "core/MeterStatus.h"
#include "link/LinkKind.h"
#include "link/PollResult.h"
#include "link/SerialSearchProgress.h"
#include "link/SetupOutcome.h"
#include "link/SetupProgress.h"
#include "session/LoggerLoad.h"
#include "session/Reading.h"
#include "session/RecordingState.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace thermo4::link {
class Clock;
class MeterLink;
class SerialPort;
class UsbTransport;
struct LinkState;
} // namespace thermo4::link

namespace thermo4::session {

/// The connection state the session has just decided; every view (status bar,
/// panel, Run and Stop, Data Logger, link icon) sets itself from it and from
/// the session's link(), never from what the user last did.
enum class ConnectionChange {
    /// A meter answers on the live link: the connected state ("On Connection").
    Connected,
    /// No meter answers on any link: a connection attempt or a search failed,
    /// the meter stopped answering, or the link was given up (disconnect, end
    /// of a USB download): the disconnected state ("No Connection"). The poll
    /// goes on looking for a meter on USB.
    Lost,
};

/// One meter conversation for the whole program, and the only way to the meter:
/// owns the USB and serial links (one of them current), the poll timer
/// (MainTimer) and its tick, the one link guard, the last decoded live frame and
/// the real-time recording. Every valid live frame is announced once (reading) for
/// the panel, the alarms and the publishers, and offered to the recording, whose
/// samples the graph, the journal and the publishers record.
/// Key presses, setup operations, the logger load and the serial link's changes
/// are its operations: each waits for a running poll tick, stops the poll, holds
/// the guard while it runs and hands the link back to the poll. Windows call
/// those and listen to its signals; it knows nothing of windows, and they see
/// nothing of the links behind it.
class MeterSession : public QObject {
    Q_OBJECT
public:
    /// The poll's period (ms).
    static constexpr int kPollIntervalMs = 500;
    /// Longest wait for a running poll tick (ms); a tick cannot outlast a few transaction time-outs.
    static constexpr int kPollWaitLimitMs = 3000;
    /// Pause before a serial link is opened again after a download (ms).
    static constexpr int kSerialSettleMs = link::kSerialSettleMs;
    /// Wait after a key the meter did not acknowledge (ms).
    static constexpr int kFailedKeyDelayMs = 300;
    /// pressKey's result when another transaction held the link and nothing was sent.
    static constexpr core::LinkResult kKeyDropped = -1;

    /// clock, usb and serialPort must outlive the session.
    MeterSession(link::Clock& clock, link::UsbTransport& usb, link::SerialPort& serialPort,
                 QObject* parent = nullptr);
    ~MeterSession() override;

    // Connection state.
    bool connected() const;
    bool usbLink() const;
    bool serialLink() const;
    link::LinkKind link() const;
    /// A poll tick is running.
    bool pollBusy() const;
    /// An operation holds the link.
    bool linkBusy() const;
    /// The last decoded live frame.
    const core::MeterStatus& meterStatus() const;
    /// Failed identifies in a row while no meter is connected.
    int identifyFailures() const { return m_identifyFailures; }
    /// The session clock's date-time.
    QDateTime now() const;
    RecordingState& recording() { return m_recording; }

    /// Where a one-time message about the USB link comes from (e.g. no permission on the device node).
    void setLinkNoticeSource(std::function<QString()> takeNotice) { m_takeNotice = std::move(takeNotice); }

    // The poll.
    /// Off: MainTimer never runs and the caller polls (pollOnce) itself, as the command line does.
    void setPollOnTimer(bool on) { m_pollOnTimer = on; }
    /// Starts MainTimer; nothing once the session is shut down, or when it does not poll on its timer.
    void startPolling();
    void stopPolling();
    /// One poll tick (MainTimerTimer): identify over USB while no meter is
    /// connected, otherwise read and decode the live frame over the current link;
    /// a valid one is announced (reading) and offered to the recording.
    link::PollResult pollOnce();
    /// Without MainTimer: waits up to limitMs for the meter to answer the identify
    /// with the model code, over USB through the poll, or on the serial device
    /// (over Serial) by identifying every kPollIntervalMs, input dropped before
    /// each. True when it answered (Connected).
    bool awaitMeter(link::LinkKind over, int limitMs);
    /// After awaitMeter failed on the serial device: bytes came that were not the
    /// meter's reply, rather than none at all.
    bool heardInvalidReplies() const { return m_heardInvalidReplies; }

    // The serial link.
    /// The device the device list names (e.g. "/dev/rfcomm0"); the port is not opened.
    void setSerialDevice(const QString& device);
    QString serialDevice() const;
    /// The device change: closes the port, opens device, identifies the meter on
    /// it; Connected or Lost. The port stays open whenever it could be opened.
    /// False when another transaction holds the link (nothing done).
    bool connectSerial(const QString& device);
    /// The search over ports; progress gets each port's index and the progress
    /// title. The index where the meter answered (Connected), or nothing: then
    /// the link that was live before the search is taken up again if its meter
    /// still answers (Connected), otherwise Lost.
    std::optional<int> searchSerial(const QStringList& ports,
                                    const link::SerialSearchProgress& progress = {});
    /// Drops the connection: the serial port is closed, the link cleared (Lost).
    void disconnectSerial();

    // Operations on the meter.
    /// Sends a panel key's letter over USB (whatever the live link) in one
    /// attempt; a failure costs kFailedKeyDelayMs. The transaction's code, or
    /// kKeyDropped while another operation holds the link (nothing sent).
    core::LinkResult pressKey(char letter);
    /// Decimal separator of the setup read-outs.
    void setDecimalPoint(QChar point);
    /// One setup operation over USB; the link is taken after the operation's
    /// label pause and input check. Busy while another operation holds it.
    link::SetupOutcome runSetup(const link::SetupRequest& request, link::SetupProgress* progress = nullptr);
    /// "Setup All" under one hold from its first step to its last (no poll tick
    /// between them); empty when another operation holds the link.
    std::vector<link::SetupOutcome> runSetupAll(const QString& minutes, const QString& seconds,
                                                link::SetupProgress* progress = nullptr);
    /// Loads the logger memory over the live link, all under one hold: download,
    /// handler.loaded() on success, handler.failed() on any other code (and the
    /// transfer called off over USB for a meter's failure), then the link taken
    /// up again (serial) or given up to the poll (USB). The final code; nothing
    /// when another operation holds the link.
    std::optional<core::LinkResult> loadLogger(LoggerLoadHandler& handler);
    /// Stops a running download at its next wait.
    void cancelDownload() { m_downloadCancelled = true; }

    /// The program is closing: stops a running download and the poll for good;
    /// the link is cleared and the serial port closed now, or, while an operation
    /// holds the link, as soon as it hands it back.
    void shutDown();

signals:
    void connectionChanged(thermo4::session::ConnectionChange change);
    /// A valid live frame was decoded: announced once per frame, before the recording takes it.
    void reading(const thermo4::session::Reading& reading);
    /// The identify over USB failed again (failures in a row since the last success).
    void identifyFailed(int failures);
    /// A one-time message about the USB link for the user.
    void linkNotice(const QString& text);
    /// An operation has handed the link back.
    void linkReleased();

private:
    friend class MeterSessionTestAccess;
    struct Impl;
    class SetupAccess;

    /// An operation's hold on the link: the poll tick that ran has finished and
    /// MainTimer is stopped. When it ends, the link goes back to the poll, or, once
    /// the session is shut down, is torn down.
    class Hold {
    public:
        explicit Hold(MeterSession& session);
        Hold(Hold&& other) noexcept;
        Hold& operator=(Hold&&) = delete;
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold();

    private:
        MeterSession* m_session;
    };

    /// Waits for the poll, stops it and holds the link; nothing when an operation holds it.
    std::optional<Hold> hold();
    void endHold();
    /// Waits until no poll tick runs, processing window messages, at most kPollWaitLimitMs.
    void waitForPoll();
    void tearDown();
    bool connectSerialHeld(const QString& device);
    /// Identifies the meter over USB: Connected, or false with nothing announced.
    bool connectUsbHeld();
    /// Makes link current and announces Connected.
    void takeUp(link::MeterLink& link);
    /// Clears the link and announces Lost.
    void loseConnection();
    /// One identify on the serial device: Connected, or false with nothing announced.
    bool identifySerial();

    // What MeterSessionTestAccess reaches.
    link::LinkState& state();
    /// The session's link of that kind; null for None.
    link::MeterLink* linkOf(link::LinkKind kind);
    QTimer* pollTimer() const { return m_pollTimer; }

    std::unique_ptr<Impl> m_impl;
    RecordingState m_recording;
    QTimer* m_pollTimer = nullptr;
    std::function<QString()> m_takeNotice;
    int m_identifyFailures = 0;
    bool m_pollOnTimer = true;
    bool m_shutDown = false;
    bool m_teardownPending = false;
    bool m_downloadCancelled = false;
    bool m_heardInvalidReplies = false;
};

} // namespace thermo4::session
