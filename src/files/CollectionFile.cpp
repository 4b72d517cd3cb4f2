#include "files/CollectionFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace thermo4::ui {

namespace {

/// Reads a whole regular file of at most kMaxImageFileSize bytes.
ImageFileRead readLimited(const QString& path, QByteArray& bytes, QString* error) {
    bytes.clear();
    const QFileInfo info(path);
    // A pipe or device could block or never end: only plain files are images.
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("%1 is not a file").arg(path);
        return ImageFileRead::CannotOpen;
    }
    if (info.size() > kMaxImageFileSize) {
        if (error)
            *error = QStringLiteral("%1 is too large").arg(path);
        return ImageFileRead::TooLarge;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return ImageFileRead::CannotOpen;
    }
    // At most one byte past the limit, in case the file grew since it was measured.
    bytes = file.read(kMaxImageFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        bytes.clear();
        return ImageFileRead::CannotOpen;
    }
    if (bytes.size() > kMaxImageFileSize) {
        bytes.clear();
        return ImageFileRead::TooLarge;
    }
    return bytes.isEmpty() ? ImageFileRead::Empty : ImageFileRead::Ok;
}

bool writeAll(const QString& path, const char* data, qint64 size, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data, size) != size || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

ImageFileRead ReadImageFile(const QString& path, core::MemoryImage& image) {
    image.clear();
    QByteArray bytes;
    const ImageFileRead result = readLimited(path, bytes, nullptr);
    if (result == ImageFileRead::Ok) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        image.assign(std::span(data, static_cast<std::size_t>(bytes.size())));
    }
    return result;
}

bool WriteImageFile(const QString& path, const core::MemoryImage& image, QString* error) {
    // The whole image: it holds at least the memory through the end address (a
    // download reads whole blocks up to it), so the copy decodes to the same data sets.
    const auto bytes = image.bytes();
    return writeAll(path, reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()),
                    error);
}

CollectionCopy CopyCollectionFile(const QString& source, const QString& target, bool replace,
                                  QString* error) {
    if (!QFileInfo::exists(source))
        return CollectionCopy::NoSource;
    if (QFileInfo::exists(target) && !replace)
        return CollectionCopy::TargetExists;
    QByteArray bytes;
    const ImageFileRead read = readLimited(source, bytes, error);
    if (read != ImageFileRead::Ok && read != ImageFileRead::Empty)
        return CollectionCopy::Failed;
    if (!writeAll(target, bytes.constData(), bytes.size(), error))
        return CollectionCopy::Failed;
    return CollectionCopy::Copied;
}

} // namespace thermo4::ui
