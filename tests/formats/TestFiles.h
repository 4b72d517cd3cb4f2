#pragma once

#include <QByteArray>
#include <QFile>
#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

namespace thermo4::formats::test {

inline const QLocale kGerman(QLocale::German, QLocale::Germany);
inline const QLocale kUs(QLocale::English, QLocale::UnitedStates);

/// The whole file, or "<missing>" when it cannot be read.
inline QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace thermo4::formats::test
