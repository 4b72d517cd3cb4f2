#include "formats/CollectionFile.h"

#include "formats/BoundedRead.h"
#include "formats/FileSystem.h"
#include "formats/SafeFileWriter.h"

#include <QDir>
#include <QFile>

namespace thermo4::formats {

namespace {

ImageFileRead failRead(QString* error, const QString& path, const QString& why, ImageFileRead result) {
    if (error)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
    return result;
}

/// Reads a whole regular file of at most kMaxImageFileSize bytes.
ImageFileRead readLimited(const QString& path, QByteArray& bytes, QString* error) {
    bytes.clear();
    QFile file;
    QString why;
    if (const FileOpen opened = OpenRegularFile(path, file, &why); opened != FileOpen::Opened)
        return failRead(error, path, NotOpenedReason(opened, why), ImageFileRead::CannotOpen);
    if (file.size() > kMaxImageFileSize)
        return failRead(error, path,
                        QStringLiteral("%1 bytes is too large for a collection file").arg(file.size()),
                        ImageFileRead::TooLarge);
    // At most one byte past the limit, in case the file grew since it was measured.
    bytes = ReadAtMost(file, kMaxImageFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return failRead(error, path, QStringLiteral("cannot read: %1").arg(file.errorString()),
                        ImageFileRead::CannotOpen);
    }
    if (bytes.size() > kMaxImageFileSize) {
        bytes.clear();
        return failRead(error, path, QStringLiteral("too large for a collection file"),
                        ImageFileRead::TooLarge);
    }
    if (bytes.isEmpty())
        return failRead(error, path, QStringLiteral("the file is empty"), ImageFileRead::Empty);
    return ImageFileRead::Ok;
}

bool writeAll(const QString& path, QByteArrayView bytes, QString* error) {
    const QString why = WriteFileSafely(path, bytes);
    if (error)
        *error = why;
    return why.isEmpty();
}

} // namespace

ImageFileRead ReadImageFile(const QString& path, core::MemoryImage& image, QString* error) {
    image.clear();
    QByteArray bytes;
    const ImageFileRead result = readLimited(path, bytes, error);
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
    return writeAll(
        path, QByteArrayView(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), error);
}

CollectionCopy CopyCollectionFile(const QString& source, const QString& target, bool replace,
                                  QString* error) {
    if (KindOf(source) == PathKind::Missing)
        return CollectionCopy::NoSource;
    if (KindOf(target) != PathKind::Missing && !replace)
        return CollectionCopy::TargetExists;
    QByteArray bytes;
    const ImageFileRead read = readLimited(source, bytes, error);
    if (read != ImageFileRead::Ok && read != ImageFileRead::Empty)
        return CollectionCopy::Failed;
    if (!writeAll(target, bytes, error))
        return CollectionCopy::Failed;
    return CollectionCopy::Copied;
}

} // namespace thermo4::formats
