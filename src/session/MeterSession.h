#pragma once

#include "core/LinkResult.h"
#include "core/MemoryImage.h"
#include "core/MeterStatus.h"
#include "link/LinkGuard.h"
#include "link/LinkState.h"
#include "link/MeterPoller.h"
#include "link/MeterSetup.h"
#include "link/SerialMeterLink.h"
#include "link/UsbMeterLink.h"
#include "session/RecordingState.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QTimer;

namespace thermo4::link {
class Clock;
class DownloadProgress;
class SerialPort;
class UsbTransport;
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

/// One meter conversation for the whole program: owns the USB and serial links,
/// the poll timer (MainTimer) and its tick, the lost-read count, the one link
/// guard every transaction outside the poll takes, and the last decoded live
/// frame. Windows ask it for transactions and listen to its signals; it knows
/// nothing of windows.
class MeterSession : public QObject {
    Q_OBJECT
public:
    /// The poll's period (ms).
    static constexpr int kPollIntervalMs = 500;
    /// Longest wait for a running poll tick (ms); a tick cannot outlast a few transaction time-outs.
    static constexpr int kPollWaitLimitMs = 3000;
    /// Pause before a serial link is opened again after a download (ms).
    static constexpr int kSerialSettleMs = 1000;

    /// Every transaction outside the poll holds one: the poll tick that ran has
    /// finished and MainTimer is stopped; the link is held until it ends, when
    /// MainTimer starts again (unless the session was shut down meanwhile).
    class Transaction {
    public:
        Transaction(Transaction&& other) noexcept;
        Transaction& operator=(Transaction&&) = delete;
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        ~Transaction();

    private:
        friend class MeterSession;
        Transaction(MeterSession& session, link::LinkGuard::Hold hold);
        MeterSession* m_session;
        link::LinkGuard::Hold m_hold;
    };

    /// clock, usb and serialPort must outlive the session.
    MeterSession(link::Clock& clock, link::UsbTransport& usb, link::SerialPort& serialPort,
                 QObject* parent = nullptr);
    ~MeterSession() override;

    // Connection state.
    bool connected() const { return m_state.connected(); }
    bool usbLink() const { return m_state.usbLink(); }
    bool serialLink() const { return m_state.serialLink(); }
    link::LinkKind link() const { return m_state.link(); }
    /// A poll tick is running.
    bool pollBusy() const { return m_state.pollBusy; }
    int lostFrames() const { return m_state.lostFrames; }
    /// The last decoded live frame.
    const core::MeterStatus& meterStatus() const { return m_state.meterStatus; }
    /// The reply buffer as the last identify or live read left it.
    const link::ReplyBuffer& reply() const { return m_state.reply; }
    /// The poll's state itself, for tests and tools that set up a situation directly.
    link::LinkState& linkState() { return m_state; }
    /// Failed identifies in a row while no meter is connected.
    int identifyFailures() const { return m_identifyFailures; }

    link::Clock& clock() { return m_clock; }
    /// The USB transport, for the commands that exist on USB only (panel keys, setup).
    link::UsbTransport& usb() { return m_usbTransport; }
    RecordingState& recording() { return m_recording; }
    /// The setup dialog's conversation over USB; it lives as long as the session,
    /// since its command frame and reply buffer carry bytes from one dialog to the next.
    link::MeterSetup& meterSetup() { return m_meterSetup; }

    /// Where a one-time message about the USB link comes from (e.g. no permission on the device node).
    void setLinkNoticeSource(std::function<QString()> takeNotice) { m_takeNotice = std::move(takeNotice); }

    // The poll.
    /// The poll's timer, named "MainTimer"; stopped until startPolling().
    QTimer* pollTimer() const { return m_pollTimer; }
    void startPolling();
    void stopPolling();
    /// One poll tick (MainTimerTimer): identify over USB while no meter is
    /// connected, otherwise read and decode the live frame over the live link.
    void pollTick();
    /// Waits until no poll tick runs, processing window messages, at most kPollWaitLimitMs.
    void waitForPoll();

    // Transactions.
    /// Another transaction holds the link.
    bool linkBusy() const { return m_guard.busy(); }
    /// Waits for the poll, stops it and holds the link; nothing when another transaction holds it.
    std::optional<Transaction> beginTransaction();

    // The serial link.
    /// The device the device list names (e.g. "/dev/rfcomm0"); the port is not opened.
    void setSerialDevice(const QString& device) { m_serialDevice = device; }
    QString serialDevice() const { return m_serialDevice; }
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

    // The logger download (the caller holds a transaction).
    /// Reads the logger memory over the live link into image; kDownloadCancelled
    /// when progress or cancelDownload() stopped it.
    core::LinkResult download(const Transaction& held, core::MemoryImage& image,
                              link::DownloadProgress* progress);
    /// Stops a running download at its next wait (the program is ending).
    void cancelDownload() { m_downloadCancelled = true; }
    /// After a failed load, whatever the link: tells the meter over USB that the transfer is off.
    void abortTransfer(const Transaction& held);
    /// Gives the link back after a load: a serial link is opened again on its
    /// device after a pause (Connected or Lost); a USB link is dropped so the
    /// poll finds the meter again (Lost until then).
    void handBackAfterDownload(const Transaction& held);

    /// The program is closing: stops a running download, waits for the poll,
    /// stops it for good, clears the link and closes the serial port.
    void shutDown();

signals:
    void connectionChanged(thermo4::session::ConnectionChange change);
    /// A valid live frame was decoded; refreshPanel: it carries display segments.
    void frameDecoded(const thermo4::core::MeterStatus& status, bool refreshPanel);
    /// A recording runs and its sampling period has passed: a sample at time.
    void sampleDue(const QDateTime& time, const thermo4::core::MeterStatus& status);
    /// The identify over USB failed again (failures in a row since the last success).
    void identifyFailed(int failures);
    /// A one-time message about the USB link for the user.
    void linkNotice(const QString& text);

private:
    void endTransaction();
    bool connectSerialHeld();
    /// Identifies the meter over USB: Connected, or false with nothing announced.
    bool connectUsbHeld();
    /// Clears the link and announces Lost.
    void loseConnection();
    void closeSerialPort();

    link::Clock& m_clock;
    link::UsbTransport& m_usbTransport;
    link::SerialPort& m_serialPort;
    link::LinkState m_state;
    link::UsbMeterLink m_usbLink;
    link::SerialMeterLink m_serialLink;
    link::MeterPoller m_poller;
    link::LinkGuard m_guard;
    link::MeterSetup m_meterSetup;
    RecordingState m_recording;
    QTimer* m_pollTimer = nullptr;
    QString m_serialDevice;
    std::function<QString()> m_takeNotice;
    int m_identifyFailures = 0;
    bool m_shutDown = false;
    bool m_downloadCancelled = false;
};

} // namespace thermo4::session
