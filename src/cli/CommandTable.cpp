#include "cli/CliCommand.h"

#include <array>

namespace thermo4::cli {

// Each command lives in its own Cmd<Name>.cpp; adding one is a declaration and a row here.
int RunSets(const QStringList& args);
int RunExport(const QStringList& args);

namespace {

constexpr std::array kCommands{
    CliCommand{"sets", "List the data sets of a collection file (.ch4) as CSV", &RunSets},
    CliCommand{"export", "Print the samples of one data set of a collection file as CSV", &RunExport},
};

} // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

} // namespace thermo4::cli
