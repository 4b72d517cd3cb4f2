#pragma once

#include <cstdint>

namespace thermo4::core {

/// Result of a meter transaction: 0 is success, any other value names the step
/// that failed. Each transaction family has its own block of codes.
using LinkResult = std::int32_t;

inline constexpr LinkResult kLinkOk = 0;

/// The logger download over either link (the serial link uses 3 and 9; USB the others).
struct DownloadResult {
    /// Every byte of the transfer size arrived.
    static constexpr LinkResult kOk = 0;
    /// Serial: the block loop ended early: no progress for 5 s, more than 20 blocks
    /// refused in a row, or the port went away.
    static constexpr LinkResult kIncomplete = 3;
    /// Serial: three requests for the first block brought no good block.
    static constexpr LinkResult kNoFirstBlock = 9;
    /// USB: the main phase received everything but writing "q" failed.
    static constexpr LinkResult kEndWriteFailed = 125;
    // USB, before the first reply (and inside SeekBlockUsb):
    static constexpr LinkResult kOpen = 1002;
    static constexpr LinkResult kTimeouts = 1003;
    static constexpr LinkResult kWriteStart = 1004;
    static constexpr LinkResult kReadFirst = 1005;
    /// Byte 35 of the reply was not 0x05.
    static constexpr LinkResult kBadMarker = 1006;
    /// SeekBlockUsb only: the reply carried another block number.
    static constexpr LinkResult kWrongBlock = 1007;
    // USB, the last resume attempt:
    /// could not position the meter (the second seek failed);
    static constexpr LinkResult kResumeSeek = 1260;
    /// could not write "p";
    static constexpr LinkResult kResumeWrite = 1261;
    /// could not read a block (or got one out of order).
    static constexpr LinkResult kResumeRead = 1263;
    /// The download stopped because its progress asked it to (DownloadProgress::cancelled):
    /// not a code of the meter's, and nothing to tell the user about.
    static constexpr LinkResult kCancelled = -2;
};

/// Panel keys (HOLD, C/F, MAX/MIN/AVG, REC, Recall, MEM, backlight).
struct PanelKeyResult {
    static constexpr LinkResult kOpen = 7002;
    static constexpr LinkResult kTimeouts = 7003;
    static constexpr LinkResult kWriteCommand = 7004;
    static constexpr LinkResult kRead = 7005;
    static constexpr LinkResult kReplyCheck = 7006;
    /// The transport raised an error while reading or checking the reply.
    static constexpr LinkResult kLibraryError = 7007;
};

/// Reading the meter's settings and information ('X').
struct MeterInfoResult {
    static constexpr LinkResult kOpen = 201;
    static constexpr LinkResult kTimeouts = 202;
    static constexpr LinkResult kWriteCommand = 203;
    static constexpr LinkResult kRead = 204;
    static constexpr LinkResult kReplyCheck = 205;
};

/// Setting the clock ('t') and restoring the defaults ('s'); both send a data block.
struct ClockResult {
    static constexpr LinkResult kOpen = 401;
    static constexpr LinkResult kTimeouts = 402;
    static constexpr LinkResult kWriteCommand = 403;
    static constexpr LinkResult kWriteBlock = 404;
    static constexpr LinkResult kRead = 405;
    static constexpr LinkResult kReplyCheck = 406;
};

/// Erasing the logger memory ('e'). There is no 504: no data block is sent.
struct EraseResult {
    static constexpr LinkResult kOpen = 501;
    static constexpr LinkResult kTimeouts = 502;
    static constexpr LinkResult kWriteCommand = 503;
    static constexpr LinkResult kRead = 505;
    static constexpr LinkResult kReplyCheck = 506;
};

/// Setting the recording interval ('I'), including the checks of the typed input.
struct IntervalResult {
    static constexpr LinkResult kOpen = 600;
    static constexpr LinkResult kTimeouts = 602;
    static constexpr LinkResult kWriteCommand = 603;
    static constexpr LinkResult kRead = 604;
    static constexpr LinkResult kReplyCheck = 605;
    /// The minutes text is not an integer.
    static constexpr LinkResult kInvalidMinutes = 620;
    /// The seconds text is not an integer.
    static constexpr LinkResult kInvalidSeconds = 622;
    /// Minutes or seconds above 60.
    static constexpr LinkResult kOutOfRange = 623;
    /// Both minutes and seconds are 0.
    static constexpr LinkResult kZeroInterval = 624;
    static constexpr LinkResult kInvalidInputFirst = 620;
    static constexpr LinkResult kInvalidInputLast = 624;
    static constexpr bool isInvalidInput(LinkResult code) {
        return code >= kInvalidInputFirst && code <= kInvalidInputLast;
    }
};

/// Reading the calibration values: the first command ('Y') and the second ('Z').
/// The meter's codes overlap: 705 is both the first command's reply check, the
/// second command's open and the second command's reply check.
struct CalibrationResult {
    static constexpr LinkResult kFirstOpen = 701;
    static constexpr LinkResult kFirstTimeouts = 702;
    static constexpr LinkResult kFirstWriteCommand = 703;
    static constexpr LinkResult kFirstRead = 704;
    static constexpr LinkResult kSecondOpen = 705;
    static constexpr LinkResult kSecondTimeouts = 706;
    static constexpr LinkResult kSecondWriteCommand = 707;
    static constexpr LinkResult kSecondRead = 708;
    static constexpr LinkResult kReplyCheck = 705;
};

/// Reading one EEPROM byte ('r' with an address).
struct EepromReadResult {
    static constexpr LinkResult kOpen = 8000;
    static constexpr LinkResult kTimeouts = 8001;
    static constexpr LinkResult kWriteCommand = 8002;
    static constexpr LinkResult kRead = 8003;
    /// The reply does not repeat bytes 0 and 1 of the frame.
    static constexpr LinkResult kEchoCheck = 8004;
};

/// Writing one EEPROM byte ('W'), also used by Bluetooth-on and quick recording.
struct EepromWriteResult {
    static constexpr LinkResult kOpen = 9000;
    static constexpr LinkResult kTimeouts = 9001;
    static constexpr LinkResult kWriteCommand = 9002;
    static constexpr LinkResult kRead = 9003;
    static constexpr LinkResult kEchoCheck = 9004;
};

} // namespace thermo4::core
