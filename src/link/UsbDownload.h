#pragma once

#include "core/LinkResult.h"
#include "core/MemoryImage.h"
#include "link/DownloadProgress.h"
#include "link/UsbExchange.h"

#include <cstdint>

namespace thermo4::link {

/// Reads the logger memory block by block into image (appending; the caller
/// empties it first and again when the code is not 0). The caller has waited
/// for the poll and stopped it, and holds the link meanwhile. Every wait goes
/// through the exchange's clock (processing window messages). A block that is
/// not the next one expected (bytes 32, 33) is never appended: it ends the main
/// phase like an unmended read failure, so the resume phase repositions; each
/// resume attempt is told to the progress (waiting). A cancelled progress stops
/// the transfer after the block or wait under way: "q" ends it, DownloadResult::kCancelled.
/// Codes: core::DownloadResult. The device is left open.
core::LinkResult DownloadOverUsb(UsbExchange& exchange, core::MemoryImage& image,
                                 DownloadProgress* progress = nullptr);

/// Positions the meter at block (numbered from 1) with "P" and reads it into the
/// reply: 0 when the reply carries that block number; 1002 to 1007 otherwise.
core::LinkResult SeekBlockUsb(UsbExchange& exchange, std::int32_t block);

} // namespace thermo4::link
