// Scenario files of any content, with a memory image beside them. A refused one names what is
// wrong; an accepted one sets up the virtual meter, which then answers the identify command,
// live reads and a logger download whose image decodes without a crash.
// The input up to its first zero byte is the scenario file; the rest, when there is a zero byte,
// is the file "m.ch4" beside it (a scenario refers to it as "memory": "m.ch4").
#include "FuzzSupport.h"

#include "core/MemoryDecoder.h"
#include "link/UsbDownload.h"
#include "link/UsbTransactions.h"
#include "sim/Scenario.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

using namespace thermo4;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QDir folder(fuzz::WorkFolder().path());
    const std::uint8_t* end = data + size;
    const std::uint8_t* split = std::find(data, end, std::uint8_t(0));
    fuzz::WriteWholeFile(folder.filePath(QStringLiteral("s.json")), data, std::size_t(split - data));
    if (split != end)
        fuzz::WriteWholeFile(folder.filePath(QStringLiteral("m.ch4")), split + 1,
                             std::size_t(end - split - 1));
    else
        QFile::remove(folder.filePath(QStringLiteral("m.ch4")));

    QString error;
    const auto scenario = sim::LoadScenario(folder.filePath(QStringLiteral("s.json")), &error);
    if (!scenario) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    link::ManualClock clock;
    sim::VirtualMeter meter(clock, scenario->seed.value_or(1U));
    sim::ApplyScenario(*scenario, meter);
    sim::SimUsbTransport usb(meter);
    core::CommandFrame frame;
    std::uint8_t sequence = 0;
    link::ReplyBuffer reply{};
    link::UsbExchange exchange{usb, clock, frame, sequence, reply};
    if (link::IdentifyUsb(exchange, 'K')) {
        for (int i = 0; i < 3; ++i) {
            link::ReadLiveFrameUsb(exchange);
            clock.advance(500);
        }
    }
    core::MemoryImage image;
    if (link::DownloadOverUsb(exchange, image) == 0) {
        core::DataSetCollection sets;
        core::DecodeMemoryImage(image, sets, clock.now());
    }
    return 0;
}
