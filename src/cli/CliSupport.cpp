#include "cli/CliSupport.h"

#include "cli/CliCommand.h"
#include "core/FileName.h"
#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "formats/CollectionFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace thermo4::cli {

namespace {
QString g_stdoutError;
} // namespace

bool PrintOut(const QString& text) {
    if (!g_stdoutError.isEmpty()) {
        return false;
    }
    // UTF-8, with file names as the bytes they are on disk.
    const QByteArray utf8 = core::FileNameBytes(text);
    errno = 0;
    const std::size_t size = static_cast<std::size_t>(utf8.size());
    if (std::fwrite(utf8.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
        g_stdoutError = QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
        return false;
    }
    return true;
}

QString StdoutError() {
    return g_stdoutError;
}

void PrintError(const QString& message) {
    PrintErrorLine(QStringLiteral("thermo4-cli: %1").arg(message));
}

void PrintErrorLine(const QString& line) {
    const QByteArray utf8 = core::FileNameBytes(line + QLatin1Char('\n'));
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stderr);
    std::fflush(stderr);
}

std::optional<int> ParseCommandLine(QCommandLineParser& parser, const QStringList& args, qsizetype expected,
                                    const QStringList& repeatable) {
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(args)) {
        PrintError(parser.errorText());
        return kExitUsage;
    }
    // The parser would silently keep the last of two values: one of them was not meant.
    for (const QString& name : parser.optionNames()) {
        if (parser.values(name).size() > 1 && !repeatable.contains(name)) {
            PrintError(
                QStringLiteral("%1%2 was given twice; see %3 --help")
                    .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name, args.value(0)));
            return kExitUsage;
        }
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // The parser names the program after argv[0]; name the sub-command instead.
        const qsizetype options = text.indexOf(QStringLiteral(" [options]"));
        if (text.startsWith(QStringLiteral("Usage: ")) && options > 0) {
            text.replace(7, options - 7, args.value(0));
        }
        PrintOut(text);
        return kExitOk;
    }
    if (parser.positionalArguments().size() != expected) {
        PrintError(QStringLiteral("expected %1 argument(s), got %2; see %3 --help")
                       .arg(expected)
                       .arg(parser.positionalArguments().size())
                       .arg(args.value(0)));
        return kExitUsage;
    }
    return std::nullopt;
}

std::optional<int> LoadCollection(const QString& path, core::DataSetCollection& collection) {
    core::MemoryImage image;
    QString error;
    const formats::ImageFileRead read = formats::ReadImageFile(path, image, &error);
    // An empty file decodes to "no data set", which says more than "empty".
    if (read != formats::ImageFileRead::Ok && read != formats::ImageFileRead::Empty) {
        PrintError(error);
        return kExitFailure;
    }

    core::DecodeDetails details;
    const int code = core::DecodeMemoryImage(image, collection, QDateTime::currentDateTime(), &details);
    if (code == core::kDecodeNoDataSet) {
        PrintError(QStringLiteral("%1: does not decode (code %2): no data set").arg(path).arg(code));
        return kExitFailure;
    }
    if (code != core::kDecodeOk) {
        const QString why = details.announcedSets > core::kMaxDataSets
                                ? QStringLiteral("%1 data sets, more than %2")
                                      .arg(details.announcedSets)
                                      .arg(core::kMaxDataSets)
                                : QStringLiteral("the file ends inside data set 1");
        PrintError(QStringLiteral("%1: does not decode (code %2): %3").arg(path).arg(code).arg(why));
        return kExitFailure;
    }
    if (details.decodedSets < details.announcedSets) {
        PrintError(QStringLiteral(
                       "%1: warning: the file ends inside data set %2; showing the %3 complete data set(s)")
                       .arg(path)
                       .arg(details.decodedSets + 1)
                       .arg(details.decodedSets));
    }
    return std::nullopt;
}

QCommandLineOption SetOption() {
    return QCommandLineOption(QStringLiteral("set"), QStringLiteral("Number of the data set, from 1."),
                              QStringLiteral("N"));
}

std::optional<int> LoadChosenDataSet(const QCommandLineParser& parser, const QString& command,
                                     const QString& path, core::DataSetCollection& collection, int& index) {
    const QString set = SetOption().names().constFirst();
    if (!parser.isSet(set)) {
        PrintError(QStringLiteral("--set N is required; see %1 --help").arg(command));
        return kExitUsage;
    }
    bool ok = false;
    const int number = parser.value(set).toInt(&ok);
    if (!ok || number < 1) {
        PrintError(
            QStringLiteral("--set: \"%1\" is not a data set number (1, 2, ...)").arg(parser.value(set)));
        return kExitUsage;
    }
    if (auto failed = LoadCollection(path, collection)) {
        return failed;
    }
    if (number > collection.count()) {
        PrintError(
            QStringLiteral("--set %1: the file holds %2 data set(s)").arg(number).arg(collection.count()));
        return kExitFailure;
    }
    index = number - 1;
    return std::nullopt;
}

QString IsoTime(double days) {
    return core::DateTimeFromTDateTime(days).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

} // namespace thermo4::cli
