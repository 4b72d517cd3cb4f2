#pragma once

#include "core/LinkResult.h"
#include "core/MemoryImage.h"
#include "link/LinkKind.h"
#include "link/ReplyBuffer.h"

namespace thermo4::link {

class DownloadProgress;

/// The operations both links (USB and the serial port) offer the poll and the
/// Data Logger command. Each implementation keeps its own command frame for the
/// life of the program; replies land in the caller's reply buffer.
class MeterLink {
public:
    virtual ~MeterLink() = default;

    virtual LinkKind kind() const = 0;
    /// Sends the identify command "K"; true when a reply of at least 32 bytes
    /// arrived in reply. The model code (bytes 23 to 25) is the caller's to check.
    virtual bool identify(ReplyBuffer& reply) = 0;
    /// Reads one 64-byte live frame into reply; true when the read succeeded
    /// (and, on links that carry one, its checksum is right). Start and end
    /// bytes are the caller's to check.
    virtual bool readLiveFrame(ReplyBuffer& reply) = 0;
    /// After a failed identify or live read: whether bytes came that were not a valid
    /// reply (a wrong checksum, start or end byte, another model), rather than none.
    virtual bool replyWasInvalid() const { return false; }
    /// Reads the logger memory into image (appending; the caller empties it
    /// first and again when the result is not 0). The caller holds the link.
    virtual core::LinkResult download(core::MemoryImage& image, DownloadProgress* progress) = 0;
    /// After a download, with the link still held: takes the link up again and identifies the
    /// meter into reply. True when it answered; false: the link is given up (the poll looks for
    /// the meter on USB again).
    virtual bool reconnectAfterDownload(ReplyBuffer& /*reply*/) { return false; }
};

} // namespace thermo4::link
