#pragma once

#include "core/Calibration.h"
#include "sim/DisplayState.h"
#include "sim/LiveFrameEncoder.h"
#include "sim/LoggerMemory.h"
#include "sim/MeterFaults.h"
#include "sim/ReadingModel.h"

#include <QDateTime>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace thermo4::link {
class Clock;
}

namespace thermo4::sim {

/// The calibration values a virtual meter starts with.
inline constexpr core::CalibrationValues kDefaultCalibration{
    {1.0f, 1.0012f, 0.9987f, 1.0003f}, {0.0f, 0.15f, -0.2f, 0.05f}, {0.1f, -0.05f, 0.0f, 0.2f}};

/// One command frame or data block as the virtual meter received it.
struct ReceivedItem {
    bool isBlock = false;
    std::vector<std::uint8_t> bytes;
    /// The command letter (byte 1 of a frame), '#' for a data block.
    char letter() const { return isBlock || bytes.size() < 2 ? '#' : static_cast<char>(bytes[1]); }
};

/// The meter's side of the protocol: answers identify, live reads, the panel keys,
/// the logger download and the setup commands the way the hand-held meter does,
/// from a display state that follows its probes over time (on the shared Clock),
/// a logger memory that also holds its settings, and scripted faults. Feed it
/// command frames and data blocks, then take its reply.
class VirtualMeter {
public:
    static constexpr std::size_t kShortReplySize = 32;
    static constexpr std::size_t kBlockReplySize = 36;
    static constexpr std::int64_t kMeasurePeriodMs = 500;

    explicit VirtualMeter(link::Clock& clock, std::uint32_t seed = 1);

    /// A 7-byte command frame arrives. Any earlier reply not yet taken is dropped.
    void receiveCommand(std::span<const std::uint8_t> frame);
    /// A 32-byte data block arrives after its command.
    void receiveBlock(std::span<const std::uint8_t> block);
    /// The reply to the last command (the caller serves it at its read length);
    /// nothing when the meter does not answer. A reply is taken only once.
    std::optional<std::vector<std::uint8_t>> takeReply();

    /// Everything received, in order.
    const std::vector<ReceivedItem>& received() const { return m_received; }
    /// The letters of everything received, e.g. "KAAPpprpq" ('#' for a data block).
    std::string receivedLetters() const;
    void clearReceived() { m_received.clear(); }

    /// What the LCD shows now (the meter catches up with the clock first).
    DisplayState display();
    /// The live frame the meter would send now.
    LiveFrame liveFrame();

    /// Model code of the identify reply, three ASCII characters ("418").
    void setModel(const std::string& code) { m_model = code; }
    const std::string& model() const { return m_model; }
    const std::string& serialNumber() const { return m_serialNumber; }
    /// The USB serial number the meter reports.
    void setSerialNumber(const std::string& text) { m_serialNumber = text; }
    /// Where the meter is listed on USB (e.g. "/dev/hidraw-sim1"); empty: a path of the program's own.
    const std::string& usbPath() const { return m_usbPath; }
    void setUsbPath(const std::string& path) { m_usbPath = path; }
    /// Probe state of channel 0..3: a reading, over range ("OL") or none ("----").
    void setProbe(int channel, ChannelShow show);
    /// Pins channel 0..3 to a fixed temperature (°C) instead of the drifting model; nullopt frees it.
    void setFixedCelsius(int channel, std::optional<double> celsius);
    /// Thermocouple type 0..6 (K J E T N R S), kept in the memory's settings.
    void setThermocoupleType(std::uint8_t type) { m_memory.setThermocoupleType(type); }
    /// Starts the probe model over with another seed (same clock, other temperatures).
    void setSeed(std::uint32_t seed) { m_probes = ReadingModel(seed); }
    void setBatteryLevel(int level) { m_battery = level; }
    /// Logger interval of the REC key, s (at least 1), kept in the memory's settings.
    void setRecordIntervalSeconds(int seconds) { m_memory.setIntervalSeconds(seconds < 1 ? 1 : seconds); }
    /// The meter's own clock (set by the clock command; starts at the Clock's time).
    QDateTime meterNow() const;
    /// Captured frames replayed in order, then from the first, as replies to "A"; empty: encode live.
    void setLiveFrames(std::vector<LiveFrame> frames);

    /// Gains, external offsets and CJC offsets of T1..T4 that the calibration commands report.
    void setCalibration(const core::CalibrationValues& values) { m_calibration = values; }
    const core::CalibrationValues& calibration() const { return m_calibration; }

    LoggerMemory& memory() { return m_memory; }
    const LoggerMemory& memory() const { return m_memory; }
    MeterFaults& faults() { return m_faults; }
    bool recording() const { return m_recording; }

private:
    enum class Stats { Off, Max, Min, Avg, All };

    void advance();
    void measure(std::int64_t tickMs, bool forStats);
    std::array<double, 4> celsiusAt(std::int64_t tickMs) const;
    /// °C the digits show now, HOLD aside: the probes or the chosen statistic.
    std::array<double, 4> shownCelsius() const;
    void takeSample(std::int64_t tickMs);
    void handleKey(char letter);
    void startRecording();
    void stopRecording();
    void serveBlock(int number, bool seek);
    std::vector<std::uint8_t> blockReply(int number, int reported) const;
    std::vector<std::uint8_t> shortReply(char letter) const;
    std::vector<std::uint8_t> okReply(char letter, bool ok) const;
    void handleSetup(std::span<const std::uint8_t> frame);
    /// Uses up one refusal of letter (MeterFaults::refuseReplies); true when the command is refused.
    bool refuses(char letter);
    std::vector<std::uint8_t> refusedReply(char letter) const;
    std::vector<std::uint8_t> informationReply() const;
    std::vector<std::uint8_t> calibrationReply(char letter) const;
    void setClockFrom(std::span<const std::uint8_t> block);
    void setDefaultsFrom(std::span<const std::uint8_t> block);

    link::Clock& m_clock;
    ReadingModel m_probes;
    std::string m_model = "418";
    std::string m_serialNumber = "VM0001";
    std::string m_usbPath;
    MeterFaults m_faults;
    LoggerMemory m_memory;
    std::vector<ReceivedItem> m_received;
    std::optional<std::vector<std::uint8_t>> m_reply;

    std::array<ChannelShow, 4> m_probe{};
    std::array<std::optional<double>, 4> m_fixed{};
    int m_battery = 3;
    bool m_fahrenheit = false;
    bool m_hold = false;
    std::array<double, 4> m_held{}; // °C shown when HOLD was pressed
    bool m_recall = false;
    bool m_mem = false;
    bool m_backlight = false;

    Stats m_stats = Stats::Off;
    std::array<double, 4> m_max{}, m_min{}, m_sum{}; // °C since the mode began
    std::array<int, 4> m_count{};

    bool m_recording = false;
    bool m_full = false;
    int m_recordIntervalS = 1; // of the recording in progress
    LoggedDataSet m_set;
    std::int64_t m_nextSampleMs = 0;
    std::int64_t m_nextMeasureMs = 0;

    std::vector<LiveFrame> m_liveFrames;
    std::size_t m_nextLiveFrame = 0;
    int m_liveReads = 0;

    std::int64_t m_clockOffsetMs = 0; // meter clock minus the Clock's date-time
    char m_awaitingBlock = 0;         // 't' or 's' until its data block arrives
    core::CalibrationValues m_calibration = kDefaultCalibration;

    int m_blockPos = 0; // last block handed out by the download
    bool m_stalled = false;
    bool m_dead = false;
};

} // namespace thermo4::sim
