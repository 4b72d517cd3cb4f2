#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/SetupCommand.h"

namespace thermo4::cli {

namespace {

/// A CSV field, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

// thermo4-cli info: the setup dialog's information read-out, one field,value line each.
int RunInfo(const QStringList& arguments) {
    QStringList args = arguments;
    QCommandLineParser parser;
    SetupCommand command(args, parser);
    parser.setApplicationDescription(
        QStringLiteral("Reads the meter's settings and state and prints one CSV line per field:\n"
                       "firmware, meter_time, interval, data_sets, memory_available, alarm, hi, lo,\n"
                       "t1_t2, type, auto_off, t1_offset to t4_offset and serial, each as the setup\n"
                       "dialog shows it.\n") +
        SetupCommand::meterHelp());
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    if (auto failed = command.open(parser)) {
        return *failed;
    }
    const link::SetupOutcome outcome = command.run(link::SetupRequest::readInfo());
    if (!outcome.ok() || !outcome.info) {
        return command.finish(outcome);
    }
    QString out = QStringLiteral("field,value\n");
    for (const core::MeterInfoField& field : outcome.info->fields()) {
        out += QString::fromLatin1(field.name) + QLatin1Char(',') + csvField(field.text) + QLatin1Char('\n');
    }
    PrintOut(out);
    return kExitOk;
}

} // namespace thermo4::cli
