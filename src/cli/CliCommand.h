#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace thermo4::cli {

// Exit codes of every command.
inline constexpr int kExitOk = 0;
/// The work failed: unreadable file, undecodable image, no meter, ...
inline constexpr int kExitFailure = 1;
/// The command line itself is wrong.
inline constexpr int kExitUsage = 2;
/// --exit-on-alarm: an alarm began.
inline constexpr int kExitAlarm = 3;

/// One sub-command of thermo4-cli: `thermo4-cli <name> [options]`.
struct CliCommand {
    const char* name;
    /// One line for the top-level help.
    const char* summary;
    /// args[0] is "thermo4-cli <name>", the rest are the command's own arguments.
    /// Returns the process exit code.
    int (*run)(const QStringList& args);
};

/// Every command, in the order the top-level help lists them (CommandTable.cpp).
std::span<const CliCommand> CliCommands();

/// Runs the command line (argv as a list, program name first); returns the exit code.
int RunCli(const QStringList& arguments);

} // namespace thermo4::cli
