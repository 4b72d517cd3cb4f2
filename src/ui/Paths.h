#pragma once

#include <QString>
#include <QStringList>

namespace thermo4::ui {

/// Where the program finds what it ships and keeps what it writes.
/// The shipped folder holds the help page and the shipped graph template: for an installed
/// program <prefix>/share/thermo4, found from the executable's folder (so any prefix works);
/// for a run from the build folder, the executable's own folder. The data folder holds
/// "template/graph.ghf" and "temp/DataSetsTemp.tmp": --data-dir when given; else, for a
/// build-folder run, the program's folder when writable; else the user's application-data
/// folder (~/.local/share/thermo4). An installed program never writes into its prefix, even as root.
class Paths {
public:
    static constexpr const char* kHelpFileName = "thermo4HELP.htm";

    Paths() = default;
    /// formerDataDir: the user's data folder of earlier versions, whose template a new data
    /// folder takes over; empty for none.
    Paths(QString shippedDir, QString dataDir, QString formerDataDir = {});

    /// The paths of the running program, from its executable's folder and --data-dir (may be
    /// empty). Says on stderr which shipped files it cannot find.
    static Paths forApplication(const QString& dataDirOverride);
    /// Where an installed program's shipped files are, relative to the folder of its executable.
    static QString installedShippedDir(const QString& programDir);
    /// The shipped folder for an executable in programDir: the installed one when it holds the
    /// help page; else programDir when that does (a build folder); else the installed one, whose
    /// files are then reported missing.
    static QString findShippedDir(const QString& programDir);
    /// The override when given; else programDir for a program that is not installed, when it is
    /// a writable folder; else fallback.
    static QString chooseDataDir(const QString& programDir, bool installed, const QString& dataDirOverride,
                                 const QString& fallback);

    QString shippedDir() const { return m_shippedDir; }
    QString dataDir() const { return m_dataDir; }

    QString helpFile() const;
    /// The template the program ships.
    QString shippedTemplateFile() const;
    /// The template the graph windows read and the appearance dialogs write.
    QString templateFile() const;
    QString tempFolder() const;
    /// The raw memory image written after each logger load.
    QString tempFile() const;
    /// The shipped files (help page, template) that are not there.
    QStringList missingShippedFiles() const;

    /// Makes sure the data folder exists and, when it has no template yet, copies the
    /// former data folder's template there, else the shipped one (so a user's first graph
    /// looks as before, or as shipped). Returns, and keeps for dataDirProblem(), why the
    /// folder cannot be created or written ("The data folder … cannot be written: No space
    /// left on device"); empty when it can. A missing template to copy is not a problem.
    QString prepareDataDir();
    /// What the last prepareDataDir() found wrong with the data folder; empty when nothing.
    QString dataDirProblem() const { return m_dataDirProblem; }

private:
    QString m_shippedDir;
    QString m_dataDir;
    QString m_formerDataDir;
    QString m_dataDirProblem;
};

} // namespace thermo4::ui
