#include "cli/CliCommand.h"

#include <array>

namespace thermo4::cli {

// Each command lives in its own Cmd<Name>.cpp; adding one is a declaration and a row here.
int RunSets(const QStringList& args);
int RunExport(const QStringList& args);
int RunGraph(const QStringList& args);
int RunPrint(const QStringList& args);
int RunLive(const QStringList& args);
int RunServe(const QStringList& args);
int RunDownload(const QStringList& args);
int RunInfo(const QStringList& args);
int RunClock(const QStringList& args);
int RunInterval(const QStringList& args);
int RunErase(const QStringList& args);
int RunPorts(const QStringList& args);
int RunSearch(const QStringList& args);
int RunDashboard(const QStringList& args);

namespace {

constexpr std::array kCommands{
    CliCommand{"sets", "List the data sets of a collection file (.ch4) as CSV", &RunSets},
    CliCommand{"export", "Print the samples of a data set of a collection file, or of a journal, as CSV",
               &RunExport},
    CliCommand{"graph", "Draw a data set of a collection file as a graph file (.ghf), PNG or PDF", &RunGraph},
    CliCommand{"print", "Print a graph file or a text file as File > Print does, on a printer or into a PDF",
               &RunPrint},
    CliCommand{"live", "Poll the meter and print its live readings as CSV", &RunLive},
    CliCommand{"serve", "Poll the meter and show its live readings on a web page", &RunServe},
    CliCommand{"download", "Download the meter's logger memory into a collection file", &RunDownload},
    CliCommand{"info", "Read the meter's settings and state as CSV (USB)", &RunInfo},
    CliCommand{"clock", "Set the meter's clock to this computer's time (USB)", &RunClock},
    CliCommand{"interval", "Set the meter's recording interval, MM:SS (USB)", &RunInterval},
    CliCommand{"erase", "Erase the meter's logger memory; needs --yes (USB)", &RunErase},
    CliCommand{"ports", "List the serial devices a meter may be on", &RunPorts},
    CliCommand{"search", "Look for the meter on serial devices and print where it answered", &RunSearch},
    CliCommand{"dashboard", "Serve one web page with a tile for every meter publishing to an MQTT broker",
               &RunDashboard},
};

} // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

} // namespace thermo4::cli
