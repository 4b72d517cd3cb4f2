#pragma once

#include "core/LinkResult.h"
#include "link/UsbExchange.h"

#include <cstdint>

namespace thermo4::link {

/// Identify: open, time-outs, the frame with the given letter, a 32-byte read
/// into reply, close. True when open, time-outs and read succeed; no reply byte
/// is examined (the caller compares the model code in bytes 23 to 25).
bool IdentifyUsb(UsbExchange& exchange, char letter);

/// Live read: "A" with the next sequence number (8-bit, wrapping) in byte 5; the
/// reply buffer is cleared and the 64-byte frame read into it; close. True when
/// the read succeeds; the frame itself is not checked here.
bool ReadLiveFrameUsb(UsbExchange& exchange);

/// A panel key's transaction (codes in core::PanelKeyResult) with the panel's own frame, already filled by
/// the key. Every step runs even after a failed open, time-outs or write; the code is 7005 for a failed
/// 32-byte read, 7006 when reply bytes 2, 3 are not "OK", 7007 when the transport throws while reading or
/// checking, else the code of the last failed step of open (7002), time-outs (7003), write (7004), or 0. The
/// device is left open.
core::LinkResult PanelTransaction(UsbTransport& transport, const core::CommandFrame& frame,
                                  std::uint16_t vendorId = kUsbVendorId,
                                  std::uint16_t productId = kUsbProductId);

} // namespace thermo4::link
