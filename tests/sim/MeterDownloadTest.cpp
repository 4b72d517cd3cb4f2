#include "core/MemoryDecoder.h"
#include "link/UsbDownload.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

namespace thermo4::sim {
namespace {

// A memory whose every byte tells its own offset, so a wrong block shows.
LoggerMemory PatternMemory() {
    std::vector<std::uint8_t> bytes(40000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return LoggerMemory::fromImage(std::move(bytes));
}

// One command straight to the meter; the reply it leaves, if any.
std::optional<std::vector<std::uint8_t>> Send(VirtualMeter& meter, char letter, int block = 0) {
    core::CommandFrame f;
    f.setCommand(letter);
    f.param(1) = static_cast<std::uint8_t>(block >> 8);
    f.param(2) = static_cast<std::uint8_t>(block & 0xFF);
    meter.receiveCommand(f.span());
    return meter.takeReply();
}

// The block number a reply carries, or −1 for no reply.
int NumberOf(const std::optional<std::vector<std::uint8_t>>& reply) {
    return reply ? (*reply)[32] << 8 | (*reply)[33] : -1;
}

class MeterDownloadTest : public testing::Test {
protected:
    MeterDownloadTest() { meter.memory() = PatternMemory(); }
    std::optional<std::vector<std::uint8_t>> send(char letter, int block = 0) {
        return Send(meter, letter, block);
    }

    link::ManualClock clock;
    VirtualMeter meter{clock};
};

TEST_F(MeterDownloadTest, BlockReplyCarriesDataNumberSumAndMarker) {
    for (const int n : {1, 2, 88, 255, 256, 1250, 1251, 8192, 9000}) {
        SCOPED_TRACE(n);
        const auto reply = send('P', n);
        ASSERT_TRUE(reply);
        ASSERT_EQ(reply->size(), 36u);
        const auto data = meter.memory().block(n);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), reply->begin()));
        EXPECT_EQ(NumberOf(reply), n);
        EXPECT_EQ((*reply)[34], std::accumulate(data.begin(), data.end(), 0u) & 0xFF);
        EXPECT_EQ((*reply)[35], 0x05);
    }
    // Bytes past the stored image read as erased memory.
    EXPECT_EQ(meter.memory().block(1251)[31], 0xFF);
    EXPECT_EQ(meter.memory().block(1250)[31], meter.memory().bytes()[39999]);
}

constexpr int kNoReply = -1;
constexpr int kAnyReply = 0;
constexpr int kSameBlock = -2;

struct Exchange {
    char letter;
    int param;             // block number for "P"
    int number;            // block number in the reply, kNoReply, or kAnyReply (not a block)
    int data = kSameBlock; // whose data the reply carries, when not that block's
};

struct FaultCase {
    const char* name;
    std::function<void(MeterFaults&)> setUp;
    std::vector<Exchange> exchanges;
};

TEST_F(MeterDownloadTest, FaultsShapeTheExchange) {
    const int X = kNoReply;
    const FaultCase cases[] = {
        {"clean", [](MeterFaults&) {}, {{'P', 1, 1}, {'p', 0, 2}, {'p', 0, 3}, {'P', 7, 7}, {'p', 0, 8}}},
        {"failed read, position kept",
         [](MeterFaults& f) { f.failBlockReads = {3}; },
         {{'P', 1, 1}, {'p', 0, 2}, {'p', 0, X}, {'r', 0, 2}, {'p', 0, 3}, {'p', 0, 4}}},
        {"failed read, r re-sends it",
         [](MeterFaults& f) {
             f.failBlockReads = {3};
             f.resendFailedBlockOnRetry = true;
         },
         {{'P', 1, 1}, {'p', 0, 2}, {'p', 0, X}, {'r', 0, 3}, {'p', 0, 4}}},
        {"first P fails once", [](MeterFaults& f) { f.failBlockReads = {1}; }, {{'P', 1, X}, {'P', 1, 1}}},
        {"stall until P",
         [](MeterFaults& f) { f.stallAfterBlock = 3; },
         {{'P', 1, 1},
          {'p', 0, 2},
          {'p', 0, 3},
          {'p', 0, X},
          {'r', 0, X},
          {'p', 0, X},
          {'A', 0, kAnyReply},
          {'P', 3, 3},
          {'P', 3, 3},
          {'p', 0, 4},
          {'p', 0, 5}}},
        {"dead after a block",
         [](MeterFaults& f) { f.deadAfterBlock = 2; },
         {{'P', 1, 1}, {'p', 0, 2}, {'p', 0, X}, {'r', 0, X}, {'P', 2, 2}, {'p', 0, X}}},
        {"seek answers another number",
         [](MeterFaults& f) { f.seekAnswersWrongBlock = true; },
         {{'P', 4, 5, 4}, {'p', 0, 5}}},
        {"q ends the transfer", [](MeterFaults&) {}, {{'P', 5, 5}, {'q', 0, X}, {'p', 0, 1}}},
        {"Q aborts it", [](MeterFaults&) {}, {{'P', 5, 5}, {'Q', 0, X}, {'p', 0, 1}}},
        {"serial: P without a number, n repeats",
         [](MeterFaults&) {},
         {{'n', 0, X}, {'P', 0, 1}, {'p', 0, 2}, {'n', 0, 2}, {'n', 0, 2}, {'p', 0, 3}}},
        {"serial: n during a stall",
         [](MeterFaults& f) { f.stallAfterBlock = 1; },
         {{'P', 0, 1}, {'n', 0, X}}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualMeter fresh{clock};
        fresh.memory() = PatternMemory();
        c.setUp(fresh.faults());
        for (std::size_t i = 0; i < c.exchanges.size(); ++i) {
            const Exchange& e = c.exchanges[i];
            SCOPED_TRACE(testing::Message() << "exchange " << i << " '" << e.letter << "'");
            const auto reply = Send(fresh, e.letter, e.param);
            if (e.number == kNoReply) {
                EXPECT_FALSE(reply);
                continue;
            }
            ASSERT_TRUE(reply);
            if (e.number == kAnyReply)
                continue;
            EXPECT_EQ(NumberOf(reply), e.number);
            const auto data = fresh.memory().block(e.data == kSameBlock ? e.number : e.data);
            EXPECT_TRUE(std::equal(data.begin(), data.end(), reply->begin()));
        }
    }
}

TEST_F(MeterDownloadTest, BadChecksumAndMarkerHitOnce) {
    meter.faults().badChecksumBlocks = {2};
    meter.faults().badTrailerBlocks = {3};
    const auto sumOf = [](const std::vector<std::uint8_t>& r) {
        return static_cast<std::uint8_t>(std::accumulate(r.begin(), r.begin() + 32, 0u) & 0xFF);
    };
    ASSERT_TRUE(send('P', 1));
    const auto two = send('p');
    const auto three = send('p');
    ASSERT_TRUE(two && three);
    EXPECT_NE((*two)[34], sumOf(*two));
    EXPECT_EQ((*two)[35], 0x05);
    EXPECT_EQ((*three)[34], sumOf(*three));
    EXPECT_NE((*three)[35], 0x05);
    const auto twoAgain = send('P', 2);
    const auto twoRepeated = send('n'); // the serial link's repeat gives the good sum too
    EXPECT_EQ(twoRepeated, twoAgain);
    const auto threeAgain = send('p');
    EXPECT_EQ((*twoAgain)[34], sumOf(*twoAgain));
    EXPECT_EQ((*threeAgain)[35], 0x05);
}

// The whole road: REC on the meter, the program's download, the decoder.
TEST_F(MeterDownloadTest, RecordedDataSetsComeBackThroughTheDownload) {
    meter.memory() = LoggerMemory();
    meter.setRecordIntervalSeconds(1);
    meter.setFixedCelsius(0, 30.0);
    meter.setFixedCelsius(1, 100.0);
    SimUsbTransport usb{meter};
    core::CommandFrame keyFrame;
    keyFrame.setCommand('E');
    const auto pressRec = [&] {
        meter.receiveCommand(keyFrame.span());
        ASSERT_TRUE(meter.takeReply());
    };
    pressRec();
    clock.advance(4000);
    pressRec();
    meter.receiveCommand([] {
        core::CommandFrame f;
        f.setCommand('C');
        return f;
    }()
                             .span());
    pressRec();
    clock.advance(2000);
    pressRec();
    ASSERT_EQ(meter.memory().dataSetCount(), 2);

    core::CommandFrame frame;
    std::uint8_t sequence = 0;
    link::ReplyBuffer reply{};
    link::UsbExchange exchange{usb, clock, frame, sequence, reply};
    core::MemoryImage image;
    ASSERT_EQ(link::DownloadOverUsb(exchange, image), 0);
    const std::size_t used = meter.memory().endAddress() + 1;
    ASSERT_EQ(image.size(), (used + 31) / 32 * 32);
    EXPECT_TRUE(std::equal(meter.memory().bytes().begin(), meter.memory().bytes().begin() + used,
                           image.bytes().begin()));

    core::DataSetCollection sets;
    ASSERT_EQ(core::DecodeMemoryImage(image, sets, clock.now()), core::kDecodeOk);
    ASSERT_EQ(sets.count(), 2);
    EXPECT_EQ(sets.header(0).pointCount, 5);
    EXPECT_TRUE(sets.header(0).celsius);
    EXPECT_NEAR(sets.valuesOf(0)[1], 100.0, 0.06);
    EXPECT_EQ(sets.header(1).pointCount, 3);
    EXPECT_FALSE(sets.header(1).celsius); // recorded while the meter showed °F
    EXPECT_NEAR(sets.valuesOf(1)[0], 86.0, 0.01);
    EXPECT_NEAR(sets.valuesOf(1)[1], 212.0, 0.01);
    EXPECT_EQ(meter.receivedLetters().substr(meter.receivedLetters().size() - 3), "ppq");
}

} // namespace
} // namespace thermo4::sim
