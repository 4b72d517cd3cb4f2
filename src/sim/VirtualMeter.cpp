#include "sim/VirtualMeter.h"

#include "link/Clock.h"

#include <algorithm>
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
    QDateTime start = m_clock.now();
    start.setTime(QTime(start.time().hour(), start.time().minute(), start.time().second()));
    m_set = LoggedDataSet{start, m_recordIntervalS, !m_fahrenheit, m_type, {}, {}};
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
    s.thermocoupleType = m_type;
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
    // Small digits: the number of stored data sets while Recall or MEM is lit,
    // otherwise the letter of an N, R or S thermocouple (S drawn as a 5).
    if (m_recall || m_mem) {
        const int sets = m_memory.dataSetCount() % 100;
        s.smallGlyphs = {static_cast<std::uint8_t>(sets / 10), static_cast<std::uint8_t>(sets % 10)};
    } else if (m_type >= 4 && m_type <= 6) {
        static constexpr std::array<std::uint8_t, 3> kLetters{21, 22, 5};
        s.smallGlyphs = {kLetters[m_type - 4u], 16};
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
    case 'P':
        m_stalled = false;
        serveBlock(frame[2] << 8 | frame[3], true);
        break;
    case 'p':
        serveBlock(m_blockPos + 1, false);
        break;
    case 'r': { // after a failed block read: re-send the block the meter last counted as sent
        const int dead = m_faults.deadAfterBlock;
        if (m_blockPos > 0 && !m_stalled && !(dead >= 0 && m_blockPos >= dead))
            m_reply = blockReply(m_blockPos, m_blockPos);
        break;
    }
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
}

std::optional<std::vector<std::uint8_t>> VirtualMeter::takeReply() {
    auto reply = std::move(m_reply);
    m_reply.reset();
    return reply;
}

} // namespace thermo4::sim
