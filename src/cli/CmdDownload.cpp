#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MeterSource.h"
#include "core/FileName.h"
#include "core/MemoryDecoder.h"
#include "formats/CollectionFile.h"
#include "formats/FileSystem.h"
#include "link/DownloadProgress.h"
#include "link/DownloadResult.h"
#include "session/LoggerLoad.h"

#include <csignal>

#include <unistd.h>

namespace thermo4::cli {

namespace {

/// How long the command waits for a meter to answer (ms).
constexpr int kMeterWaitMs = 5000;
/// Exit code after Ctrl-C, as a shell reports a program that SIGINT ended.
constexpr int kExitInterrupted = 128 + SIGINT;

/// Set by SIGINT while the download runs.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

/// SIGINT asks the download to stop (at its next wait) while this lives; a second
/// Ctrl-C ends the program at once, as usual.
class InterruptStopsDownload {
public:
    InterruptStopsDownload() {
        g_interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previous);
    }
    ~InterruptStopsDownload() { sigaction(SIGINT, &m_previous, nullptr); }
    InterruptStopsDownload(const InterruptStopsDownload&) = delete;
    InterruptStopsDownload& operator=(const InterruptStopsDownload&) = delete;

private:
    struct sigaction m_previous {};
};

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
    void waiting(int attempt, int attempts) override {
        PrintError(QStringLiteral("waiting for the meter, try %1 of %2").arg(attempt).arg(attempts));
    }
    bool cancelled() const override { return g_interrupted != 0; }

private:
    std::int32_t m_total = 0;
    int m_nextTenth = 1;
};

/// Why output cannot be written, found before anything is asked of the meter;
/// the empty text when its folder exists and is writable.
QString OutputFolderProblem(const QString& output) {
    const formats::PathKind kind = formats::KindOf(output);
    if (kind == formats::PathKind::Folder) {
        return QStringLiteral("%1 is a folder").arg(output);
    }
    const QString folder = formats::AbsolutePath(formats::FolderOf(output));
    if (formats::KindOf(folder) != formats::PathKind::Folder) {
        return QStringLiteral("the folder %1 does not exist").arg(folder);
    }
    // A device or pipe is written in place; a regular file needs a temporary file beside it.
    if (kind == formats::PathKind::Other) {
        return ::access(core::FileNameBytes(output).constData(), W_OK) == 0
                   ? QString()
                   : QStringLiteral("cannot write to %1").arg(output);
    }
    if (const QString why = formats::FolderWriteProblem(folder); !why.isEmpty()) {
        return QStringLiteral("cannot write to the folder %1: %2").arg(folder, why);
    }
    return {};
}

} // namespace

// thermo4-cli download -o FILE.ch4: the logger download, written as a collection file.
int RunDownload(const QStringList& arguments) {
    QStringList args = arguments;
    QString scenario;
    QStringList moreScenarios;
    const bool simulate = MeterSource::takeSimulateOption(args, scenario, &moreScenarios);
    QString usbMeter;
    MeterSource::takeUsbOption(args, usbMeter);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Downloads the meter's logger memory and writes it as a collection file (.ch4),\n"
                       "progress on stderr. The meter is the one on USB; --simulate[=SCENARIO] uses the\n"
                       "virtual meter (optionally run from a scenario file), --port DEV the meter on a\n"
                       "serial device. Ctrl-C stops the transfer: the meter is told it is over and\n"
                       "nothing is written (exit code 130)."));
    parser.addOption(MeterSource::simulateHelpOption());
    parser.addOption(MeterSource::usbHelpOption());
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("The collection file to write."),
                                          QStringLiteral("FILE"));
    parser.addOption(outputOption);
    const QCommandLineOption portOption = MeterSource::portOption();
    parser.addOption(portOption);
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

    const QString port = parser.value(portOption);
    if (!MeterSource::checkChoice(simulate, port)) {
        return kExitUsage;
    }

    MeterSource source;
    source.setUsbChoice(usbMeter, moreScenarios);
    if (!source.open(simulate, scenario, port)) {
        return kExitFailure;
    }
    if (!source.waitForMeter(kMeterWaitMs)) {
        PrintError(QStringLiteral("There is no connection with multimeter !"));
        source.printNotice();
        return kExitFailure;
    }

    core::MemoryImage image;
    StderrProgress progress;
    int code = 0;
    {
        const InterruptStopsDownload interrupt;
        code = source.link().download(image, &progress);
    }
    if (code == link::kDownloadCancelled) {
        // The download has ended the transfer itself.
        PrintError(QStringLiteral("download interrupted; nothing written"));
        return kExitInterrupted;
    }
    if (code == link::UsbDownloadResult::kOk) {
        core::DataSetCollection collection;
        code = core::DecodeMemoryImage(image, collection, source.clock().now());
    } else {
        // Tell the meter the transfer is off, as the window does.
        source.abortTransfer();
    }
    if (code != core::kDecodeOk) {
        PrintError(session::LoggerLoadMessage(code));
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
