#include "core/Commands.h"

#include <array>

namespace thermo4::core {

namespace {

constexpr std::array<CommandInfo, 26> kCatalogue{{
    {kIdentify, "identify", kShortReplySize, ReplyCheck::ModelCode, false, false, kBothLinks,
     "ask for the meter's identity; the reply carries the model code"},
    {kLiveRead, "liveRead", kLiveFrameSize, ReplyCheck::FrameMarkers, false, false, kBothLinks,
     "read the live frame; on USB byte 5 carries the running sequence number"},
    {kLiveRead, "downloadResumeRead", kShortReplySize, ReplyCheck::ReadSucceeds, true, false, kUsbLink,
     "start of each resume attempt of a USB download"},
    {kHold, "hold", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink, "panel key HOLD"},
    {kUnit, "unit", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink, "panel key C/F"},
    {kMaxMinAvg, "maxMinAvg", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink,
     "panel key MAX/MIN/AVG"},
    {kMaxMinAvgExit, "maxMinAvgExit", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink,
     "panel key MAX/MIN/AVG, double click"},
    {kRecord, "record", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink, "panel key REC"},
    {kRecall, "recall", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink, "panel key Recall"},
    {kMemory, "memory", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink, "panel key MEM"},
    {kBacklight, "backlight", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink,
     "panel key backlight"},
    {kDownloadStart, "downloadStart", kBlockReplySize, ReplyCheck::BlockMarker, false, false, kBothLinks,
     "start or resume a memory download; on USB bytes 2, 3 are the block number, high byte first"},
    {kDownloadNext, "downloadNext", kBlockReplySize, ReplyCheck::ReadSucceeds, false, false, kBothLinks,
     "next block of the download (the serial link also checks byte 34)"},
    {kDownloadRetry, "downloadRetry", kBlockReplySize, ReplyCheck::ReadSucceeds, true, false, kUsbLink,
     "sent once after a failed block read of the USB download"},
    {kRepeatBlock, "repeatBlock", kBlockReplySize, ReplyCheck::BlockChecksum, false, false, kSerialLink,
     "repeat a block after a bad checksum or a short reply"},
    {kDownloadEnd, "downloadEnd", 0, ReplyCheck::None, false, false, kBothLinks,
     "end of the USB block transfer, or giving up after too many refused serial blocks"},
    {kAbort, "abort", 0, ReplyCheck::None, false, false, kBothLinks,
     "after a failed download or EEPROM operation (USB), at the end of every serial download"},
    {kReadInfo, "readInfo", kLiveFrameSize, ReplyCheck::MeterInfo, false, false, kUsbLink,
     "read the meter's settings and information"},
    {kSetClock, "setClock", kShortReplySize, ReplyCheck::OkAt2, false, true, kUsbLink,
     "set the meter's clock; the data block holds the date and time in BCD and \"rtc\""},
    {kErase, "erase", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink, "erase the logger memory"},
    {kInterval, "interval", kShortReplySize, ReplyCheck::OkAt2, false, false, kUsbLink,
     "set the recording interval; byte 2 minutes, byte 3 seconds, both BCD"},
    {kDefaults, "defaults", kShortReplySize, ReplyCheck::OkAt2, false, true, kUsbLink,
     "restore defaults; the data block starts with \"ALL\""},
    {kEepromWrite, "eepromWrite", kShortReplySize, ReplyCheck::EchoFrame, false, false, kUsbLink,
     "write one EEPROM byte; bytes 2 to 4 address (high first), byte 5 value"},
    {kEepromRead, "eepromRead", kShortReplySize, ReplyCheck::EchoFrame, false, false, kUsbLink,
     "read one EEPROM byte; bytes 2 to 4 address (high first), value in reply byte 5"},
    {kCalibration1, "calibration1", kShortReplySize, ReplyCheck::OkAt28, false, false, kUsbLink,
     "read the first set of calibration values"},
    {kCalibration2, "calibration2", kShortReplySize, ReplyCheck::OkAt30, false, false, kUsbLink,
     "read the second set of calibration values"},
}};

} // namespace

std::span<const CommandInfo> CommandCatalogue() {
    return kCatalogue;
}

const CommandInfo* FindCommand(std::string_view name) {
    for (const CommandInfo& info : kCatalogue) {
        if (info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

bool ReplyHasOk(std::span<const std::uint8_t> reply, std::size_t at) {
    return reply.size() >= at + 2 && reply[at] == 'O' && reply[at + 1] == 'K';
}

bool ReplyEchoesFrame(std::span<const std::uint8_t> reply, const CommandFrame& frame) {
    return reply.size() >= 2 && reply[0] == frame.bytes[0] && reply[1] == frame.bytes[1];
}

bool ReplyHasModelCode(std::span<const std::uint8_t> reply) {
    if (reply.size() < kModelCodeOffset + kModelCode.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kModelCode.size(); ++i) {
        if (reply[kModelCodeOffset + i] != static_cast<std::uint8_t>(kModelCode[i])) {
            return false;
        }
    }
    return true;
}

bool LiveFrameMarkersOk(std::span<const std::uint8_t> frame) {
    return frame.size() >= kLiveFrameSize && frame[0] == CommandFrame::kStart &&
           frame[kLiveFrameSize - 1] == CommandFrame::kEnd;
}

std::uint8_t Checksum8(std::span<const std::uint8_t> data, std::size_t first, std::size_t last) {
    unsigned sum = 0;
    for (std::size_t i = first; i <= last && i < data.size(); ++i) {
        sum += data[i];
    }
    return static_cast<std::uint8_t>(sum & 0xFF);
}

bool ReplyIsGood(ReplyCheck check, std::span<const std::uint8_t> reply, const CommandFrame& frame) {
    switch (check) {
    case ReplyCheck::None:
    case ReplyCheck::ReadSucceeds:
    case ReplyCheck::MeterInfo:
        return true;
    case ReplyCheck::OkAt2:
        return ReplyHasOk(reply, 2);
    case ReplyCheck::OkAt28:
        return ReplyHasOk(reply, 28);
    case ReplyCheck::OkAt30:
        return ReplyHasOk(reply, 30);
    case ReplyCheck::EchoFrame:
        return ReplyEchoesFrame(reply, frame);
    case ReplyCheck::ModelCode:
        return ReplyHasModelCode(reply);
    case ReplyCheck::FrameMarkers:
        return LiveFrameMarkersOk(reply);
    case ReplyCheck::BlockMarker:
        return reply.size() >= kBlockReplySize && reply[35] == kBlockReplyMarker;
    case ReplyCheck::BlockChecksum:
        return reply.size() >= kBlockReplySize && reply[34] == Checksum8(reply, 0, 31);
    }
    return false;
}

} // namespace thermo4::core
