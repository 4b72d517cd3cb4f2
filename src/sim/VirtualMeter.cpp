#include "sim/VirtualMeter.h"

#include "link/Clock.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace thermo4::sim {

namespace {

constexpr std::int64_t kMaxStatsSteps = 100000; // beyond this a clock jump is sampled more coarsely

double toUnit(double celsius, bool fahrenheit) {
    return fahrenheit ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}

int toTenths(double degrees) {
    const double t = std::round(degrees * 10.0);
    return static_cast<int>(std::clamp(t, -32768.0, 32767.0));
}

} // namespace

VirtualMeter::VirtualMeter(link::Clock& clock, std::uint32_t seed)
    : m_clock(clock), m_probes(seed), m_nextMeasureMs(clock.tickMs()) {}

QDateTime VirtualMeter::meterNow() const {
    return m_clock.now().addMSecs(m_clockOffsetMs);
}

std::string VirtualMeter::receivedLetters() const {
    std::string letters;
    letters.reserve(m_received.size());
    for (const ReceivedItem& item : m_received)
        letters += item.letter();
    return letters;
}

void VirtualMeter::setProbe(int channel, ChannelShow show) {
    if (channel >= 0 && channel < 4)
        m_probe[static_cast<std::size_t>(channel)] = show;
}

void VirtualMeter::setFixedCelsius(int channel, std::optional<double> celsius) {
    if (channel >= 0 && channel < 4)
        m_fixed[static_cast<std::size_t>(channel)] = celsius;
}

void VirtualMeter::setLiveFrames(std::vector<LiveFrame> frames) {
    m_liveFrames = std::move(frames);
    m_nextLiveFrame = 0;
}

std::array<double, 4> VirtualMeter::celsiusAt(std::int64_t tickMs) const {
    std::array<double, 4> c{};
    for (std::size_t ch = 0; ch < 4; ++ch)
        c[ch] = m_fixed[ch] ? *m_fixed[ch] : m_probes.celsius(static_cast<int>(ch), tickMs);
    return c;
}

void VirtualMeter::measure(std::int64_t tickMs, bool forStats) {
    if (!forStats)
        return;
    const auto c = celsiusAt(tickMs);
    for (std::size_t ch = 0; ch < 4; ++ch) {
        if (m_probe[ch] != ChannelShow::Reading)
            continue;
        m_max[ch] = m_count[ch] == 0 ? c[ch] : std::max(m_max[ch], c[ch]);
        m_min[ch] = m_count[ch] == 0 ? c[ch] : std::min(m_min[ch], c[ch]);
        m_sum[ch] += c[ch];
        ++m_count[ch];
    }
}

// Catches up with the clock: statistics every 500 ms, logger samples every interval.
void VirtualMeter::advance() {
    const std::int64_t now = m_clock.tickMs();
    if (now >= m_nextMeasureMs) {
        const std::int64_t steps = (now - m_nextMeasureMs) / kMeasurePeriodMs + 1;
        if (m_stats != Stats::Off) {
            const std::int64_t stride = steps > kMaxStatsSteps ? steps / kMaxStatsSteps + 1 : 1;
            for (std::int64_t i = 0; i < steps; i += stride)
                measure(m_nextMeasureMs + i * kMeasurePeriodMs, true);
        }
        m_nextMeasureMs += steps * kMeasurePeriodMs;
    }
    while (m_recording && m_nextSampleMs <= now) {
        takeSample(m_nextSampleMs);
        m_nextSampleMs += std::int64_t{m_recordIntervalS} * 1000;
    }
}

void VirtualMeter::takeSample(std::int64_t tickMs) {
    if (!m_memory.fits(m_set.samples.size() + 1)) {
        stopRecording();
        m_full = true;
        return;
    }
    const auto c = celsiusAt(tickMs);
    std::array<std::int16_t, 4> point{};
    for (std::size_t ch = 0; ch < 4; ++ch) {
        if (m_probe[ch] == ChannelShow::OverRange)
            point[ch] = LoggerMemory::kOverRangeSample;
        else if (m_probe[ch] == ChannelShow::NoReading)
            point[ch] = LoggerMemory::kNoReadingSample;
        else // keep clear of the two marker values
            point[ch] = static_cast<std::int16_t>(std::clamp(toTenths(toUnit(c[ch], true)), -32767, 32766));
    }
    m_set.samples.push_back(point);
}

void VirtualMeter::startRecording() {
    if (!m_memory.fits(1)) {
        m_full = true;
        return;
    }
    m_full = false;
    QDateTime start = meterNow();
    start.setTime(QTime(start.time().hour(), start.time().minute(), start.time().second()));
    m_recordIntervalS = std::max(1, m_memory.intervalSeconds());
    m_set = LoggedDataSet{
        start, m_recordIntervalS, !m_fahrenheit, m_memory.thermocoupleType(), m_memory.offsets(), {}};
    m_recording = true;
    m_nextSampleMs = m_clock.tickMs();
    advance(); // the first sample is taken at once
}

void VirtualMeter::stopRecording() {
    m_recording = false;
    if (!m_set.samples.empty())
        m_memory.append(m_set); // fits: every sample was checked before it was taken
    m_set.samples.clear();
}

void VirtualMeter::handleKey(char letter) {
    switch (letter) {
    case 'H':
        if (!m_hold)
            m_held = shownCelsius();
        m_hold = !m_hold;
        break;
    case 'C':
        m_fahrenheit = !m_fahrenheit;
        break;
    case 'M':
        switch (m_stats) {
        case Stats::Off:
            m_max = m_min = m_sum = {};
            m_count = {};
            measure(m_clock.tickMs(), true);
            m_stats = Stats::Max;
            break;
        case Stats::Max:
            m_stats = Stats::Min;
            break;
        case Stats::Min:
            m_stats = Stats::Avg;
            break;
        case Stats::Avg:
            m_stats = Stats::All;
            break;
        case Stats::All:
            m_stats = Stats::Max;
            break;
        }
        break;
    case 'N':
        m_stats = Stats::Off;
        break;
    case 'E':
        if (m_recording)
            stopRecording();
        else
            startRecording();
        break;
    case 'R':
        m_recall = !m_recall;
        break;
    case 'm':
        m_mem = !m_mem;
        break;
    case 'B':
        m_backlight = !m_backlight;
        break;
    default:
        break;
    }
}

std::array<double, 4> VirtualMeter::shownCelsius() const {
    std::array<double, 4> shown = celsiusAt(m_clock.tickMs());
    for (std::size_t ch = 0; ch < 4; ++ch) {
        if (m_count[ch] == 0)
            continue;
        if (m_stats == Stats::Max)
            shown[ch] = m_max[ch];
        else if (m_stats == Stats::Min)
            shown[ch] = m_min[ch];
        else if (m_stats == Stats::Avg)
            shown[ch] = m_sum[ch] / m_count[ch];
    }
    return shown;
}

DisplayState VirtualMeter::display() {
    advance();
    DisplayState s;
    const std::array<double, 4> shown = m_hold ? m_held : shownCelsius();
    s.fahrenheit = m_fahrenheit;
    for (std::size_t ch = 0; ch < 4; ++ch) {
        s.show[ch] = m_probe[ch];
        s.tenths[ch] = m_probe[ch] == ChannelShow::Reading ? toTenths(toUnit(shown[ch], m_fahrenheit)) : 0;
    }
    const std::uint8_t type = m_memory.thermocoupleType();
    s.thermocoupleType = type;
    s.hold = m_hold;
    switch (m_stats) {
    case Stats::Off:
        break;
    case Stats::Max:
        s.statsLabel = StatsLabel::Max;
        break;
    case Stats::Min:
        s.statsLabel = StatsLabel::Min;
        break;
    case Stats::Avg:
        s.statsLabel = StatsLabel::Avg;
        break;
    case Stats::All: // statistics running, current readings shown, all three labels blinking
        s.statsLabel = StatsLabel::All;
        s.statsMode = true;
        s.statsBlink = true;
        break;
    }
    s.recording = m_recording;
    s.recBlink = m_recording;
    s.recIcon = m_recording;
    s.full = m_full;
    s.recall = m_recall;
    s.mem = m_mem;
    s.backlight = m_backlight;
    s.batteryLevel = m_battery;
    s.bluetooth = m_memory.byteAt(LoggerMemory::kBluetoothAt) == 1;
    s.autoOff = m_memory.byteAt(LoggerMemory::kAutoOffAt) != 0;
    s.difference = m_memory.byteAt(LoggerMemory::kDifferenceAt) != 0;
    s.alarm = m_memory.byteAt(LoggerMemory::kAlarmAt) != 0;
    if (s.alarm) { // limits in whole °F
        const double hi = m_memory.signedWord(LoggerMemory::kHighLimitAt);
        const double lo = m_memory.signedWord(LoggerMemory::kLowLimitAt);
        for (std::size_t ch = 0; ch < 4; ++ch) {
            if (m_probe[ch] != ChannelShow::Reading)
                continue;
            s.alarmHi = s.alarmHi || toUnit(shown[ch], true) > hi;
            s.alarmLo = s.alarmLo || toUnit(shown[ch], true) < lo;
        }
    }
    // Small digits: the number of stored data sets while Recall or MEM is lit,
    // otherwise the letter of an N, R or S thermocouple (S drawn as a 5).
    if (m_recall || m_mem) {
        const int sets = m_memory.dataSetCount() % 100;
        s.smallGlyphs = {static_cast<std::uint8_t>(sets / 10), static_cast<std::uint8_t>(sets % 10)};
    } else if (type >= 4 && type <= 6) {
        static constexpr std::array<std::uint8_t, 3> kLetters{21, 22, 5};
        s.smallGlyphs = {kLetters[type - 4u], 16};
    }
    return s;
}

LiveFrame VirtualMeter::liveFrame() {
    return EncodeLiveFrame(display());
}

std::vector<std::uint8_t> VirtualMeter::shortReply(char letter) const {
    std::vector<std::uint8_t> reply(kShortReplySize, 0x00);
    reply[0] = 0x02;
    reply[1] = static_cast<std::uint8_t>(letter);
    return reply;
}

// 32 memory bytes, the block number (high byte first), their 8-bit sum, 0x05.
std::vector<std::uint8_t> VirtualMeter::blockReply(int number, int reported) const {
    const auto data = m_memory.block(number);
    std::vector<std::uint8_t> reply(kBlockReplySize, 0x00);
    unsigned sum = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        reply[i] = data[i];
        sum += data[i];
    }
    reply[32] = static_cast<std::uint8_t>((reported >> 8) & 0xFF);
    reply[33] = static_cast<std::uint8_t>(reported & 0xFF);
    reply[34] = static_cast<std::uint8_t>(sum & 0xFF);
    reply[35] = 0x05;
    return reply;
}

std::vector<std::uint8_t> VirtualMeter::okReply(char letter, bool ok) const {
    auto reply = shortReply(letter);
    reply[2] = ok ? 'O' : 'N';
    reply[3] = ok ? 'K' : 'G';
    return reply;
}

void VirtualMeter::serveBlock(int number, bool seek) {
    const int dead = m_faults.deadAfterBlock;
    if (!seek && (m_stalled || (dead >= 0 && number > dead)))
        return;
    if (m_faults.failBlockReads.erase(number) > 0) {
        m_blockPos = m_faults.resendFailedBlockOnRetry ? number : number - 1;
        return;
    }
    const int reported = seek && m_faults.seekAnswersWrongBlock ? number + 1 : number;
    auto reply = blockReply(number, reported);
    if (m_faults.badChecksumBlocks.erase(number) > 0)
        ++reply[34];
    if (m_faults.badTrailerBlocks.erase(number) > 0)
        reply[35] = 0x00;
    if (m_faults.cutShortBlocks.erase(number) > 0)
        reply.resize(MeterFaults::kCutShortBytes);
    m_reply = std::move(reply);
    m_blockPos = number;
    if (number == m_faults.stallAfterBlock) {
        m_stalled = true;
        m_faults.stallAfterBlock = -1;
    }
}

void VirtualMeter::receiveCommand(std::span<const std::uint8_t> frame) {
    m_received.push_back(ReceivedItem{false, {frame.begin(), frame.end()}});
    m_reply.reset();
    m_awaitingBlock = 0;
    if (frame.size() != 7 || frame[0] != 0x02 || frame[6] != 0x03)
        return; // not a frame: the meter ignores it
    advance();
    const char letter = static_cast<char>(frame[1]);
    switch (letter) {
    case 'K': {
        auto reply = shortReply(letter);
        for (std::size_t i = 0; i < 3; ++i)
            reply[23 + i] = static_cast<std::uint8_t>(i < m_model.size() ? m_model[i] : ' ');
        m_reply = std::move(reply);
        break;
    }
    case 'A': {
        if (m_faults.failLiveReads.count(++m_liveReads) > 0)
            break;
        const LiveFrame f =
            m_liveFrames.empty() ? liveFrame() : m_liveFrames[m_nextLiveFrame++ % m_liveFrames.size()];
        m_reply = std::vector<std::uint8_t>(f.begin(), f.end());
        break;
    }
    case 'H':
    case 'C':
    case 'M':
    case 'N':
    case 'E':
    case 'R':
    case 'm':
    case 'B': {
        handleKey(letter);
        auto reply = shortReply(letter);
        reply[2] = 'O';
        reply[3] = 'K';
        m_reply = std::move(reply);
        break;
    }
    case 'P': // the serial link sends no block number: 0 starts at block 1 too
        m_stalled = false;
        serveBlock(std::max(1, frame[2] << 8 | frame[3]), true);
        break;
    case 'n': // serial link: the last block again, after a bad sum or a partial reply
        if (m_blockPos > 0 && !m_stalled)
            m_reply = blockReply(m_blockPos, m_blockPos);
        break;
    case 'p':
        serveBlock(m_blockPos + 1, false);
        break;
    case 'r': { // during a download: re-send the block last counted as sent; else an EEPROM read
        if (m_blockPos == 0) {
            handleSetup(frame);
            break;
        }
        const int dead = m_faults.deadAfterBlock;
        if (!m_stalled && !(dead >= 0 && m_blockPos >= dead))
            m_reply = blockReply(m_blockPos, m_blockPos);
        break;
    }
    case 'X':
    case 't':
    case 'I':
    case 'e':
    case 's':
    case 'W':
    case 'Y':
    case 'Z':
        handleSetup(frame);
        break;
    case 'q':
    case 'Q':
        m_blockPos = 0;
        break;
    default:
        break; // not a command this meter knows: no answer
    }
}

void VirtualMeter::receiveBlock(std::span<const std::uint8_t> block) {
    m_received.push_back(ReceivedItem{true, {block.begin(), block.end()}});
    const char letter = m_awaitingBlock;
    m_awaitingBlock = 0;
    if (block.size() != 32 || letter == 0)
        return; // a block nobody asked for is ignored
    if (refuses(letter)) {
        m_reply = refusedReply(letter);
        return;
    }
    if (letter == 't')
        setClockFrom(block);
    else
        setDefaultsFrom(block);
}

std::optional<std::vector<std::uint8_t>> VirtualMeter::takeReply() {
    auto reply = std::move(m_reply);
    m_reply.reset();
    return reply;
}

namespace {

bool isBcd(std::uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}
int fromBcd(std::uint8_t b) {
    return (b >> 4) * 10 + (b & 0x0F);
}
std::uint8_t toBcd(int v) {
    return static_cast<std::uint8_t>((v / 10 % 10) << 4 | v % 10);
}

} // namespace

// The setup commands: information, clock, interval, erase, defaults, EEPROM
// bytes (the EEPROM is the logger memory, settings header included), calibration.
void VirtualMeter::handleSetup(std::span<const std::uint8_t> frame) {
    const char letter = static_cast<char>(frame[1]);
    const std::size_t address = std::size_t{frame[2]} << 16 | std::size_t{frame[3]} << 8 | frame[4];
    if (letter != 't' && letter != 's' && refuses(letter)) {
        m_reply = refusedReply(letter);
        return;
    }
    switch (letter) {
    case 'X':
        m_reply = informationReply();
        break;
    case 't':
    case 's':
        m_awaitingBlock = letter; // answered once the data block has arrived
        break;
    case 'I': {
        const bool valid = isBcd(frame[2]) && isBcd(frame[3]) && (frame[2] | frame[3]) != 0;
        if (valid)
            m_memory.setIntervalSeconds(fromBcd(frame[2]) * 60 + fromBcd(frame[3]));
        m_reply = okReply(letter, valid);
        break;
    }
    case 'e':
        m_recording = false; // a recording in progress is dropped with the rest
        m_set.samples.clear();
        m_full = false;
        m_memory.erase();
        m_reply = okReply(letter, true);
        break;
    case 'W': {
        m_memory.setByte(address, frame[5]);
        auto reply = shortReply(letter);
        std::copy(frame.begin() + 2, frame.begin() + 6, reply.begin() + 2);
        m_reply = std::move(reply);
        break;
    }
    case 'r': {
        auto reply = shortReply(letter);
        std::copy(frame.begin() + 2, frame.begin() + 5, reply.begin() + 2);
        reply[5] = m_memory.byteAt(address);
        m_reply = std::move(reply);
        break;
    }
    case 'Y':
    case 'Z':
        m_reply = calibrationReply(letter);
        break;
    default:
        break;
    }
}

std::vector<std::uint8_t> VirtualMeter::informationReply() const {
    std::vector<std::uint8_t> reply(kLiveFrameSize, 0x00);
    for (std::size_t i = 2; i < LoggerMemory::kSettingsEnd; ++i)
        reply[i] = m_memory.byteAt(i);
    reply[0] = 'O';
    reply[1] = 'K';
    const QDateTime now = meterNow();
    const QDate date = now.date();
    const QTime time = now.time();
    reply[40] = toBcd(time.second());
    reply[41] = toBcd(time.minute());
    reply[42] = toBcd(time.hour());
    reply[43] = toBcd(date.day());
    reply[44] = toBcd(date.month());
    reply[45] = toBcd(date.dayOfWeek() % 7);
    reply[46] = toBcd(date.year() % 100);
    return reply;
}

bool VirtualMeter::refuses(char letter) {
    const auto it = m_faults.refuseReplies.find(letter);
    if (it == m_faults.refuseReplies.end() || it->second == 0)
        return false;
    if (it->second > 0)
        --it->second;
    return true;
}

// A reply of the right length whose acknowledgement is missing: no "OK" where the
// command expects it, no echo of the frame's first two bytes.
std::vector<std::uint8_t> VirtualMeter::refusedReply(char letter) const {
    std::vector<std::uint8_t> reply(letter == 'X' ? kLiveFrameSize : kShortReplySize, 0x00);
    if (letter != 'W' && letter != 'r')
        reply[1] = static_cast<std::uint8_t>(letter);
    return reply;
}

// Each value as the upper three bytes of its little-endian single-precision
// form (the lowest mantissa byte is dropped): 1.0 goes out as 00 80 3F.
std::vector<std::uint8_t> VirtualMeter::calibrationReply(char letter) const {
    std::vector<std::uint8_t> reply(kShortReplySize, 0x00);
    std::vector<float> values;
    if (letter == 'Y') {
        values.assign(m_calibration.gain.begin(), m_calibration.gain.end());
        values.insert(values.end(), m_calibration.externalOffset.begin(), m_calibration.externalOffset.end());
    } else {
        values.assign(m_calibration.cjcOffset.begin(), m_calibration.cjcOffset.end());
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto bits = std::bit_cast<std::uint32_t>(values[i]);
        reply[3 * i] = static_cast<std::uint8_t>(bits >> 8);
        reply[3 * i + 1] = static_cast<std::uint8_t>(bits >> 16);
        reply[3 * i + 2] = static_cast<std::uint8_t>(bits >> 24);
    }
    const std::size_t ok = letter == 'Y' ? 28 : 30;
    reply[ok] = 'O';
    reply[ok + 1] = 'K';
    return reply;
}

// Clock block: second, minute, hour, day, month in BCD at 0..4, the year in the
// century at 6, "rtc" at 8..10.
void VirtualMeter::setClockFrom(std::span<const std::uint8_t> b) {
    const bool marked = b[8] == 'r' && b[9] == 't' && b[10] == 'c';
    bool bcd = true;
    for (const std::size_t i : {0, 1, 2, 3, 4, 6})
        bcd = bcd && isBcd(b[i]);
    const QDate date(2000 + fromBcd(b[6]), fromBcd(b[4]), fromBcd(b[3]));
    const QTime time(fromBcd(b[2]), fromBcd(b[1]), fromBcd(b[0]));
    const bool ok = marked && bcd && date.isValid() && time.isValid(); // no 24:00, no 31 April
    if (ok)
        m_clockOffsetMs = m_clock.now().msecsTo(QDateTime(date, time));
    m_reply = okReply('t', ok);
}

// Defaults block: "ALL", then the settings at their header offsets.
void VirtualMeter::setDefaultsFrom(std::span<const std::uint8_t> b) {
    const bool ok = b[0] == 'A' && b[1] == 'L' && b[2] == 'L';
    if (ok) {
        for (const std::size_t i : {3, 4, 5, 6, 7, 13, 14, 15, 18, 21, 22, 23, 24, 25, 30})
            m_memory.setByte(i, b[i]);
        if ((b[8] | b[9]) == 0) { // no data set: the memory starts over
            m_recording = false;
            m_set.samples.clear();
            m_memory.erase();
        }
        for (const std::size_t i : {8, 9, 10, 11, 12})
            m_memory.setByte(i, b[i]);
    }
    m_reply = okReply('s', ok);
}

} // namespace thermo4::sim
