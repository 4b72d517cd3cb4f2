#include "cli/CliCommand.h"

#include <array>

namespace thermo4::cli {

// Each command lives in its own Cmd<Name>.cpp; adding one is a declaration and a row here.
int RunSets(const QStringList& args);
int RunExport(const QStringList& args);
int RunLive(const QStringList& args);
int RunDownload(const QStringList& args);

namespace {

constexpr std::array kCommands{
    CliCommand{"sets", "List the data sets of a collection file (.ch4) as CSV", &RunSets},
    CliCommand{"export", "Print the samples of one data set of a collection file as CSV", &RunExport},
    CliCommand{"live", "Poll the meter and print its live readings as CSV", &RunLive},
    CliCommand{"download", "Download the meter's logger memory into a collection file", &RunDownload},
};

} // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

} // namespace thermo4::cli
