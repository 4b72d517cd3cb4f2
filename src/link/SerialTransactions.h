#pragma once

#include "link/ReplyBuffer.h"
#include "link/SerialExchange.h"
#include "link/SerialSearchProgress.h"

#include <QStringList>

#include <cstddef>
#include <functional>
#include <optional>

namespace thermo4::link {

/// Longest wait for the identify reply (ms) and the bytes it must have.
inline constexpr int kSerialIdentifyWaitMs = 500;
/// Wait between the live-read command and the look at its reply (ms).
inline constexpr int kSerialLiveReadWaitMs = 200;

/// Sends "K" on the open port, waits up to 0.5 s for 32 bytes, then reads every
/// byte waiting: the first 64 go to reply, the rest are dropped. Returns the
/// number of bytes read; nothing is examined.
std::size_t IdentifySerialReply(SerialExchange& exchange, ReplyBuffer& reply);

/// Identify over the serial link (the port has just been opened): true when at
/// least 32 bytes came and bytes 23 to 25 are the model code "418". Start, end
/// and checksum bytes are not examined.
bool IdentifySerial(SerialExchange& exchange, ReplyBuffer& reply);

/// Live read over the serial link: "A" (a failed write closes the port), 200 ms
/// without events, then, when at least 64 bytes are waiting, all of them are
/// read and the first 64 go to reply. True only for a 64-byte frame with 0x02
/// first, 0x03 last and byte 62 the low 8 bits of the sum of bytes 1 to 61.
/// Fewer than 64 bytes stay in the queue, in front of the next reply. invalid, when
/// given, tells a failure on 64 bytes that are not a valid frame from one without them.
bool ReadLiveFrameSerial(SerialExchange& exchange, ReplyBuffer& reply, bool* invalid = nullptr);

/// Looks for the meter on ports, one port per pass, as many passes as ports:
/// 100 ms (processing events), the progress call, 100 ms, open, identify. A port
/// that cannot be opened or answers with fewer than 32 bytes is closed and the
/// next one tried; one that answers with another model code is closed and tried
/// again in the next pass. Returns the index of the port where the meter
/// answered (the port stays open on it), or nothing (the port is closed).
std::optional<int> SearchSerialPorts(SerialExchange& exchange, const QStringList& ports, ReplyBuffer& reply,
                                     const SerialSearchProgress& progress = {});

} // namespace thermo4::link
