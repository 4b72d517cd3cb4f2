#include "session/MeterSession.h"

#include "core/Commands.h"
#include "core/TDateTime.h"
#include "link/Clock.h"
#include "link/DownloadProgress.h"
#include "link/SerialPort.h"

#include <QTimer>

namespace thermo4::session {

namespace {

/// Hands a download's progress on to the window's (or nobody's) and adds the session's own
/// reason to stop it.
class SessionProgress : public link::DownloadProgress {
public:
    SessionProgress(link::DownloadProgress* shown, const bool& stop) : m_shown(shown), m_stop(stop) {}
    void started(std::int32_t totalBytes) override {
        if (m_shown)
            m_shown->started(totalBytes);
    }
    void advanced(std::int32_t receivedBytes) override {
        if (m_shown)
            m_shown->advanced(receivedBytes);
    }
    void finished() override {
        if (m_shown)
            m_shown->finished();
    }
    void waiting(int attempt, int attempts) override {
        if (m_shown)
            m_shown->waiting(attempt, attempts);
    }
    bool cancelled() const override { return m_stop || (m_shown && m_shown->cancelled()); }

private:
    link::DownloadProgress* m_shown;
    const bool& m_stop;
};

} // namespace

MeterSession::Transaction::Transaction(MeterSession& session, link::LinkGuard::Hold hold)
    : m_session(&session), m_hold(std::move(hold)) {}

MeterSession::Transaction::Transaction(Transaction&& other) noexcept
    : m_session(other.m_session), m_hold(std::move(other.m_hold)) {
    other.m_session = nullptr;
}

MeterSession::Transaction::~Transaction() {
    if (m_session) {
        m_hold.release();
        m_session->endTransaction();
    }
}

MeterSession::MeterSession(link::Clock& clock, link::UsbTransport& usb, link::SerialPort& serialPort,
                           QObject* parent)
    : QObject(parent), m_clock(clock), m_usbTransport(usb), m_serialPort(serialPort), m_usbLink(usb, clock),
      m_serialLink(serialPort, clock), m_poller(m_state, m_usbLink, clock), m_meterSetup(usb, clock) {
    m_poller.setSerialLink(&m_serialLink);
    m_poller.setLinkGuard(&m_guard);
    m_pollTimer = new QTimer(this);
    m_pollTimer->setObjectName(QStringLiteral("MainTimer"));
    m_pollTimer->setInterval(kPollIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, this, &MeterSession::pollTick);
}

MeterSession::~MeterSession() {
    m_pollTimer->stop();
}

void MeterSession::startPolling() {
    if (m_shutDown)
        return;
    m_pollTimer->setInterval(kPollIntervalMs);
    m_pollTimer->start();
}

void MeterSession::stopPolling() {
    m_pollTimer->stop();
}

void MeterSession::waitForPoll() {
    // The poll tick processes no window messages, so it is never found running
    // from a handler; the bounded wait keeps a nested call from hanging.
    const std::int64_t start = m_clock.tickMs();
    while (m_state.pollBusy && m_clock.tickMs() - start <= kPollWaitLimitMs)
        m_clock.delayWithMessages(10);
}

void MeterSession::pollTick() {
    if (m_state.pollBusy)
        return;
    const link::PollResult result = m_poller.tick(m_recording.recording(), m_recording.realTimeRate());
    switch (result.event) {
    case link::PollEvent::Connected:
        m_identifyFailures = 0;
        emit connectionChanged(ConnectionChange::Connected);
        break;
    case link::PollEvent::IdentifyFailed:
        ++m_identifyFailures;
        if (m_takeNotice) {
            if (const QString notice = m_takeNotice(); !notice.isEmpty())
                emit linkNotice(notice);
        }
        emit identifyFailed(m_identifyFailures);
        break;
    case link::PollEvent::FrameDecoded:
        emit frameDecoded(m_state.meterStatus, result.refreshPanel);
        if (result.sampleDue)
            emit sampleDue(result.time, m_state.meterStatus);
        break;
    case link::PollEvent::ConnectionLost:
        emit connectionChanged(ConnectionChange::Lost);
        break;
    case link::PollEvent::LinkBusy:
    case link::PollEvent::FrameDropped:
    case link::PollEvent::ReadFailed:
        break;
    }
}

std::optional<MeterSession::Transaction> MeterSession::beginTransaction() {
    if (m_guard.busy())
        return std::nullopt;
    waitForPoll();
    m_pollTimer->stop();
    return Transaction(*this, m_guard.hold());
}

void MeterSession::endTransaction() {
    startPolling();
}

void MeterSession::closeSerialPort() {
    m_serialPort.close();
}

void MeterSession::loseConnection() {
    m_state.clearConnection();
    emit connectionChanged(ConnectionChange::Lost);
}

bool MeterSession::connectSerialHeld() {
    m_state.setLink(link::LinkKind::None);
    if (m_serialLink.connectTo(m_serialDevice, m_state.reply)) {
        m_state.setLink(link::LinkKind::Serial);
        m_state.lostFrames = 0;
        emit connectionChanged(ConnectionChange::Connected);
        return true;
    }
    loseConnection();
    return false;
}

bool MeterSession::connectUsbHeld() {
    if (!m_usbLink.identify(m_state.reply) || !core::ReplyHasModelCode(m_state.reply))
        return false;
    m_state.setLink(link::LinkKind::Usb);
    m_state.lostFrames = 0;
    emit connectionChanged(ConnectionChange::Connected);
    return true;
}

bool MeterSession::connectSerial(const QString& device) {
    std::optional<Transaction> held = beginTransaction();
    if (!held)
        return false;
    m_serialDevice = device;
    connectSerialHeld();
    return true;
}

std::optional<int> MeterSession::searchSerial(const QStringList& ports,
                                              const link::SerialSearchProgress& progress) {
    std::optional<Transaction> held = beginTransaction();
    if (!held)
        return std::nullopt;
    const link::LinkKind before = m_state.link();
    const QString deviceBefore = m_serialDevice;
    m_state.setLink(link::LinkKind::None);
    const std::optional<int> found = m_serialLink.search(ports, m_state.reply, progress);
    if (found) {
        m_serialDevice = ports.at(*found);
        m_state.setLink(link::LinkKind::Serial);
        m_state.lostFrames = 0;
        emit connectionChanged(ConnectionChange::Connected);
        return found;
    }
    // Nothing found: the link that worked before the search, if its meter still answers.
    if (before == link::LinkKind::Serial) {
        m_serialDevice = deviceBefore;
        connectSerialHeld();
    } else if (before != link::LinkKind::Usb || !connectUsbHeld()) {
        loseConnection();
    }
    return std::nullopt;
}

void MeterSession::disconnectSerial() {
    std::optional<Transaction> held = beginTransaction();
    if (!held)
        return;
    closeSerialPort();
    loseConnection();
}

core::LinkResult MeterSession::download(const Transaction&, core::MemoryImage& image,
                                        link::DownloadProgress* progress) {
    m_downloadCancelled = m_shutDown;
    SessionProgress forwarded(progress, m_downloadCancelled);
    if (m_state.serialLink())
        return m_serialLink.download(image, &forwarded);
    return m_usbLink.download(image, &forwarded);
}

void MeterSession::abortTransfer(const Transaction&) {
    m_usbLink.abortTransfer();
}

void MeterSession::handBackAfterDownload(const Transaction&) {
    if (m_state.serialLink()) {
        m_state.lostFrames = 0;
        m_serialPort.discardInput();
        m_clock.delayWithMessages(kSerialSettleMs);
        connectSerialHeld();
        return;
    }
    // USB: drop the connection; the poll identifies the meter again within a few ticks.
    closeSerialPort();
    loseConnection();
}

void MeterSession::shutDown() {
    cancelDownload();
    waitForPoll();
    m_shutDown = true;
    m_pollTimer->stop();
    m_state.setLink(link::LinkKind::None);
    closeSerialPort();
}

} // namespace thermo4::session
