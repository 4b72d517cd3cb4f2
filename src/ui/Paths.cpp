#include "ui/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

// The build sets this from its install layout (bin and share folders).
#ifndef THERMO4_SHIPPED_FROM_BIN
#define THERMO4_SHIPPED_FROM_BIN "../share/thermo4"
#endif

namespace thermo4::ui {

Paths::Paths(QString shippedDir, QString dataDir, QString formerDataDir)
    : m_shippedDir(QDir::cleanPath(shippedDir)), m_dataDir(QDir::cleanPath(dataDir)),
      m_formerDataDir(formerDataDir.isEmpty() ? QString() : QDir::cleanPath(formerDataDir)) {}

Paths Paths::forApplication(const QString& dataDirOverride) {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString shippedDir = findShippedDir(programDir);
    const bool installed = shippedDir != QDir::cleanPath(programDir);
    const QDir userData(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QString fallback = userData.filePath(QStringLiteral("thermo4"));
    const QString dataDir = chooseDataDir(programDir, installed, dataDirOverride, fallback);
    // Earlier versions kept the user's data under another organisation name.
    const QString former =
        dataDir == fallback ? userData.filePath(QStringLiteral("470913/thermo4")) : QString();
    const Paths paths(shippedDir, dataDir, former);
    for (const QString& file : paths.missingShippedFiles())
        std::fprintf(stderr, "thermo4: missing file %s\n", qPrintable(QDir::toNativeSeparators(file)));
    return paths;
}

QString Paths::installedShippedDir(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(THERMO4_SHIPPED_FROM_BIN)));
}

QString Paths::findShippedDir(const QString& programDir) {
    const QString installed = installedShippedDir(programDir);
    if (QFileInfo::exists(QDir(installed).filePath(QLatin1String(kHelpFileName))))
        return installed;
    if (QFileInfo::exists(QDir(programDir).filePath(QLatin1String(kHelpFileName))))
        return QDir::cleanPath(programDir);
    return installed;
}

QString Paths::chooseDataDir(const QString& programDir, bool installed, const QString& dataDirOverride,
                             const QString& fallback) {
    if (!dataDirOverride.isEmpty())
        return QDir(dataDirOverride).absolutePath();
    const QFileInfo program(programDir);
    if (!installed && program.isDir() && program.isWritable())
        return program.absoluteFilePath();
    return fallback;
}

QString Paths::helpFile() const {
    return QDir(m_shippedDir).filePath(QLatin1String(kHelpFileName));
}

QString Paths::shippedTemplateFile() const {
    return QDir(m_shippedDir).filePath(QStringLiteral("template/graph.ghf"));
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

QStringList Paths::missingShippedFiles() const {
    QStringList missing;
    for (const QString& file : {helpFile(), shippedTemplateFile()}) {
        if (!QFileInfo(file).isFile())
            missing.append(file);
    }
    return missing;
}

bool Paths::prepareDataDir() const {
    if (!QDir().mkpath(m_dataDir))
        return false;
    const QString target = templateFile();
    const QString former = m_formerDataDir.isEmpty()
                               ? QString()
                               : QDir(m_formerDataDir).filePath(QStringLiteral("template/graph.ghf"));
    const QString source = !former.isEmpty() && QFileInfo(former).isFile() ? former : shippedTemplateFile();
    if (QFileInfo(target) == QFileInfo(source) || QFile::exists(target) || !QFile::exists(source))
        return true;
    // A failed copy leaves the graphs on their built-in look; it does not stop the program.
    if (QDir().mkpath(QFileInfo(target).absolutePath()))
        QFile::copy(source, target);
    return true;
}

} // namespace thermo4::ui
