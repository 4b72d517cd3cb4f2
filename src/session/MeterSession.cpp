#include "session/MeterSession.h"

#include "core/Commands.h"
#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "link/Clock.h"
#include "link/DownloadProgress.h"
#include "link/LinkGuard.h"
#include "link/LinkState.h"
#include "link/MeterPoller.h"
#include "link/MeterSetup.h"
#include "link/SerialMeterLink.h"
#include "link/SerialPort.h"
#include "link/UsbMeterLink.h"

#include <QTimer>

namespace thermo4::session {

/// The setup exchanges' way onto the link: one hold per exchange, or the hold
/// "Setup All" keeps across its steps.
class MeterSession::SetupAccess : public link::LinkAccess {
public:
    explicit SetupAccess(MeterSession& session) : m_session(session) {}
    bool acquire() override {
        if (m_acrossSteps)
            return true;
        return take();
    }
    void release() override {
        if (!m_acrossSteps)
            m_held.reset();
    }
    /// Holds the link until endSteps(); false when another operation holds it.
    bool beginSteps() {
        m_acrossSteps = take();
        return m_acrossSteps;
    }
    void endSteps() {
        m_acrossSteps = false;
        m_held.reset();
    }

private:
    bool take() {
        std::optional<Hold> held = m_session.hold();
        if (!held)
            return false;
        m_held.emplace(std::move(*held));
        return true;
    }

    MeterSession& m_session;
    std::optional<Hold> m_held;
    bool m_acrossSteps = false;
};

/// The links behind the session and what works on them.
struct MeterSession::Impl {
    Impl(link::Clock& clock, link::UsbTransport& usb, link::SerialPort& serialPort)
        : clock(clock), serialPort(serialPort), usbLink(usb, clock), serialLink(serialPort, clock),
          poller(state, usbLink, clock), meterSetup(usb, clock) {
        poller.setLinkGuard(&guard);
    }

    link::Clock& clock;
    link::SerialPort& serialPort;
    link::LinkState state;
    link::UsbMeterLink usbLink;
    link::SerialMeterLink serialLink;
    link::MeterPoller poller;
    link::LinkGuard guard;
    /// The guard's hold while an operation holds the link (at most one: hold() refuses a second).
    std::optional<link::LinkGuard::Hold> held;
    link::MeterSetup meterSetup;
    std::unique_ptr<SetupAccess> setupAccess;
};

MeterSession::Hold::Hold(MeterSession& session) : m_session(&session) {}

MeterSession::Hold::Hold(Hold&& other) noexcept : m_session(other.m_session) {
    other.m_session = nullptr;
}

MeterSession::Hold::~Hold() {
    if (m_session)
        m_session->endHold();
}

MeterSession::MeterSession(link::Clock& clock, link::UsbTransport& usb, link::SerialPort& serialPort,
                           QObject* parent)
    : QObject(parent), m_impl(std::make_unique<Impl>(clock, usb, serialPort)) {
    m_impl->setupAccess = std::make_unique<SetupAccess>(*this);
    m_impl->meterSetup.setLinkAccess(m_impl->setupAccess.get());
    m_pollTimer = new QTimer(this);
    m_pollTimer->setObjectName(QStringLiteral("MainTimer"));
    m_pollTimer->setInterval(kPollIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, this, [this] { pollOnce(); });
}

MeterSession::~MeterSession() {
    m_pollTimer->stop();
    m_impl->meterSetup.setLinkAccess(nullptr);
}

bool MeterSession::connected() const {
    return m_impl->state.connected();
}

bool MeterSession::usbLink() const {
    return m_impl->state.usbLink();
}

bool MeterSession::serialLink() const {
    return m_impl->state.serialLink();
}

link::LinkKind MeterSession::link() const {
    return m_impl->state.link();
}

bool MeterSession::pollBusy() const {
    return m_impl->state.pollBusy;
}

bool MeterSession::linkBusy() const {
    return m_impl->guard.busy();
}

const core::MeterStatus& MeterSession::meterStatus() const {
    return m_impl->state.meterStatus;
}

QDateTime MeterSession::now() const {
    return m_impl->clock.now();
}

void MeterSession::setSerialDevice(const QString& device) {
    m_impl->serialLink.setDevice(device);
}

QString MeterSession::serialDevice() const {
    return m_impl->serialLink.device();
}

void MeterSession::setDecimalPoint(QChar point) {
    m_impl->meterSetup.setDecimalPoint(point);
}

link::LinkState& MeterSession::state() {
    return m_impl->state;
}

link::MeterLink* MeterSession::linkOf(link::LinkKind kind) {
    switch (kind) {
    case link::LinkKind::Usb:
        return &m_impl->usbLink;
    case link::LinkKind::Serial:
        return &m_impl->serialLink;
    case link::LinkKind::None:
        break;
    }
    return nullptr;
}

void MeterSession::startPolling() {
    if (m_shutDown || !m_pollOnTimer)
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
    const std::int64_t start = m_impl->clock.tickMs();
    while (m_impl->state.pollBusy && m_impl->clock.tickMs() - start <= kPollWaitLimitMs)
        m_impl->clock.delayWithMessages(10);
}

link::PollResult MeterSession::pollOnce() {
    if (m_impl->state.pollBusy) {
        link::PollResult busy;
        busy.event = link::PollEvent::LinkBusy;
        return busy;
    }
    const link::PollResult result = m_impl->poller.tick();
    if (result.event != link::PollEvent::LinkBusy)
        m_recording.noteTick(result.time);
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
    case link::PollEvent::FrameDecoded: {
        const Reading taken{result.time, m_impl->state.meterStatus, result.refreshPanel};
        emit reading(taken);
        m_recording.offer(taken);
        break;
    }
    case link::PollEvent::ConnectionLost:
        emit connectionChanged(ConnectionChange::Lost);
        break;
    case link::PollEvent::LinkBusy:
    case link::PollEvent::FrameDropped:
    case link::PollEvent::ReadFailed:
        break;
    }
    return result;
}

bool MeterSession::awaitMeter(link::LinkKind over, int limitMs) {
    m_heardInvalidReplies = false;
    const std::int64_t start = m_impl->clock.tickMs();
    for (;;) {
        const std::int64_t attempt = m_impl->clock.tickMs();
        if (over == link::LinkKind::Serial ? identifySerial()
                                           : pollOnce().event == link::PollEvent::Connected)
            return true;
        if (m_impl->clock.tickMs() - start >= limitMs)
            return false;
        const std::int64_t rest = attempt + kPollIntervalMs - m_impl->clock.tickMs();
        if (rest > 0)
            m_impl->clock.delayBusy(static_cast<int>(rest - 1));
    }
}

bool MeterSession::identifySerial() {
    const std::optional<Hold> held = hold();
    if (!held)
        return false;
    // What came since the last attempt (the late rest of a reply) would stand in front of this one's reply.
    m_impl->serialPort.discardInput();
    if (m_impl->serialLink.identify(m_impl->state.reply)) {
        takeUp(m_impl->serialLink);
        return true;
    }
    m_heardInvalidReplies = m_heardInvalidReplies || m_impl->serialLink.replyWasInvalid();
    return false;
}

std::optional<MeterSession::Hold> MeterSession::hold() {
    if (m_impl->guard.busy())
        return std::nullopt;
    waitForPoll();
    m_pollTimer->stop();
    m_impl->held.emplace(m_impl->guard.hold());
    return Hold(*this);
}

void MeterSession::endHold() {
    m_impl->held.reset();
    if (m_impl->guard.busy())
        return;
    if (m_teardownPending)
        tearDown();
    else
        startPolling();
    emit linkReleased();
}

void MeterSession::takeUp(link::MeterLink& link) {
    m_impl->state.setCurrent(&link);
    m_impl->state.lostFrames = 0;
    emit connectionChanged(ConnectionChange::Connected);
}

void MeterSession::loseConnection() {
    m_impl->state.clearConnection();
    emit connectionChanged(ConnectionChange::Lost);
}

bool MeterSession::connectSerialHeld(const QString& device) {
    m_impl->state.setCurrent(nullptr);
    if (m_impl->serialLink.connectTo(device, m_impl->state.reply)) {
        takeUp(m_impl->serialLink);
        return true;
    }
    loseConnection();
    return false;
}

bool MeterSession::connectUsbHeld() {
    if (!m_impl->usbLink.identify(m_impl->state.reply) || !core::ReplyHasModelCode(m_impl->state.reply))
        return false;
    takeUp(m_impl->usbLink);
    return true;
}

bool MeterSession::connectSerial(const QString& device) {
    std::optional<Hold> held = hold();
    if (!held)
        return false;
    connectSerialHeld(device);
    return true;
}

std::optional<int> MeterSession::searchSerial(const QStringList& ports,
                                              const link::SerialSearchProgress& progress) {
    std::optional<Hold> held = hold();
    if (!held)
        return std::nullopt;
    const link::LinkKind before = m_impl->state.link();
    m_impl->state.setCurrent(nullptr);
    const std::optional<int> found = m_impl->serialLink.search(ports, m_impl->state.reply, progress);
    if (found) {
        takeUp(m_impl->serialLink);
        return found;
    }
    // Nothing found: the link that worked before the search, if its meter still answers.
    if (before == link::LinkKind::Serial)
        connectSerialHeld(m_impl->serialLink.device());
    else if (before != link::LinkKind::Usb || !connectUsbHeld())
        loseConnection();
    return std::nullopt;
}

void MeterSession::disconnectSerial() {
    std::optional<Hold> held = hold();
    if (!held)
        return;
    m_impl->serialLink.disconnect();
    loseConnection();
}

core::LinkResult MeterSession::pressKey(char letter) {
    const std::optional<Hold> held = hold();
    if (!held)
        return kKeyDropped;
    const core::LinkResult result = m_impl->usbLink.pressKey(letter);
    // No second attempt: the user sees in the next frames that the meter did not react.
    if (result != core::kLinkOk)
        m_impl->clock.delayWithMessages(kFailedKeyDelayMs);
    return result;
}

namespace {

/// However a setup operation ends (an error escaping the window's progress included), the
/// link goes back to the poll.
template <typename Access> struct ReleaseAtEnd {
    Access& access;
    ~ReleaseAtEnd() { access.endSteps(); }
};

} // namespace

link::SetupOutcome MeterSession::runSetup(const link::SetupRequest& request, link::SetupProgress* progress) {
    if (m_impl->meterSetup.running())
        return m_impl->meterSetup.run(request, progress); // Busy, from the running operation's waits
    const ReleaseAtEnd<SetupAccess> release{*m_impl->setupAccess};
    return m_impl->meterSetup.run(request, progress);
}

std::vector<link::SetupOutcome> MeterSession::runSetupAll(const QString& minutes, const QString& seconds,
                                                          link::SetupProgress* progress) {
    if (m_impl->meterSetup.running() || !m_impl->setupAccess->beginSteps())
        return {};
    const ReleaseAtEnd<SetupAccess> release{*m_impl->setupAccess};
    return m_impl->meterSetup.setupAll(minutes, seconds, progress);
}

namespace {

/// Hands a download's progress on to the caller's and adds the session's own reason to stop it.
class SessionProgress : public link::DownloadProgress {
public:
    SessionProgress(link::DownloadProgress& shown, const bool& stop) : m_shown(shown), m_stop(stop) {}
    void started(std::int32_t totalBytes) override { m_shown.started(totalBytes); }
    void advanced(std::int32_t receivedBytes) override { m_shown.advanced(receivedBytes); }
    void finished() override { m_shown.finished(); }
    void waiting(int attempt, int attempts) override { m_shown.waiting(attempt, attempts); }
    bool cancelled() const override { return m_stop || m_shown.cancelled(); }

private:
    link::DownloadProgress& m_shown;
    const bool& m_stop;
};

} // namespace

std::optional<core::LinkResult> MeterSession::loadLogger(LoggerLoadHandler& handler) {
    const std::optional<Hold> held = hold();
    if (!held)
        return std::nullopt;
    link::MeterLink& live = m_impl->state.current() ? *m_impl->state.current() : m_impl->usbLink;
    handler.begin();
    core::LinkResult code = core::kLinkOk;
    {
        // The image lives for this load only: it is empty before and after it.
        core::MemoryImage image;
        m_downloadCancelled = m_shutDown;
        SessionProgress forwarded(handler, m_downloadCancelled);
        code = live.download(image, &forwarded);
        if (code == core::kLinkOk)
            code = handler.loaded(image);
    }
    if (code != core::kLinkOk) {
        handler.failed(code);
        // A meter's failure (not a cancel, not an empty memory): the transfer is called off over USB.
        if (code > 0 && code != core::kDecodeNoDataSet)
            m_impl->usbLink.abortTransfer();
    }
    // Take the link up again, or give it to the poll, which finds the meter again within a few ticks.
    m_impl->state.setCurrent(nullptr);
    if (!m_shutDown && live.reconnectAfterDownload(m_impl->state.reply)) {
        takeUp(live);
        return code;
    }
    // USB given up: a serial port a failed connect left open goes with it.
    if (&live == &m_impl->usbLink)
        m_impl->serialLink.disconnect();
    loseConnection();
    return code;
}

void MeterSession::tearDown() {
    m_teardownPending = false;
    waitForPoll();
    m_pollTimer->stop();
    m_impl->state.setCurrent(nullptr);
    m_impl->serialPort.close();
}

void MeterSession::shutDown() {
    m_shutDown = true;
    cancelDownload();
    m_pollTimer->stop();
    if (m_impl->guard.busy()) {
        // Never under an operation: the link is cleared when it hands the link back.
        m_teardownPending = true;
        return;
    }
    tearDown();
}

} // namespace thermo4::session
