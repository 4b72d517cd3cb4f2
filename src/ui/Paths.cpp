#include "ui/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace thermo4::ui {

Paths::Paths(QString programDir, QString dataDir)
    : m_programDir(QDir::cleanPath(programDir)), m_dataDir(QDir::cleanPath(dataDir)) {}

Paths Paths::forApplication(const QString& dataDirOverride) {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return Paths(programDir, chooseDataDir(programDir, dataDirOverride, fallback));
}

QString Paths::chooseDataDir(const QString& programDir, const QString& dataDirOverride,
                             const QString& fallback) {
    if (!dataDirOverride.isEmpty())
        return QDir(dataDirOverride).absolutePath();
    const QFileInfo program(programDir);
    if (program.isDir() && program.isWritable())
        return program.absoluteFilePath();
    return fallback;
}

QString Paths::helpFile() const {
    return QDir(m_programDir).filePath(QLatin1String(kHelpFileName));
}

QString Paths::shippedTemplateFile() const {
    return QDir(m_programDir).filePath(QStringLiteral("template/graph.ghf"));
}

QString Paths::templateFile() const {
    return QDir(m_dataDir).filePath(QStringLiteral("template/graph.ghf"));
}

QString Paths::tempFolder() const {
    return QDir(m_dataDir).filePath(QStringLiteral("temp"));
}

QString Paths::tempFile() const {
    return QDir(tempFolder()).filePath(QStringLiteral("DataSetsTemp.tmp"));
}

bool Paths::prepareDataDir() const {
    if (!QDir().mkpath(m_dataDir))
        return false;
    const QString target = templateFile();
    const QString shipped = shippedTemplateFile();
    if (QFileInfo(target) == QFileInfo(shipped) || QFile::exists(target) || !QFile::exists(shipped))
        return true;
    // A failed copy leaves the graphs on their built-in look; it does not stop the program.
    if (QDir().mkpath(QFileInfo(target).absolutePath()))
        QFile::copy(shipped, target);
    return true;
}

} // namespace thermo4::ui
