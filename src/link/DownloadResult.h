#pragma once

#include "core/LinkResult.h"

namespace thermo4::link {

/// Result codes of the logger download over USB (DownloadOverUsb, SeekBlockUsb).
struct UsbDownloadResult {
    /// Every byte of the transfer size arrived.
    static constexpr core::LinkResult kOk = 0;
    /// The main phase received everything but writing "q" failed.
    static constexpr core::LinkResult kEndWriteFailed = 125;
    // Before the first reply (and inside SeekBlockUsb):
    static constexpr core::LinkResult kOpen = 1002;
    static constexpr core::LinkResult kTimeouts = 1003;
    static constexpr core::LinkResult kWriteStart = 1004;
    static constexpr core::LinkResult kReadFirst = 1005;
    /// Byte 35 of the reply was not 0x05.
    static constexpr core::LinkResult kBadMarker = 1006;
    /// SeekBlockUsb only: the reply carried another block number.
    static constexpr core::LinkResult kWrongBlock = 1007;
    // The last resume attempt:
    /// could not position the meter (the second seek failed);
    static constexpr core::LinkResult kResumeSeek = 1260;
    /// could not write "p";
    static constexpr core::LinkResult kResumeWrite = 1261;
    /// could not read a block (or got one out of order).
    static constexpr core::LinkResult kResumeRead = 1263;
};

/// Result codes of the logger download over the serial link (DownloadOverSerial).
struct SerialDownloadResult {
    /// The transfer size arrived.
    static constexpr core::LinkResult kOk = 0;
    /// The block loop ended early: no progress for 5 s, more than 20 blocks
    /// refused in a row, or the port went away.
    static constexpr core::LinkResult kIncomplete = 3;
    /// Three requests for the first block brought no good block.
    static constexpr core::LinkResult kNoFirstBlock = 9;
};

/// Either download stopped because its progress asked it to (DownloadProgress::cancelled):
/// not a code of the meter's, and nothing to tell the user about.
inline constexpr core::LinkResult kDownloadCancelled = -2;

} // namespace thermo4::link
