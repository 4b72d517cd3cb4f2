#pragma once

#include "core/CommandFrame.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace thermo4::core {

// Command letters (byte 1 of a CommandFrame). Letters are case-sensitive.
inline constexpr char kIdentify = 'K';
inline constexpr char kLiveRead = 'A';
inline constexpr char kHold = 'H';
inline constexpr char kUnit = 'C';
inline constexpr char kMaxMinAvg = 'M';
inline constexpr char kMaxMinAvgExit = 'N';
inline constexpr char kRecord = 'E';
inline constexpr char kRecall = 'R';
inline constexpr char kMemory = 'm';
inline constexpr char kBacklight = 'B';
inline constexpr char kDownloadStart = 'P';
inline constexpr char kDownloadNext = 'p';
/// Sent once after a failed block read of the USB download; shares its letter with kEepromRead.
inline constexpr char kDownloadRetry = 'r';
inline constexpr char kRepeatBlock = 'n';
inline constexpr char kDownloadEnd = 'q';
inline constexpr char kAbort = 'Q';
inline constexpr char kReadInfo = 'X';
inline constexpr char kSetClock = 't';
inline constexpr char kErase = 'e';
inline constexpr char kInterval = 'I';
inline constexpr char kDefaults = 's';
inline constexpr char kEepromWrite = 'W';
inline constexpr char kEepromRead = 'r';
inline constexpr char kCalibration1 = 'Y';
inline constexpr char kCalibration2 = 'Z';

// Reply lengths in bytes.
inline constexpr std::size_t kShortReplySize = 32;
inline constexpr std::size_t kBlockReplySize = 36;
inline constexpr std::size_t kLiveFrameSize = 64;
/// Data block that follows the clock and defaults commands.
inline constexpr std::size_t kDataBlockSize = 32;

/// The model code the identify reply carries in bytes 23 to 25.
inline constexpr std::string_view kModelCode = "418";
inline constexpr std::size_t kModelCodeOffset = 23;

/// Marker in byte 35 of a download block reply.
inline constexpr std::uint8_t kBlockReplyMarker = 5;

/// How a sender recognises a good reply.
enum class ReplyCheck {
    None,          ///< nothing is read
    ReadSucceeds,  ///< any reply of the right length
    OkAt2,         ///< bytes 2, 3 are "OK"
    OkAt28,        ///< bytes 28, 29 are "OK"
    OkAt30,        ///< bytes 30, 31 are "OK"
    EchoFrame,     ///< bytes 0, 1 repeat bytes 0, 1 of the frame
    ModelCode,     ///< bytes 23 to 25 are kModelCode
    FrameMarkers,  ///< byte 0 is 0x02 and byte 63 is 0x03
    BlockMarker,   ///< byte 35 is kBlockReplyMarker (block number and checksum are the link's)
    BlockChecksum, ///< byte 34 is the low 8 bits of the sum of bytes 0 to 31
    MeterInfo,     ///< judged by the information read-out itself
};

/// Which links carry a command (bit set).
enum LinkMask : unsigned { kUsbLink = 1u, kSerialLink = 2u, kBothLinks = 3u };

/// One use of a command letter. Some letters have two uses ('A', 'r').
struct CommandInfo {
    char letter;
    std::string_view name;
    /// Bytes read in reply; 0 when nothing is read.
    std::size_t replyLength;
    ReplyCheck check;
    /// True when the reply is read only to clear it and its content is dropped.
    bool replyDropped;
    /// A 32-byte data block follows the frame.
    bool hasDataBlock;
    unsigned links;
    std::string_view purpose;
};

/// Every use of every command the program sends, in catalogue order.
std::span<const CommandInfo> CommandCatalogue();

/// The catalogue entry with this name (e.g. "identify", "eepromRead"), or nullptr.
const CommandInfo* FindCommand(std::string_view name);

/// True when bytes at..at+1 of reply are "OK".
bool ReplyHasOk(std::span<const std::uint8_t> reply, std::size_t at);
/// True when reply bytes 0, 1 repeat frame bytes 0, 1.
bool ReplyEchoesFrame(std::span<const std::uint8_t> reply, const CommandFrame& frame);
/// True when reply bytes 23 to 25 hold the model code "418".
bool ReplyHasModelCode(std::span<const std::uint8_t> reply);
/// True when a 64-byte live frame starts with 0x02 and ends with 0x03.
bool LiveFrameMarkersOk(std::span<const std::uint8_t> frame);
/// Low 8 bits of the sum of bytes first..last (inclusive) of data.
std::uint8_t Checksum8(std::span<const std::uint8_t> data, std::size_t first, std::size_t last);

/// Applies check to reply; frame is the frame that was sent (for EchoFrame).
/// A reply shorter than the check needs is never good.
bool ReplyIsGood(ReplyCheck check, std::span<const std::uint8_t> reply, const CommandFrame& frame);

} // namespace thermo4::core
