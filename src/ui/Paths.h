#pragma once

#include <QString>

namespace thermo4::ui {

/// Where the program finds what it ships and keeps what it writes.
/// The program's folder holds the help page and the shipped graph template; the
/// data folder holds "template/graph.ghf" and "temp/DataSetsTemp.tmp". The data
/// folder is the program's folder when that is writable (a portable install),
/// otherwise the user's application-data folder, unless --data-dir names one.
class Paths {
public:
    static constexpr const char* kHelpFileName = "470913HELP.htm";

    Paths() = default;
    Paths(QString programDir, QString dataDir);

    /// The paths of the running program: its executable's folder, and the data
    /// folder chosen by chooseDataDir (override from --data-dir, may be empty).
    static Paths forApplication(const QString& dataDirOverride);
    /// The override when given; else programDir when it is a writable folder; else fallback.
    static QString chooseDataDir(const QString& programDir, const QString& dataDirOverride,
                                 const QString& fallback);

    QString programDir() const { return m_programDir; }
    QString dataDir() const { return m_dataDir; }

    QString helpFile() const;
    /// The template the program ships, beside the executable.
    QString shippedTemplateFile() const;
    /// The template the graph windows read and the appearance dialogs write.
    QString templateFile() const;
    QString tempFolder() const;
    /// The raw memory image written after each logger load.
    QString tempFile() const;

    /// Makes sure the data folder exists and, when it has no template yet, copies
    /// the shipped one there (so a user's first graph looks as shipped). False
    /// when the folder cannot be created; a missing shipped template is not an error.
    bool prepareDataDir() const;

private:
    QString m_programDir;
    QString m_dataDir;
};

} // namespace thermo4::ui
