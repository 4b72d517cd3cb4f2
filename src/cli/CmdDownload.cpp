#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MeterSource.h"
#include "core/FileName.h"
#include "core/LinkResult.h"
#include "core/MemoryDecoder.h"
#include "formats/CollectionFile.h"
#include "formats/FileSystem.h"
#include "link/SystemClock.h"
#include "session/LoggerLoad.h"
#include "session/MeterFactory.h"
#include "session/MeterSession.h"

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

/// The command's side of the logger load: progress on stderr (the total, then a line at
/// every further tenth), the image kept once it decodes, and the code it ended with.
class StderrLoad : public session::LoggerLoadHandler {
public:
    explicit StderrLoad(link::Clock& clock) : m_clock(clock) {}

    const core::MemoryImage& image() const { return m_image; }

    core::LinkResult loaded(const core::MemoryImage& image) override {
        core::DataSetCollection collection;
        const core::LinkResult code = core::DecodeMemoryImage(image, collection, m_clock.now());
        if (code == core::kDecodeOk) {
            m_image = image;
        }
        return code;
    }
    void failed(core::LinkResult) override {}

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
    link::Clock& m_clock;
    core::MemoryImage m_image;
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
    MeterSource source(args, MeterSource::Links::UsbOrSerial);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Downloads the meter's logger memory and writes it as a collection file (.ch4),\n"
                       "progress on stderr. The meter is the one on USB; --simulate[=SCENARIO] uses the\n"
                       "virtual meter (optionally run from a scenario file), --port DEV the meter on a\n"
                       "serial device. Ctrl-C stops the transfer: the meter is told it is over and\n"
                       "nothing is written (exit code 130)."));
    source.addTo(parser);
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("The collection file to write."),
                                          QStringLiteral("FILE"));
    parser.addOption(outputOption);
    source.addPortTo(parser);
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

    if (!source.read(parser)) {
        return kExitUsage;
    }

    link::SystemClock clock;
    const std::unique_ptr<session::Meter> meter = source.makeMeter(clock);
    if (!meter) {
        return kExitFailure;
    }
    if (!meter->awaitMeter(kMeterWaitMs)) {
        PrintError(QStringLiteral("There is no connection with multimeter !"));
        if (const QString notice = meter->takeNotice(); !notice.isEmpty()) {
            PrintError(notice);
        }
        return kExitFailure;
    }

    // The session tells the meter the transfer is off after a failure, as for the window.
    StderrLoad load(clock);
    std::optional<core::LinkResult> code;
    {
        const InterruptStopsDownload interrupt;
        code = meter->session().loadLogger(load);
    }
    if (!code) {
        // Nothing else holds the link of the command's own session; said plainly all the same.
        PrintError(QStringLiteral("the meter is busy"));
        return kExitFailure;
    }
    if (*code == core::DownloadResult::kCancelled) {
        PrintError(QStringLiteral("download interrupted; nothing written"));
        return kExitInterrupted;
    }
    if (*code != core::kDecodeOk) {
        PrintError(session::LoggerLoadMessage(*code));
        return kExitFailure;
    }
    const core::MemoryImage& image = load.image();
    if (QString error; !formats::WriteImageFile(output, image, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    PrintError(QStringLiteral("wrote %1 bytes to %2").arg(image.size()).arg(output));
    return kExitOk;
}

} // namespace thermo4::cli
