#pragma once

#include "link/MeterLink.h"
#include "link/SerialExchange.h"
#include "link/SerialTransactions.h"

#include <QStringList>

#include <optional>

namespace thermo4::link {

/// The meter over a serial port (a Bluetooth serial link, a USB-serial adapter,
/// a pseudo-terminal): the MeterLink operations plus choosing the port (open
/// and identify), the search over a list of ports, and dropping the port. Owns
/// the serial link's command frame.
class SerialMeterLink : public MeterLink {
public:
    /// Pause before the port is opened again after a download (ms).
    static constexpr int kSettleMs = kSerialSettleMs;

    SerialMeterLink(SerialPort& port, Clock& clock);

    LinkKind kind() const override { return LinkKind::Serial; }
    /// Identifies on the open port: true when the reply carries the model code.
    bool identify(ReplyBuffer& reply) override;
    bool readLiveFrame(ReplyBuffer& reply) override;
    bool replyWasInvalid() const override { return m_invalidReply; }
    core::LinkResult download(core::MemoryImage& image, DownloadProgress* progress) override;
    /// Drops what came in, waits kSettleMs and opens the device again (connectTo).
    bool reconnectAfterDownload(ReplyBuffer& reply) override;

    /// The device the link opens (e.g. "/dev/rfcomm0"); setting it opens nothing.
    void setDevice(const QString& device) { m_device = device; }
    const QString& device() const { return m_device; }
    /// The device change: closes the port, opens device (which becomes the link's)
    /// and identifies the meter on it. True when the meter answered with the model
    /// code; the port stays open whenever it could be opened.
    bool connectTo(const QString& device, ReplyBuffer& reply);
    /// The search over ports (SearchSerialPorts): the index where the meter
    /// answered, the port left open on it and its device the link's; nothing, the port closed.
    std::optional<int> search(const QStringList& ports, ReplyBuffer& reply,
                              const SerialSearchProgress& progress = {});
    /// Drops the serial connection: closes the port.
    void disconnect() { m_port.close(); }

    SerialPort& port() { return m_port; }
    const core::CommandFrame& frame() const { return m_frame; }

private:
    SerialExchange exchange() { return SerialExchange{m_port, m_clock, m_frame}; }

    SerialPort& m_port;
    Clock& m_clock;
    QString m_device;
    core::CommandFrame m_frame = kInitialSerialFrame;
    /// The last identify or live read failed on bytes that were not a valid reply.
    bool m_invalidReply = false;
};

} // namespace thermo4::link
