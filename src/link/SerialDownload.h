#pragma once

#include "core/LinkResult.h"
#include "core/MemoryImage.h"
#include "link/DownloadProgress.h"
#include "link/SerialExchange.h"

namespace thermo4::link {

/// Reads the logger memory over the serial link into image (appending; the
/// caller empties it first and again when the code is not 0). The caller has
/// waited for the poll and stopped it, and holds the link meanwhile.
///
/// "P" asks for the first block (3 attempts, 3 s each); every accepted block is
/// answered with "p", every refused one (wrong sum, not the next block number,
/// or a partial reply older than 1.5 s) with "n"; more than 20 refusals in a row
/// send "q"; 5 s without progress, or the port going away, end the transfer;
/// "Q" always ends it. The first wait lasts until the whole block is there (a
/// UART delivers it byte by byte). Every wait blocks on the port and processes
/// the program's events, so the windows stay drawn and a Cancel is seen; a
/// request sent again is told to the progress (waiting). A cancelled progress
/// stops the transfer within 100 ms of a wait: "Q" ends it, DownloadResult::kCancelled.
/// Codes: core::DownloadResult. The port is left open.
core::LinkResult DownloadOverSerial(SerialExchange& exchange, core::MemoryImage& image,
                                    DownloadProgress* progress = nullptr);

} // namespace thermo4::link
