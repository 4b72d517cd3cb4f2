#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MeterSource.h"
#include "core/Commands.h"
#include "core/MemoryDecoder.h"
#include "formats/CollectionFile.h"
#include "link/DownloadResult.h"
#include "link/UsbDownload.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace thermo4::cli {

namespace {

/// Progress on stderr: the total, then a line at every further tenth.
class StderrProgress : public link::DownloadProgress {
public:
    void started(std::int32_t total) override {
        m_total = total;
        m_nextTenth = 1;
        PrintError(QStringLiteral("downloading %1 bytes").arg(total));
    }
    void advanced(std::int32_t received) override {
        if (m_total <= 0) {
            return;
        }
        if (static_cast<std::int64_t>(received) * 10 >= static_cast<std::int64_t>(m_total) * m_nextTenth) {
            PrintError(QStringLiteral("%1 of %2 bytes received").arg(received).arg(m_total));
            while (static_cast<std::int64_t>(received) * 10 >=
                   static_cast<std::int64_t>(m_total) * m_nextTenth) {
                ++m_nextTenth;
            }
        }
    }
    void finished() override {}

private:
    std::int32_t m_total = 0;
    int m_nextTenth = 1;
};

/// Polls until a meter answers the identify; false after 5 s without one.
bool waitForMeter(link::MeterPoller& poller, link::Clock& clock) {
    constexpr int kPeriodMs = 500;
    constexpr int kLimitMs = 5000;
    const std::int64_t start = clock.tickMs();
    for (;;) {
        if (poller.tick().event == link::PollEvent::Connected) {
            return true;
        }
        if (clock.tickMs() - start >= kLimitMs) {
            return false;
        }
        clock.delayBusy(kPeriodMs - 1);
    }
}

/// Why output cannot be written, found before anything is asked of the meter;
/// the empty text when its folder exists and is writable.
QString OutputFolderProblem(const QString& output) {
    const QFileInfo info(output);
    if (info.isDir()) {
        return QStringLiteral("%1 is a folder").arg(output);
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    }
    // A device or pipe is written in place; a regular file needs a temporary file beside it.
    if (info.exists() && !info.isFile()) {
        return info.isWritable() ? QString() : QStringLiteral("cannot write to %1").arg(output);
    }
    if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK) != 0) {
        return QStringLiteral("cannot write to the folder %1: %2")
            .arg(folder.filePath(), QString::fromLocal8Bit(std::strerror(errno)));
    }
    return {};
}

} // namespace

// thermo4-cli download -o FILE.ch4: the logger download over USB, written as a collection file.
int RunDownload(const QStringList& arguments) {
    QStringList args = arguments;
    QString scenario;
    const bool simulate = MeterSource::takeSimulateOption(args, scenario);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Downloads the meter's logger memory over USB and writes it as a collection file\n"
                       "(.ch4), progress on stderr. --simulate[=SCENARIO] uses the virtual meter\n"
                       "(optionally run from a scenario file) instead of the USB meter."));
    parser.addOption(MeterSource::simulateHelpOption());
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("The collection file to write."),
                                          QStringLiteral("FILE"));
    parser.addOption(outputOption);
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    const QString output = parser.value(outputOption);
    if (output.isEmpty()) {
        PrintError(QStringLiteral("-o FILE.ch4 is required; see %1 --help").arg(args.value(0)));
        return kExitUsage;
    }

    if (const QString why = OutputFolderProblem(output); !why.isEmpty()) {
        PrintError(why);
        return kExitFailure;
    }

    MeterSource source;
    if (!source.open(simulate, scenario)) {
        return kExitFailure;
    }
    if (!waitForMeter(source.poller(), source.clock())) {
        PrintError(QStringLiteral("There is no connection with multimeter !"));
        source.printNotice();
        return kExitFailure;
    }
    link::LinkState& state = source.state();

    core::MemoryImage image;
    StderrProgress progress;
    auto session = state.usbSession(source.usb(), source.clock());
    int code = link::DownloadOverUsb(session, image, &progress);
    if (code == link::UsbDownloadResult::kOk) {
        core::DataSetCollection collection;
        code = core::DecodeMemoryImage(image, collection, source.clock().now());
    } else {
        // Tell the meter the transfer is off, as the window does; results do not matter.
        source.usb().finishWrite();
        state.usbFrame.setCommand(core::kAbort);
        source.usb().writeCommand(state.usbFrame.span());
    }
    if (code != core::kDecodeOk) {
        PrintError(link::LoggerLoadMessage(code));
        return kExitFailure;
    }
    if (QString error; !formats::WriteImageFile(output, image, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    PrintError(QStringLiteral("wrote %1 bytes to %2").arg(image.size()).arg(output));
    return kExitOk;
}

} // namespace thermo4::cli
